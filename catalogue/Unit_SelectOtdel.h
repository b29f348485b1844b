#pragma once

#include <QDialog>

class QPushButton;
namespace db {
class DbGrid;
class Query;
} // namespace db

// The shared department picker. The caller writes the text of Q_O (the
// departments of an enterprise), opens it, shows the window modally and on
// OK reads KOD and NAME of the current row, then closes Q_O.
class TForm_SelectOtdel : public QDialog {
    Q_OBJECT
public:
    explicit TForm_SelectOtdel(QWidget* parent = nullptr);
    void AttachData();

    db::Query* Q_O = nullptr;
    db::DbGrid* Grid_Firma_M;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;
};

extern TForm_SelectOtdel* Form_SelectOtdel;
