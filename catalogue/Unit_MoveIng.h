#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
namespace db {
class DbGrid;
class Query;
} // namespace db

// Moves the products tab's current product to another group.
class TForm_MoveIng : public QDialog {
    Q_OBJECT
public:
    explicit TForm_MoveIng(QWidget* parent = nullptr);
    void AttachData();
    void Btn_OkClick();

    QLabel* Panel1;  // the product's name
    db::DbGrid* Grid_MoveIng;
    db::Query* Q_MoveIng = nullptr;  // the groups, set by the caller
    QPushButton* Btn_Ok;
    QPushButton* Btn_Exit;
};

extern TForm_MoveIng* Form_MoveIng;
