#pragma once

#include "util/FirstUse.h"

#include <QDialog>

class QPushButton;
class TRadioGroup;

// The sort order of the protocol list.
class TForm_Sort : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Sort(QWidget* parent = nullptr);
    ~TForm_Sort() override;

    TRadioGroup* RadioGroup1;
    QPushButton* BitBtn1;
};

extern FirstUse<TForm_Sort> Form_Sort;
