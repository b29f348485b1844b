#pragma once

#include <QPlainTextEdit>
#include <QPushButton>
#include <QDialog>

// The warning list: the caller fills Memo1's lines and shows it modally;
// "Печать" puts the lines into a new spreadsheet.
class TForm_Alarm : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Alarm(QWidget* parent = nullptr);
    ~TForm_Alarm() override;

    QPlainTextEdit* Memo1;
    QPushButton* BitBtn1;
    QPushButton* Btn_Exit;

    void BitBtn1Click();
};

extern TForm_Alarm* Form_Alarm;

// Writes the lines, one per row of the first column, into a new spreadsheet
// of the program the settings choose (OpenOffice when PrintPrgOpenOffice is on).
void PrintLinesToSpreadsheet(const QStringList& lines);
