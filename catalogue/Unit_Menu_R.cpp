#include "Unit_Menu_R.h"

#include "CatalogueUi.h"
#include "MenuStore.h"
#include "Unit_MenusTab.h"
#include "Unit_SelectOtdel.h"
#include "db/Query.h"
#include "ui/Scaling.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FirstUse<TForm_Menu_R> Form_Menu_R;

TForm_Menu_R::TForm_Menu_R(QWidget* parent) : TListEditDialog(parent)
{
    setWindowTitle(QStringLiteral("Раздел меню"));
    auto* grid = new QGridLayout(this);
    E_Name = new QLineEdit(this);
    E_Name->setMaxLength(100);
    E_Sort = new QLineEdit(this);
    E_Sort->setMaxLength(9);
    auto* otdel = new QGroupBox(QStringLiteral("Подразделение / отдел"), this);
    auto* orow = new QHBoxLayout(otdel);
    Panel1 = cat::CaptionPanel(otdel);
    Button1 = new QPushButton(QStringLiteral("Выбор"), otdel);
    orow->addWidget(Panel1, 1);
    orow->addWidget(Button1);
    int row = 0;
    grid->addWidget(new QLabel(QStringLiteral("Наименование раздела меню"), this), row++, 0, 1, 2);
    grid->addWidget(E_Name, row++, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Порядок при печати"), this), row, 0);
    grid->addWidget(E_Sort, row++, 1);
    grid->addWidget(otdel, row++, 0, 1, 2);
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Cancel = new QPushButton(QStringLiteral("Отмена"), this);
    addButtonRow(grid, row, Btn_Ok, Btn_Cancel, [this] { Btn_OkClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Guard([this] { Button1Click(); }); });
    resize(400, 220);
    ScaleWindow(this, false);
}

void TForm_Menu_R::FormShow()
{
    if (NewMode == 1) {
        E_Name->clear();
        E_Sort->setText(QStringLiteral("0"));
        OtdelKod = 0;
        Panel1->clear();
        Shown = {};
    } else {
        const menus::RazdelData r = MenusTab->razdelRow();
        E_Name->setText(r.name);
        E_Sort->setText(QString::number(r.sort));
        OtdelKod = r.otdel;
        Panel1->setText(MenusTab->razdelOtdelName());
        Shown = engine::ShownRow::of(*MenusTab->Q_Menu_Razdel, QStringLiteral("MENU_RAZDEL"), r.name,
                                     {{QStringLiteral("NAME"), QStringLiteral("наименование раздела меню")},
                                      {QStringLiteral("MY_SORT"), QStringLiteral("порядок при печати")},
                                      {QStringLiteral("KOD_OTDEL"), QStringLiteral("подразделение / отдел")}});
    }
    E_Name->setFocus();
}

void TForm_Menu_R::Btn_OkClick()
{
    if (!menus::NameGiven(E_Name, QStringLiteral("Нет наименования раздела !")))
        return;
    menus::RazdelData d;
    if (!menus::ParseSort(E_Sort->text(), &d.sort)) {
        cat::Refuse(QStringLiteral("В поле \"Порядок при печати\" должно стоять целое число или 0 !"), E_Sort);
        return;
    }
    if (OtdelKod == 0) {
        Msg::notice(QStringLiteral("Вы не выбрали подразделение !"));
        return;
    }
    const menus::MenuData menu = MenusTab->menuRow();
    d.name = E_Name->text();
    d.menu = MenusTab->menuKey();
    d.otdel = OtdelKod;
    SavedKod = menus::SaveRazdel(d, NewMode == 1 ? 0 : MenusTab->razdelKey(), Shown, Panel1->text(), menu.name, menu.date);
    accept();
}

void TForm_Menu_R::Button1Click()
{
    Form_SelectOtdel->AttachData();
    db::Query* q = Form_SelectOtdel->Q_O;
    q->close();
    q->setSql(QStringList{QStringLiteral("SELECT * FROM OTDEL WHERE KOD_FIRMA = ") + Key(MenusTab->firmaKey()),
                          QStringLiteral("Order By NAME")});
    q->open();
    if (Msg::execModal(Form_SelectOtdel) == QDialog::Accepted && cat::HasRow(q)) {
        OtdelKod = cat::KeyOf(q);
        Panel1->setText(q->field(QStringLiteral("NAME")).asString());
        // The department is the last field: Enter now saves instead of opening the picker again.
        Btn_Ok->setFocus();
    }
    q->close();
}
