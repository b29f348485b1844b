#pragma once

#include "util/FirstUse.h"

#include <QDialog>

class QPushButton;
class QTextEdit;

// The recipe text of a product: edited here and stored on OK.
class TForm_Recept : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Recept(QWidget* parent = nullptr);
    ~TForm_Recept() override;

    // Loads the product's stored recipe into the editor.
    void Load(qint64 product);
    void Btn_OkClick();
    void Btn_ClearClick();

    QTextEdit* RichEdit1;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;
    QPushButton* Btn_Clear;

    qint64 KodIng = 0;
};

extern FirstUse<TForm_Recept> Form_Recept;
