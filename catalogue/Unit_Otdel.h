#pragma once

#include <QDialog>

#include <cstdint>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// A department of the current enterprise (Q_Firma): a new one or the current row of Q_Otdel.
class TForm_Otdel : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Otdel(QWidget* parent = nullptr);

    void FormShow();
    void Btn_OkClick();
    // Refills the fields from the current row of Q_Otdel, whatever NewMode is.
    void Btn_OtmenaClick();

    std::uint8_t NewMode = 0;
    qint64 SavedKod = 0;

    QLineEdit* E_Name;
    QPlainTextEdit* M_Info;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Otmena;
    QPushButton* Btn_Exit;

protected:
    void showEvent(QShowEvent* event) override;
};

extern TForm_Otdel* Form_Otdel;
