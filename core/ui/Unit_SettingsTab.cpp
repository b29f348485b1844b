#include "Unit_SettingsTab.h"

#include "InputDialogs.h"
#include "RadioGroup.h"
#include "Unit_Main.h"
#include "base/Unit_Base.h"
#include "util/Clock.h"
#include "util/Globals.h"
#include "util/SettingsStore.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

TSettingsTab* SettingsTab = nullptr;

namespace {

const QString kArea = QStringLiteral("Настройка");

// A radio group whose caption is too long for a frame title.
TRadioGroup* wrappedGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent)
{
    auto* group = new TRadioGroup(QString(), items, parent);
    group->setColumns(columns);
    group->setWrappedCaption(caption);
    return group;
}

QString dotted(const QDate& d) { return d.toString(QStringLiteral("dd.MM.yyyy")); }
QString commas(const QDate& d) { return d.toString(QStringLiteral("dd,MM,yyyy")); }

} // namespace

TSettingsTab::TSettingsTab(QObject* parent) : QObject(parent)
{
    QWidget* sheet = Form_Main->Sheet_Setup;
    auto* panel = new QWidget(sheet);
    panel->setObjectName(QStringLiteral("Panel_Settings"));
    // Two columns of two groups each, so the tab fits a narrow screen.
    auto* row = new QGridLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);

    // Rounding of selling prices.
    auto* rounding = new QVBoxLayout;
    R_Okrugl1 = new TRadioGroup(QStringLiteral("Степень округления"),
                                {QStringLiteral("10 к."), QStringLiteral("50 к."), QStringLiteral("1 р."), QStringLiteral("5 р."),
                                 QStringLiteral("10 р."), QStringLiteral("50 р.")},
                                panel);
    R_Okrugl1->setColumns(3);
    R_Okrugl2 = new TRadioGroup(QStringLiteral("Правила округления"),
                                {QStringLiteral("Математическое"), QStringLiteral("Больше"), QStringLiteral("Меньше"),
                                 QStringLiteral("Не округлять")},
                                panel);
    rounding->addWidget(R_Okrugl1);
    rounding->addWidget(R_Okrugl2);
    R_Okrugl2->setColumns(2);  // two rows of two, so the tab fits a low screen

    // The currency of amounts in words.
    auto* money = new QVBoxLayout;
    GroupBox_Money = new QGroupBox(QStringLiteral("Настройка денежной единицы"), panel);
    auto* moneyBox = new QVBoxLayout(GroupBox_Money);
    RG_Rod = wrappedGroup(QStringLiteral("Род денежной единицы (Рубль - он, Гривна - она, Песо - оно или он, не знаю)"),
                          {QStringLiteral("Он"), QStringLiteral("Она"), QStringLiteral("Оно")}, 3, GroupBox_Money);
    moneyBox->addWidget(RG_Rod);
    auto* names = new QFormLayout;
    E_Rub = new QLineEdit(GroupBox_Money);
    E_Kop = new QLineEdit(GroupBox_Money);
    E_Rub->setMaxLength(250);
    E_Kop->setMaxLength(250);
    E_Rub->setAccessibleName(QStringLiteral("Целая часть"));
    E_Kop->setAccessibleName(QStringLiteral("Дробная часть"));
    names->addRow(QStringLiteral("Целая часть"), E_Rub);
    names->addRow(QStringLiteral("Дробная часть"), E_Kop);
    moneyBox->addLayout(names);
    money->addWidget(GroupBox_Money);
    RG_Language = new TRadioGroup(QStringLiteral("Выбор языка для написания суммы"),
                                  {QStringLiteral("Русский"), QStringLiteral("Украинский")}, panel);
    RG_Language->setColumns(2);
    money->addWidget(RG_Language);

    // Costing, point of sale and printing.
    auto* work = new QVBoxLayout;
    RG_Brutto = wrappedGroup(QStringLiteral("Какой параметр указываем для расчёта брутто ингредиента"),
                             {QStringLiteral("Процент выхода ингредиента"), QStringLiteral("Коэффициент пересчёта в брутто")},
                             1, panel);
    RG_Obmen = wrappedGroup(QStringLiteral("С какой программой реализации организован обмен"),
                            {QStringLiteral("\"Подавальня\" (www.tarelia.local)"),
                             QStringLiteral("\"TorgService\" (www.torgservice.local)")},
                            1, panel);
    RG_XLorOO = new TRadioGroup(QStringLiteral("Для печати использовать :"),
                                {QStringLiteral("Excel"), QStringLiteral("OpenOffice")}, panel);
    RG_XLorOO->setColumns(2);
    work->addWidget(RG_Brutto);
    work->addWidget(RG_Obmen);
    work->addWidget(RG_XLorOO);

    // Restrictions on documents, and the users.
    auto* more = new QVBoxLayout;
    GroupBox_More = new QGroupBox(QStringLiteral("Дополнительные параметры"), panel);
    auto* moreBox = new QVBoxLayout(GroupBox_More);
    CB_DelOtkat = new QCheckBox(QStringLiteral("Удаление документов движения только с \"Откатом\""), GroupBox_More);
    CB_InvProvodka = new QCheckBox(QStringLiteral("Запрет на снятие проводки документа \"Инвентаризация\""), GroupBox_More);
    CB_DateDocEdit = new QCheckBox(QStringLiteral("Запрет на корректировку документов до:"), GroupBox_More);
    DateTimePicker1 = new QDateEdit(GroupBox_More);
    DateTimePicker1->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setDate(Clock::today());
    DateTimePicker1->setAccessibleName(QStringLiteral("Запрет на корректировку документов до:"));
    moreBox->addWidget(CB_DelOtkat);
    moreBox->addWidget(CB_InvProvodka);
    auto* lock = new QHBoxLayout;
    lock->addWidget(CB_DateDocEdit);
    lock->addWidget(DateTimePicker1);
    lock->addStretch();
    moreBox->addLayout(lock);
    more->addWidget(GroupBox_More);
    Btn_Person = new QPushButton(QStringLiteral("Пользователи"), panel);
    Btn_Person->setMinimumWidth(Btn_Person->sizeHint().width() + 24);
    more->addWidget(Btn_Person, 0, Qt::AlignLeft);
    // Each column stacks its groups without leaving room for the other's.
    auto* left = new QVBoxLayout;
    left->addLayout(rounding);
    left->addLayout(work);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addLayout(money);
    right->addLayout(more);
    right->addStretch();
    row->addLayout(left, 0, 0);
    row->addLayout(right, 0, 1);
    row->setColumnStretch(0, 1);
    row->setColumnStretch(1, 1);

    sheet->layout()->addWidget(panel);

    // Each control shows its setting; a user's change runs its writer.
    BindSetting(R_Okrugl1->buttonGroup(), QStringLiteral("okrugl1"), [this] { R_Okrugl1Click(); });
    BindSetting(R_Okrugl2->buttonGroup(), QStringLiteral("okrugl2"), [this] { R_Okrugl2Click(); });
    BindSetting(RG_Rod->buttonGroup(), QStringLiteral("rod"), [this] { RG_RodClick(); });
    BindSetting(E_Rub, QStringLiteral("rub"), [this] { E_RubExit(); });
    BindSetting(E_Kop, QStringLiteral("kop"), [this] { E_KopExit(); });
    BindSetting(RG_Language->buttonGroup(), QStringLiteral("my_language"), [this] { RG_LanguageClick(); });
    BindSetting(RG_Brutto->buttonGroup(), QStringLiteral("brutto"), [this] { RG_BruttoClick(); });
    BindSetting(RG_Obmen->buttonGroup(), QStringLiteral("obmen"), [this] { RG_ObmenClick(); });
    BindSetting(RG_XLorOO->buttonGroup(), QStringLiteral("PrintPrgOpenOffice"), [this] { RG_XLorOOClick(); });
    BindSetting(CB_InvProvodka, QStringLiteral("InvProvodka"), [this] { CB_InvProvodkaClick(); });
    BindSetting(CB_DelOtkat, QStringLiteral("DelOtkatOnly"), [this] { CB_DelOtkatClick(); });
    BindSetting(CB_DateDocEdit, QStringLiteral("DateDocEdit"), [this] { CB_DateDocEditClick(); });
    // The date is stored when the tab is left; until then only the control holds it.
    BindSetting(DateTimePicker1, QStringLiteral("MyDateDocEdit"), NoStore());

    // The date can be chosen only while the lock is on, whoever set the box.
    SetFieldEnabled(DateTimePicker1, CB_DateDocEdit->isChecked());
    connect(CB_DateDocEdit, &QCheckBox::toggled, DateTimePicker1, [this](bool on) { SetFieldEnabled(DateTimePicker1, on); });

    Form_Main->Btn_Person = Btn_Person;
    connect(Btn_Person, &QPushButton::clicked, this, [] { Guard([] { Form_Main->Btn_PersonClick(); }); });

    RememberedDate = DateTimePicker1->date();
    sheet->installEventFilter(this);
    // Closing the program while the tab is shown leaves it too: the pending date is stored first.
    Form_Main->installEventFilter(this);
}

bool TSettingsTab::eventFilter(QObject* watched, QEvent* event)
{
    QWidget* sheet = Form_Main->Sheet_Setup;
    if (watched == sheet && !event->spontaneous()) {
        if (event->type() == QEvent::Show)
            Guard([this] { Sheet_SetupShow(); });
        else if (event->type() == QEvent::Hide)
            Guard([this] { Sheet_SetupHide(); });
    } else if (watched == Form_Main && event->type() == QEvent::Close && sheet->isVisible()) {
        // Without a connection the program ends at once, with nothing to store.
        if (Form_Base && Form_Base->MyDB->connected())
            Guard([this] { Sheet_SetupHide(); });
    }
    return QObject::eventFilter(watched, event);
}

void TSettingsTab::R_Okrugl1Click()
{
    StoreSetting(QStringLiteral("okrugl1"), SettingLog{kArea, QStringLiteral("Изменение степени округления")});
}

void TSettingsTab::R_Okrugl2Click()
{
    StoreSetting(QStringLiteral("okrugl2"), SettingLog{kArea, QStringLiteral("Изменение правила округления")});
}

void TSettingsTab::RG_RodClick() { StoreSetting(QStringLiteral("rod")); }

void TSettingsTab::E_RubExit() { StoreSetting(QStringLiteral("rub")); }

void TSettingsTab::E_KopExit() { StoreSetting(QStringLiteral("kop")); }

void TSettingsTab::RG_LanguageClick()
{
    if (!StartupDone)
        return;
    // The whole tab waits while the choice is stored.
    QWidget* sheet = Form_Main->Sheet_Setup;
    const bool wasEnabled = sheet->isEnabled();
    sheet->setEnabled(false);
    const auto again = qScopeGuard([sheet, wasEnabled] { sheet->setEnabled(wasEnabled); });
    StoreSetting(QStringLiteral("my_language"));
}

// The grids and the card's column chooser follow the setting as it changes;
// the value is stored whether or not the start-up is done.
void TSettingsTab::RG_BruttoClick() { StoreSetting(QStringLiteral("brutto")); }

void TSettingsTab::RG_ObmenClick() { StoreSetting(QStringLiteral("obmen")); }

void TSettingsTab::RG_XLorOOClick()
{
    const bool openOffice = RG_XLorOO->itemIndex() == 1;
    StoreSetting(QStringLiteral("PrintPrgOpenOffice"),
                 SettingLog{QStringLiteral("Продукты и блюда"), openOffice ? QStringLiteral("Для печати документов выбран OpenOffice")
                                                                            : QStringLiteral("Для печати документов выбран Excel")});
}

void TSettingsTab::CB_InvProvodkaClick() { StoreSetting(QStringLiteral("InvProvodka")); }

void TSettingsTab::CB_DelOtkatClick() { StoreSetting(QStringLiteral("DelOtkatOnly")); }

void TSettingsTab::CB_DateDocEditClick()
{
    const QString action =
        CB_DateDocEdit->isChecked()
            ? QStringLiteral("Включено ограничение корректировки документов по дате: ") + dotted(DateTimePicker1->date())
            : QStringLiteral("Выключено ограничение корректировки документов по дате !");
    StoreSetting(QStringLiteral("DateDocEdit"), SettingLog{kArea, action});
}

void TSettingsTab::Sheet_SetupShow() { RememberedDate = DateTimePicker1->date(); }

void TSettingsTab::Sheet_SetupHide()
{
    if (!StartupDone)
        return;
    const QDate date = DateTimePicker1->date();
    if (date == RememberedDate)
        return;
    const QString action = QStringLiteral("Изменено ограничение корректировки документов по дате с ") + commas(RememberedDate) +
                           QStringLiteral(" на ") + commas(date);
    WriteDateSetting(QStringLiteral("MyDateDocEdit"), date, SettingLog{kArea, action});
    // Stored: leaving again (or closing) writes nothing more.
    RememberedDate = date;
}
