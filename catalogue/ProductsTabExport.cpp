// The stock sub-tab's hidden export panel: the full expansion of the current
// stock row's product written to a workbook. Nothing in the program shows the
// panel; it stays hidden and disabled.

#include "Unit_ProductsTab.h"

#include "base/Unit_Base.h"
#include "costing/CardSource.h"
#include "costing/Expansion.h"
#include "entries/Office.h"
#include "engine/Context.h"
#include "util/Unit_Util.h"
#include "workbooks/KartaExport.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <stdexcept>

void TProductsTab::buildTestPanel(QWidget* sheet, QBoxLayout* lay)
{
    Panel3 = new QWidget(sheet);
    auto* row = new QHBoxLayout(Panel3);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("Кол-во"), Panel3));
    E_Test = new QLineEdit(QStringLiteral("1"), Panel3);
    row->addWidget(E_Test);
    Btn_Test = new QPushButton(QStringLiteral("Btn_Test"), Panel3);
    row->addWidget(Btn_Test);
    row->addStretch();
    lay->addWidget(Panel3);
    Panel3->hide();
    Panel3->setEnabled(false);
    connect(Btn_Test, &QPushButton::clicked, this, [this] { Guard([this] { Btn_TestClick(); }); });
}

void TProductsTab::Btn_TestClick()
{
    db::Query* q = Form_Base->Q_Ing_Sklad;
    bool ok = false;
    const int quantity = E_Test->text().trimmed().toInt(&ok);
    if (!ok)
        throw std::runtime_error(("'" + E_Test->text() + "' не является правильным целым числом").toStdString());
    if (!q->active() || q->isEmpty())
        return;
    workbooks::cardexport::Options o;
    o.product = q->field(QStringLiteral("KOD_ING")).asInt64();
    o.otdel = q->field(QStringLiteral("KOD_OTDEL")).asInt64();
    o.quantity = quantity;
    o.priceChoice = q->field(QStringLiteral("CENA_COMPUTE")).asInt();
    o.title = q->field(QStringLiteral("NAME")).asString();
    workbooks::cardexport::Print(engine::ProgramContext(), o, printing::ProgramOffice());
}
