#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
namespace db {
class DbGrid;
class Query;
} // namespace db

// Moves a product group of the current department to another of its warehouses.
class TForm_GrToSklad : public QDialog {
    Q_OBJECT
public:
    explicit TForm_GrToSklad(QWidget* parent = nullptr);
    void AttachData();
    void Btn_OkClick();

    // The group to move (its name is shown in Panel1); set by the caller.
    qint64 KodGroup = 0;

    QLabel* Panel1;
    db::DbGrid* Grid_GrToSklad;
    db::Query* Q_GrToSklad = nullptr;  // the department's warehouses, set by the caller
    QPushButton* Btn_Ok;
    QPushButton* Btn_Exit;

protected:
    void hideEvent(QHideEvent* event) override;
};

extern TForm_GrToSklad* Form_GrToSklad;
