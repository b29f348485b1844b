#pragma once

#include <QDialog>

#include <cstdint>

class QLineEdit;
class QPushButton;

// A unit of measure: a new one or the current row of Q_Ed.
class TForm_Ed : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Ed(QWidget* parent = nullptr);

    void FormShow();
    void Btn_OkClick();

    std::uint8_t NewMode = 0;
    qint64 SavedKod = 0;

    QLineEdit* E_Name;
    QLineEdit* E_SName;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Exit;

protected:
    void showEvent(QShowEvent* event) override;
};

extern TForm_Ed* Form_Ed;
