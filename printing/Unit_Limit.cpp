#include "Unit_Limit.h"

#include "ReportGauge.h"
#include "engine/EngineDb.h"
#include "entries/Office.h"
#include "entries/ShowLimits.h"
#include "ui/InputDialogs.h"
#include "ui/RadioGroup.h"
#include "ui/Scaling.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TForm_Limit* Form_Limit = nullptr;

TForm_Limit::TForm_Limit(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Печать лимитов"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* lay = new QVBoxLayout(this);
    RadioGroup1 = new TRadioGroup(QStringLiteral("Печатать данные"),
                                  {QStringLiteral("Выбранного склад"), QStringLiteral("За все склады подразделения"),
                                   QStringLiteral("Выбранного предприятя"), QStringLiteral("За все предприятия")},
                                  this);
    RadioGroup1->setItemIndex(2);
    RadioGroup2 = new TRadioGroup(QStringLiteral("При выборке данных"),
                                  {QStringLiteral("Учитывать \"Нулевые лимиты\""),
                                   QStringLiteral("НЕ учитывать \"Нулевые лимиты\"")},
                                  this);
    RadioGroup2->setItemIndex(1);
    lay->addWidget(RadioGroup1);
    lay->addWidget(RadioGroup2);
    const OkCancelRow buttons = AddOkCancelRow(this, lay);
    BitBtn1 = buttons.ok;
    BitBtn2 = buttons.cancel;
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        Guard([this] { BitBtn1Click(); });
        accept();
    });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

void TForm_Limit::FormCreate()
{
    resize(sizeHint());
    ScaleWindow(this, true);
}

workbooks::LimitOptions TForm_Limit::Options(qint64 sklad, qint64 otdel, qint64 firma) const
{
    workbooks::LimitOptions o;
    o.scope = RadioGroup1->itemIndex();
    o.rule = RadioGroup2->itemIndex();
    o.sklad = sklad;
    o.otdel = otdel;
    o.firma = firma;
    return o;
}

void TForm_Limit::BitBtn1Click()
{
    const workbooks::LimitOptions o = Options(Sklad, Otdel, Firma);
    // A scope whose list is empty has nothing to select by.
    if (o.scope < 3 && workbooks::LimitScopeKey(o) == 0) {
        static const QString missing[] = {QStringLiteral("Не выбран склад !"), QStringLiteral("Не выбран отдел !"),
                                          QStringLiteral("Не выбрано предприятие !")};
        Msg::notice(missing[o.scope]);
        return;
    }
    printing::WriteWorkbook([&](const reports::Progress& gauge) {
        return workbooks::limits::Print(engine::ProgramContext(), o, printing::ProgramOffice(), gauge);
    });
}

namespace printing {

void ShowLimits(qint64 firma, qint64 otdel, qint64 sklad)
{
    if (!Form_Limit)
        Form_Limit = new TForm_Limit;
    Form_Limit->Firma = firma;
    Form_Limit->Otdel = otdel;
    Form_Limit->Sklad = sklad;
    Msg::execModal(Form_Limit);
}

} // namespace printing
