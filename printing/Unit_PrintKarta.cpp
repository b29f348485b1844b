#include "Unit_PrintKarta.h"

#include "ReportGauge.h"
#include "entries/Office.h"
#include "entries/ReportPickers.h"
#include "reports/CostingCard.h"

#include "costing/CostingError.h"
#include "engine/Context.h"
#include "ui/InputDialogs.h"
#include "ui/RadioGroup.h"
#include "ui/Scaling.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TForm_PrintKarta* Form_PrintKarta = nullptr;

namespace {

QLabel* panel(QWidget* parent)
{
    auto* p = new QLabel(parent);
    p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    p->setMinimumWidth(260);
    // A long name is cut at the panel's edge rather than widening the window.
    p->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return p;
}

} // namespace

TForm_PrintKarta::TForm_PrintKarta(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Печать калькуляционной карты"));
    auto* lay = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    P_Firma = panel(this);
    P_Otdel = panel(this);
    Btn_Firma = new QPushButton(QStringLiteral("Выбор"), this);
    Btn_Otdel = new QPushButton(QStringLiteral("Выбор"), this);
    grid->addWidget(new QLabel(QStringLiteral("Предприятие"), this), 0, 0, 1, 2);
    grid->addWidget(P_Firma, 1, 0);
    grid->addWidget(Btn_Firma, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Подразделение (отдел)"), this), 2, 0, 1, 2);
    grid->addWidget(P_Otdel, 3, 0);
    grid->addWidget(Btn_Otdel, 3, 1);
    grid->setColumnStretch(0, 1);
    lay->addLayout(grid);
    RadioGroup1 = new TRadioGroup(QStringLiteral("Детализация состава блюда"),
                                  {QStringLiteral("Не разворачивать состав полуфабрикатов"),
                                   QStringLiteral("Детализация до простых составляющих блюда")},
                                  this);
    RadioGroup1->setItemIndex(0);
    lay->addWidget(RadioGroup1);
    const OkCancelRow buttons = AddOkCancelRow(this, lay);
    Btn_Ok = buttons.ok;
    Btn_Cancel = buttons.cancel;
    // A failure (no template, no office) shows its text and leaves the dialog open.
    connect(Btn_Firma, &QPushButton::clicked, this, [this] { Guard([this] { Btn_FirmaClick(); }); });
    connect(Btn_Otdel, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OtdelClick(); }); });
    connect(Btn_Ok, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OkClick(); }); });
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm_PrintKarta::Btn_FirmaClick()
{
    qint64 kod = 0;
    QString name;
    printing::ReportPickers* pickers = printing::RegisteredReportPickers();
    if (!pickers || !pickers->firma(kod, name))
        return;
    KodFirma = kod;
    P_Firma->setText(name);
    P_Otdel->clear();
    KodOtdel = 0;
}

void TForm_PrintKarta::Btn_OtdelClick()
{
    if (KodFirma == 0) {
        Msg::notice(QStringLiteral("Сначала необходимо выбрать предприятие !"));
        return;
    }
    qint64 kod = 0;
    QString name;
    // The card print lists the departments as stored, not by name.
    printing::ReportPickers* pickers = printing::RegisteredReportPickers();
    if (!pickers || !pickers->otdel(KodFirma, printing::ReportPickers::Order::AsStored, kod, name))
        return;
    KodOtdel = kod;
    P_Otdel->setText(name);
}

void TForm_PrintKarta::Btn_OkClick()
{
    if (KodOtdel == 0) {
        Msg::notice(QStringLiteral("Необходимо сначала выбрать предприятие и отдел, для которого будет печататься "
                                   "калькуляционная карточка блюда !"));
        return;
    }
    reports::card::Options o;
    o.product = Product;
    o.firmaName = P_Firma->text();
    o.otdel = KodOtdel;
    o.otdelName = P_Otdel->text();
    o.mode = RadioGroup1->itemIndex() == 1 ? 1 : 0;
    o.priceChoice = PriceChoice;
    const engine::Context ctx = engine::ProgramContext();
    try {
        reports::card::Print(ctx, o, printing::ProgramOffice(), printing::ProgramTemplateCache(),
                             printing::GaugeProgress());
    } catch (const costing::CardError& e) {
        Msg::warning(e.text());
        return;
    }
    accept();
}

namespace printing {

void ShowPrintKarta(qint64 product, int priceChoice)
{
    if (!Form_PrintKarta) {
        Form_PrintKarta = new TForm_PrintKarta;
        Form_PrintKarta->resize(Form_PrintKarta->sizeHint());
        ScaleWindow(Form_PrintKarta, false);
    }
    Form_PrintKarta->Product = product;
    Form_PrintKarta->PriceChoice = priceChoice;
    Msg::execModal(Form_PrintKarta);
}

} // namespace printing
