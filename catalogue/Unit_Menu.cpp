#include "Unit_Menu.h"

#include "CatalogueUi.h"
#include "MenuStore.h"
#include "Unit_MenusTab.h"
#include "ui/RadioGroup.h"
#include "ui/Scaling.h"
#include "engine/Clock.h"
#include "util/Settings.h"
#include "util/SettingsStore.h"
#include "util/Unit_Util.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FirstUse<TForm_Menu> Form_Menu;

TForm_Menu::TForm_Menu(QWidget* parent) : TListEditDialog(parent)
{
    setWindowTitle(QStringLiteral("Меню/наряд"));
    auto* grid = new QGridLayout(this);
    E_Name = new QLineEdit(this);
    E_Name->setMaxLength(100);
    DateTimePicker1 = new QDateEdit(this);
    DateTimePicker1->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    DateTimePicker1->setCalendarPopup(true);
    E_Percent = new QLineEdit(this);
    E_Percent->setMaxLength(6);
    RG_NoRound = new TRadioGroup(QStringLiteral("Округление цен в меню"),
                                 {QStringLiteral("Все цены округляются"), QStringLiteral("Ручные цены не округляются"),
                                  QStringLiteral("Все цены не округляются")},
                                 this);
    RG_Do = new TRadioGroup(QStringLiteral("Применять процент повышения цены в меню"),
                            {QStringLiteral("До округления продажных цен блюд"),
                             QStringLiteral("После округления продажных цен блюд")},
                            this);
    int row = 0;
    grid->addWidget(new QLabel(QStringLiteral("Наименование меню/наряда"), this), row++, 0, 1, 2);
    grid->addWidget(E_Name, row++, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Дата создания"), this), row, 0);
    grid->addWidget(DateTimePicker1, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("Процент повышения цены =>"), this), row, 0);
    grid->addWidget(E_Percent, row++, 1);
    grid->addWidget(RG_NoRound, row++, 0, 1, 2);
    grid->addWidget(RG_Do, row++, 0, 1, 2);
    Btn_Ok = new QPushButton(QStringLiteral("OK"), this);
    Btn_Cancel = new QPushButton(QStringLiteral("Отмена"), this);
    addButtonRow(grid, row, Btn_Ok, Btn_Cancel, [this] { Btn_OkClick(); });
    // The choice is the setting itself: loaded with the settings, stored on every change.
    BindSetting(RG_Do->buttonGroup(), QStringLiteral("DOiliPOSLE"), [this] { RG_DoClick(); });
    resize(420, 360);
    ScaleWindow(this, false);
}

void TForm_Menu::FormShow()
{
    if (NewMode == 1) {
        E_Name->clear();
        E_Percent->setText(QStringLiteral("0"));
        DateTimePicker1->setDate(Clock::today());
        RG_NoRound->setItemIndex(0);
        Shown = {};
    } else {
        const menus::MenuData m = MenusTab->menuRow();
        E_Name->setText(m.name);
        E_Percent->setText(QString::number(m.percent));
        DateTimePicker1->setDate(m.date);
        RG_NoRound->setItemIndex(m.noRound);
        Shown = engine::ShownRow::of(*MenusTab->Q_Menu, QStringLiteral("MENU"), m.name,
                                     {{QStringLiteral("NAME"), QStringLiteral("наименование")},
                                      {QStringLiteral("DATE_MENU"), QStringLiteral("дата создания")},
                                      {QStringLiteral("PERCENT"), QStringLiteral("процент повышения цены")},
                                      {QStringLiteral("NO_ROUND"), QStringLiteral("округление цен")}});
    }
    E_Name->setFocus();
}

void TForm_Menu::Btn_OkClick()
{
    if (!menus::NameGiven(E_Name, QStringLiteral("Нет наименования меню/наряда !")))
        return;
    menus::MenuData d;
    if (!menus::ParsePercent(E_Percent->text(), &d.percent)) {
        cat::Refuse(QStringLiteral("В поле процента повышения цены должно стоять целое положительное или отрицательное число !"),
                    E_Percent);
        return;
    }
    // At -100 % or below every menu price would be nought or negative.
    if (d.percent <= -100) {
        cat::Refuse(QStringLiteral("Процент повышения цены не может быть равен -100 или быть меньше !"), E_Percent);
        return;
    }
    d.name = E_Name->text();
    d.date = DateTimePicker1->date();
    d.firma = MenusTab->firmaKey();
    d.noRound = RG_NoRound->itemIndex() < 0 ? 0 : RG_NoRound->itemIndex();
    SavedKod = menus::SaveMenu(d, NewMode == 1 ? 0 : MenusTab->menuKey(), Shown, MenusTab->firmaName());
    accept();
}

void TForm_Menu::RG_DoClick() { menus::SetPercentAfterRounding(MyParams->v.DOiliPOSLE); }
