#pragma once

// The movement print choice: the waybill of the current movement document,
// the turnover statement or the statistics, and the export of the printed
// lines to the accounting exchange table.

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QString>

#include <functional>

class QButtonGroup;
class QGroupBox;

class TForm_PrtDvig : public QDialog {
    Q_OBJECT
public:
    explicit TForm_PrtDvig(QWidget* parent = nullptr);

    // "Выбор формы печати": 0 "Документ движения", 1 "Оборотная ведомость", 2 "Статистика".
    QGroupBox* RG;
    QRadioButton* RG_Items[3];
    QButtonGroup* RG_Group;
    QPushButton* BitBtn1;  // OK
    QPushButton* BitBtn2;  // Cancel
    QCheckBox* CB_Export;

    int itemIndex() const;
    void setItemIndex(int item);

    // The movement document the dialog prints (0: none chosen) and its type.
    qint64 document = 0;
    int documentType = 0;

    // The exchange table chosen by PrepareObmenDbf; empty when the export is off.
    QString ObmenPath;

    void FormShow();
    void RGClick();
    void BitBtn1Click();
    // Runs the file dialog and writes the empty exchange table; on cancel
    // unticks the export.
    void PrepareObmenDbf();

    // The save-file dialog (tests replace it): returns the chosen path or empty.
    static std::function<QString(QWidget*)> SaveDialog1;

protected:
    void showEvent(QShowEvent* e) override;
};

extern TForm_PrtDvig* Form_PrtDvig;

namespace printing {
// The dialog, created on first use and kept for the rest of the run.
TForm_PrtDvig* PrtDvigForm();
}
