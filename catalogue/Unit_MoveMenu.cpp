#include "Unit_MoveMenu.h"

#include "CatalogueUi.h"
#include "grid/DatasetModel.h"
#include "db/Query.h"
#include "ui/Scaling.h"

#include <QPushButton>
#include <QVBoxLayout>

TForm_MoveMenu* Form_MoveMenu = nullptr;

TForm_MoveMenu::TForm_MoveMenu(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Перемещение в другую группу меню"));
    auto* top = new QVBoxLayout(this);
    Grid_R_Menu = new db::DbGrid(this);
    top->addWidget(Grid_R_Menu, 1);
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Cancel = new QPushButton(QStringLiteral("Отмена"), this);
    top->addLayout(cat::ButtonRow(Btn_Ok, {Btn_Cancel}));
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Btn_OkClick(); });
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    Grid_R_Menu->setEditButton(Btn_Ok);
    resize(420, 360);
    ScaleWindow(this, false);
}

void TForm_MoveMenu::AttachData()
{
    if (Q_MoveMenu)
        return;
    Q_MoveMenu = cat::NameList(this, Grid_R_Menu, QStringLiteral("Раздел меню в который надо переместить блюдо"));
}

void TForm_MoveMenu::Btn_OkClick()
{
    // Without a section under the cursor there is nowhere to move to.
    if (!cat::HasRow(Q_MoveMenu))
        return;
    TargetRazdelKod = cat::KeyOf(Q_MoveMenu);
    TargetRazdelName = Q_MoveMenu->field(QStringLiteral("NAME")).asString();
    accept();
}

void TForm_MoveMenu::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (Q_MoveMenu)
        Q_MoveMenu->close();
}
