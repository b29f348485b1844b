#include "Unit_PrintReal.h"

#include "ReportGauge.h"
#include "entries/Office.h"
#include "entries/PrintReal.h"
#include "reports/Statements.h"
#include "reports/TechCards.h"

#include "costing/CostingError.h"
#include "engine/Context.h"
#include "ui/InputDialogs.h"
#include "ui/RadioGroup.h"
#include "ui/Scaling.h"
#include "util/Clock.h"
#include "util/Messages.h"
#include "util/SettingsStore.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TForm_PrintReal* Form_PrintReal = nullptr;
TForm_Svod* Form_Svod = nullptr;

namespace {

void createSvod()
{
    if (Form_Svod)
        return;
    Form_Svod = new TForm_Svod;
    Form_Svod->resize(Form_Svod->sizeHint());
    ScaleWindow(Form_Svod, false);
}

} // namespace

TForm_PrintReal::TForm_PrintReal(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Печать документов реализации"));
    auto* lay = new QVBoxLayout(this);
    RG = new TRadioGroup(QStringLiteral("Выбор формы"),
                         {QStringLiteral("Ведомость реализованых (произведённых) продуктов"),
                          QStringLiteral("Расходная ведомость составляющих ингредиентов"),
                          QStringLiteral("Технологические карты  ( разворачивать полуфабрикаты )"),
                          QStringLiteral("Технологические карты  ( НЕ разворачивать полуфабрикаты )")},
                         this);
    RG->setItemIndex(1);
    lay->addWidget(RG);
    const OkCancelRow buttons = AddOkCancelRow(this, lay);
    BitBtn1 = buttons.ok;
    BitBtn2 = buttons.cancel;
    // A failure (no template, no office) shows its text and leaves the dialog open.
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm_PrintReal::BitBtn1Click()
{
    const int choice = RG->itemIndex();
    if (choice == 0 || choice == 1) {
        createSvod();
        Form_Svod->Choice = choice;
        Form_Svod->Doc = Doc;
        Form_Svod->setWindowTitle(choice == 0 ? QStringLiteral("Печать ведомости реализованной/произведённой продукции")
                                              : QStringLiteral("Печать ведомости составляющих ингредиентов"));
        Form_Svod->CB_PrintForGroup->setEnabled(choice == 0);
        Form_Svod->Panel1->setVisible(choice == 0);
        Msg::execModal(Form_Svod);
    } else if (choice == 2 || choice == 3) {
        if (Doc.kod == 0)
            return;
        if (Doc.posted) {
            Msg::notice(QStringLiteral("Технологические карты проведённых документов не печатаются !"));
            return;
        }
        reports::techcards::Options o;
        o.document = Doc.kod;
        o.mode = choice == 2 ? 1 : 2;
        bool printed = false;
        try {
            printed = reports::techcards::Print(engine::ProgramContext(), o, printing::ProgramOffice(),
                                                printing::ProgramTemplateCache(), printing::GaugeProgress());
        } catch (const costing::CardError& e) {
            Msg::warning(e.text());
            return;
        }
        if (!printed) {
            Msg::notice(QStringLiteral("В документе нет строк с количеством больше нуля: технологические карты не "
                                       "печатаются !"));
            return;
        }
    } else {
        return;
    }
    accept();
}

TForm_Svod::TForm_Svod(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Печать ведомости"));
    auto* lay = new QVBoxLayout(this);
    RG_What = new TRadioGroup(QStringLiteral("Печатать"),
                              {QStringLiteral("Текущий документ"), QStringLiteral("Документы за период")}, this);
    RG_What->setItemIndex(0);
    lay->addWidget(RG_What);
    GroupBox1 = new QGroupBox(QStringLiteral("Период"), this);
    auto* period = new QFormLayout(GroupBox1);
    Date_Start = new QDateEdit(Clock::today(), GroupBox1);
    Date_Finish = new QDateEdit(Clock::today(), GroupBox1);
    for (QDateEdit* d : {Date_Start, Date_Finish}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    }
    period->addRow(QStringLiteral("Начало"), Date_Start);
    period->addRow(QStringLiteral("Окончание"), Date_Finish);
    lay->addWidget(GroupBox1);
    RG_Type = new TRadioGroup(QStringLiteral("Тип документов"),
                              {QStringLiteral("Реализация"), QStringLiteral("Производство"), QStringLiteral("Все")}, this);
    RG_Type->setItemIndex(0);
    lay->addWidget(RG_Type);
    RG_Provodka = new TRadioGroup(QStringLiteral("Документы"),
                                  {QStringLiteral("Проведённые"), QStringLiteral("Не проведённые"), QStringLiteral("Все")},
                                  this);
    RG_Provodka->setItemIndex(0);
    lay->addWidget(RG_Provodka);
    Panel1 = new QWidget(this);
    auto* panel = new QVBoxLayout(Panel1);
    panel->setContentsMargins(0, 0, 0, 0);
    CB_PrintForGroup =
        new QCheckBox(QStringLiteral("Группы блюд (в шаблонах поставьте обрисовку таблицы - линии)"), Panel1);
    panel->addWidget(CB_PrintForGroup);
    lay->addWidget(Panel1);
    // The group-row choice is the presence row PrintForGroup, stored without a protocol line.
    BindSetting(CB_PrintForGroup, QStringLiteral("PrintForGroup"));
    const OkCancelRow buttons = AddOkCancelRow(this, lay);
    Btn_Ok = buttons.ok;
    Btn_Cancel = buttons.cancel;
    connect(RG_What, &TRadioGroup::clicked, this, [this](int) { UpdateSvodControls(); });
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm_Svod::showEvent(QShowEvent* event)
{
    UpdateSvodControls();
    QDialog::showEvent(event);
}

void TForm_Svod::UpdateSvodControls()
{
    const bool period = RG_What->itemIndex() == 1;
    RG_Provodka->setItemIndex(period && Choice == 0 ? 0 : -1);
    RG_Provodka->setEnabled(period && Choice == 0);
    GroupBox1->setEnabled(period);
    RG_Type->setItemIndex(period ? 0 : -1);
    RG_Type->setEnabled(period);
}

void TForm_Svod::Btn_OkClick()
{
    reports::statements::Options o;
    o.ingredients = Choice != 0;
    o.what = RG_What->itemIndex() == 1 ? 1 : 0;
    o.document = Doc.kod;
    o.lines = Doc.lines;
    o.start = Date_Start->date();
    o.finish = Date_Finish->date();
    o.type = std::max(0, RG_Type->itemIndex());
    o.provodka = std::max(0, RG_Provodka->itemIndex());
    o.byGroup = CB_PrintForGroup->isChecked();
    // A statement of the current document needs one; a period's does not.
    if (o.what == 0 && o.document == 0)
        return;
    const engine::Context ctx = engine::ProgramContext();
    try {
        reports::statements::Print(ctx, o, printing::ProgramOffice(), printing::ProgramTemplateCache(),
                                   printing::GaugeProgress());
    } catch (const costing::CardError& e) {
        Msg::warning(e.text());
        return;
    }
    accept();
}

namespace printing {

void ShowPrintReal(const RealPrintDocument& doc)
{
    if (!Form_PrintReal) {
        Form_PrintReal = new TForm_PrintReal;
        Form_PrintReal->resize(Form_PrintReal->sizeHint());
        ScaleWindow(Form_PrintReal, false);
    }
    Form_PrintReal->Doc = doc;
    Msg::execModal(Form_PrintReal);
}

} // namespace printing
