#pragma once

#include "util/FirstUse.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QPushButton;

// Point-of-sale section number for a product group (items "№ 1" to "№ 5").
// Keeps its last choice between uses.
class TForm_NSection : public QDialog {
    Q_OBJECT
public:
    explicit TForm_NSection(QWidget* parent = nullptr);
    // Index of the chosen item, 0 to 4.
    int ItemIndex() const;
    void SetItemIndex(int i);

    QGroupBox* RadioGroup1;
    QButtonGroup* RadioItems;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;
};

extern FirstUse<TForm_NSection> Form_NSection;
