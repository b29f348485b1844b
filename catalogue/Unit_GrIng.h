#pragma once

#include <QDialog>

#include <cstdint>

class QLineEdit;
class QPushButton;

// Name of a product group: a new group or the current row of Q_GrIng.
class TForm_GrIng : public QDialog {
    Q_OBJECT
public:
    explicit TForm_GrIng(QWidget* parent = nullptr);

    void FormShow();
    void Btn_OkClick();

    std::uint8_t NewMode = 0;
    qint64 SavedKod = 0;

    QLineEdit* E_Name;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Exit;

protected:
    void showEvent(QShowEvent* event) override;
};

extern TForm_GrIng* Form_GrIng;
