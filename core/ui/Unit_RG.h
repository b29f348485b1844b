#pragma once

#include "util/FirstUse.h"

#include "RadioGroup.h"

#include <QDialog>
#include <QPushButton>

// A choice among radio items: the caller sets the group's caption and items,
// shows it modally and reads RG->itemIndex() after an OK result.
class TForm_RG : public QDialog {
    Q_OBJECT
public:
    explicit TForm_RG(QWidget* parent = nullptr);
    ~TForm_RG() override;

    TRadioGroup* RG;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
};

extern FirstUse<TForm_RG> Form_RG;
