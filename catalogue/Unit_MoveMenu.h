#pragma once

#include <QDialog>

class QPushButton;
namespace db {
class DbGrid;
class Query;
} // namespace db

// The section a dish moves to: the caller fills Q_MoveMenu with the menu's
// sections, shows the window modally and on OK reads TargetRazdelKod and
// the section's name, TargetRazdelName.
class TForm_MoveMenu : public QDialog {
    Q_OBJECT
public:
    explicit TForm_MoveMenu(QWidget* parent = nullptr);
    void AttachData();
    void Btn_OkClick();

    db::Query* Q_MoveMenu = nullptr;
    db::DbGrid* Grid_R_Menu;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;
    qint64 TargetRazdelKod = 0;
    QString TargetRazdelName;

protected:
    void hideEvent(QHideEvent* event) override;
};

extern TForm_MoveMenu* Form_MoveMenu;
