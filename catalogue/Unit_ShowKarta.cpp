#include "Unit_ShowKarta.h"

#include "CatalogueUi.h"
#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "grid/ListHolder.h"
#include "db/Query.h"
#include "ui/Scaling.h"
#include "util/Messages.h"
#include "util/SettingsStore.h"
#include "util/Unit_Util.h"

#include <QHeaderView>
#include <QPalette>
#include <QVBoxLayout>

FirstUse<TForm_ShowKarta> Form_ShowKarta;

namespace {

const QString kCaption = QStringLiteral("Калькуляционная карта блюда.");

} // namespace

TForm_ShowKarta::TForm_ShowKarta(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint)
{
    setWindowTitle(kCaption);
    auto* lay = new QVBoxLayout(this);
    List_Sostav = new db::ListHolder(Form_Base->MyDB, Form_Base->TransactionRead, this);
    List_Sostav->setTables({QStringLiteral("KARTA"), QStringLiteral("ING"), QStringLiteral("ED_IZM")});
    QS = List_Sostav->query();
    QS->addCalcField(QStringLiteral("K_BRUTTO"), db::FieldKind::Float);
    QS->onCalcFields = [](db::Query& q) {
        const db::Field percent = q.field(QStringLiteral("PERCENT"));
        if (percent.isNull() || percent.asDouble() == 0)
            q.setCalc(QStringLiteral("K_BRUTTO"), QVariant());
        else
            q.setCalc(QStringLiteral("K_BRUTTO"), 100.0 / percent.asDouble());
    };
    Grid_Sostav = new db::DbGrid(this);
    Grid_Sostav->setQuery(QS);
    List_Sostav->setGrid(Grid_Sostav);
    cat::SetColumns(Grid_Sostav, {{QStringLiteral("NAME"), QStringLiteral("Наименование"), 260},
                                  {QStringLiteral("SHORT_NAME"), QStringLiteral("Ед.изм."), 55},
                                  {QStringLiteral("KOLVO"), QStringLiteral("Кол-во"), 80, db::kQuantityDisplay},
                                  {QStringLiteral("PERCENT"), QStringLiteral("%вых."), 60, QStringLiteral("0.###")},
                                  {QStringLiteral("K_BRUTTO"), QStringLiteral("К.брутто"), 65, QStringLiteral("0.###")}});
    Grid_Sostav->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    Grid_Sostav->datasetModel()->setCellStyle([](const db::Query& q, int row, const QString&, int role) -> QVariant {
        if (role == Qt::ForegroundRole)
            return QPalette().color(QPalette::ButtonText);
        if (role == Qt::BackgroundRole) {
            const int col = q.fieldIndex(QStringLiteral("IS_ACTIVE"));
            const bool off = col >= 0 && q.valueAt(row, col).toDouble() < 1;
            return QPalette().color(off ? QPalette::Button : QPalette::Base);
        }
        return {};
    });
    BindBruttoColumns(Grid_Sostav, QStringLiteral("PERCENT"), QStringLiteral("K_BRUTTO"));
    lay->addWidget(Grid_Sostav);
    resize(560, 360);
    ScaleWindow(this, true);
}

TForm_ShowKarta::~TForm_ShowKarta()
{
    if (Form_ShowKarta.made() == this)
        Form_ShowKarta = nullptr;
}

void TForm_ShowKarta::Fill(qint64 dish)
{
    QS->close();
    QS->setSql(QStringList{QStringLiteral("select Karta.*, ED_IZM.SHORT_NAME, ING.NAME from KARTA"),
                           QStringLiteral("LEFT OUTER JOIN ING ON KARTA.KOD_ING = ING.KOD"),
                           QStringLiteral("LEFT OUTER JOIN ED_IZM ON ING.ED_IZM = ED_IZM.KOD"),
                           QStringLiteral("WHERE KARTA.KOD_ING_MASTER = ") + Key(dish),
                           QStringLiteral("ORDER BY KARTA.KOD")});
    QS->open();
}

void TForm_ShowKarta::Execute(qint64 dish, const QString& name)
{
    if (!Form_ShowKarta)
        Form_ShowKarta = new TForm_ShowKarta;
    Form_ShowKarta->Fill(dish);
    Form_ShowKarta->setWindowTitle(QStringLiteral("Калькуляционная карта блюда << ") + name + QStringLiteral(" >>"));
    Msg::execModal(Form_ShowKarta);
}

void TForm_ShowKarta::hideEvent(QHideEvent* event)
{
    QS->close();
    setWindowTitle(kCaption);
    QDialog::hideEvent(event);
}
