#include "Unit_Compute.h"

#include "Unit_StructureBox.h"
#include "ui/InputDialogs.h"
#include "costing/Recompute.h"

#include "base/Unit_Base.h"
#include "ui/RadioGroup.h"
#include "ui/Scaling.h"
#include "ui/Unit_Alarm.h"
#include "ReportGauge.h"
#include "Unit_ProductsTab.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

TForm_Compute* Form_Compute = nullptr;

TForm_Compute::TForm_Compute(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Расчёт цен полуфабрикатов и блюд"));
    auto* layout = new QVBoxLayout(this);
    RadioGroup1 = new TRadioGroup(QStringLiteral("Расчёт будет производится"),
                                  {QStringLiteral("В выбранном подразделении (отделе)"),
                                   QStringLiteral("Во всём выбранном предприятии"), QStringLiteral("Во всех предприятиях")},
                                  this);
    RG_Ing = new TRadioGroup(QStringLiteral("Будет расчитываться"),
                             {QStringLiteral("Выбранный продукт"), QStringLiteral("Выбранная группа"),
                              QStringLiteral("Все продукты")},
                             this);
    RadioGroup2 = new TRadioGroup(QStringLiteral("При наличии остатков продукта складскую цену"),
                                  {QStringLiteral("Пересчитывать"), QStringLiteral("НЕ пересчитывать")}, this);
    RG_Shadow = new TRadioGroup(QStringLiteral("Скрытые блюда"),
                                {QStringLiteral("Пересчитывать"), QStringLiteral("НЕ пересчитывать")}, this);
    RadioGroup1->setItemIndex(1);
    RG_Ing->setItemIndex(2);
    RadioGroup2->setItemIndex(1);
    RG_Shadow->setItemIndex(1);
    for (TRadioGroup* g : {RadioGroup1, RG_Ing, RadioGroup2, RG_Shadow})
        layout->addWidget(g);

    const InputButtons buttons = AddInputButtons(this, layout);
    BitBtn1 = buttons.ok;
    BitBtn2 = buttons.cancel;
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    adjustSize();
    ScaleWindow(this, false);
}

TForm_Compute::~TForm_Compute()
{
    if (Form_Compute == this)
        Form_Compute = nullptr;
}

void TForm_Compute::showEvent(QShowEvent* event)
{
    RadioGroup2->setItemIndex(1);
    QDialog::showEvent(event);
}

namespace {

qint64 currentKey(db::Query* q, const QString& field)
{
    if (!q || !q->active() || q->isEmpty() || !q->hasField(field))
        return 0;
    return q->field(field).asInt64();
}

// The warning window, modal; without it the lines go to a warning message.
void showWarnings(const QStringList& lines)
{
    if (!Form_Alarm) {
        Msg::warning(lines.join(QLatin1Char('\n')), QStringLiteral("Внимание ! ! !"));
        return;
    }
    Form_Alarm->Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    Msg::execModal(Form_Alarm);
}

} // namespace

costing::RecomputeResult ComputePrices(bool log, qint64 firma, qint64 otdel, qint64 product)
{
    if (!Form_Compute)
        Form_Compute = new TForm_Compute;
    TForm_Compute* f = Form_Compute;
    costing::RecomputeScope scope;
    scope.firma = firma;
    scope.otdel = otdel;
    if (product == 0) {
        if (Msg::execModal(f) != QDialog::Accepted)
            return {};
        scope.where = f->RadioGroup1->itemIndex();
        scope.what = f->RG_Ing->itemIndex();
        scope.keepStockPrice = f->RadioGroup2->itemIndex() != 0;
        scope.skipHidden = f->RG_Shadow->itemIndex() == 1;
        if (scope.what == 0) {
            scope.selectedProduct = ProductsTab ? ProductsTab->CurrentStockIng() : 0;
            if (scope.selectedProduct == 0) {
                f->RadioGroup2->setItemIndex(1);
                Msg::warning(QStringLiteral("Не выбран продукт, цены которого нужно рассчитать !"));
                return {};
            }
        } else if (scope.what == 1) {
            scope.selectedGroup = ProductsTab ? ProductsTab->CurrentGroup() : 0;
            if (scope.selectedGroup == 0) {
                f->RadioGroup2->setItemIndex(1);
                Msg::warning(QStringLiteral("Не выбрана группа продуктов, цены которой нужно рассчитать !"));
                return {};
            }
        }
    } else {
        scope.product = product;
        f->RadioGroup2->setItemIndex(0);
    }

    // The warning window starts empty: whatever the run shows is its own.
    if (Form_Alarm)
        Form_Alarm->Memo1->clear();
    costing::RecomputeResult result;
    {
        struct Restore {
            TForm_Compute* f;
            ~Restore() { f->RadioGroup2->setItemIndex(1); }
        } restore{f};
        const reports::Progress progress = printing::GaugeProgress();
        reports::ProgressShown gauge(progress, 1);
        std::optional<WriteTransaction> own;
        if (log)
            own.emplace(costing::kRoad);
        result = costing::RecomputePrices(engine::ProgramContext(), scope, progress);
        // An abort keeps (and with the protocol line commits) what the rows before it wrote.
        if (own)
            own->commit(QStringLiteral("Продукты и блюда"), QStringLiteral("Расчёт цен"));
    }
    // Inside the caller's road nothing waits on the user: the caller shows them after its commit.
    if (log)
        ShowPriceWarnings(result);
    return result;
}

void ShowPriceWarnings(const costing::RecomputeResult& result)
{
    if (result.aborted) {
        showWarnings(result.warnings);
        if (Form_Alarm)
            Form_Alarm->Memo1->clear();
    } else if (result.manualPriceWarning) {
        showWarnings(result.warnings);
    }
}

void TForm_Compute::Execute()
{
    Guard([] {
        ComputePrices(true, currentKey(StructureBox->Q_Firma, QStringLiteral("KOD")),
                      currentKey(StructureBox->Q_Otdel, QStringLiteral("KOD")), 0);
    });
}
