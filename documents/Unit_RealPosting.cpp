// Posting of the production and sales tab's current document.

#include "Unit_RealTab.h"

#include "CatalogueUi.h"
#include "Unit_Provodka.h"
#include "base/Unit_Base.h"
#include "costing/CostingError.h"
#include "db/Query.h"
#include "engine/DocumentClaim.h"
#include "engine/WriteRoad.h"
#include "grid/DatasetModel.h"
#include "posting/RealPosting.h"
#include "ui/RadioGroup.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QCheckBox>

void TRealTab::Btn_Provodka_RealClick()
{
    db::Query* d = Q_Docs_Real;
    if (!cat::HasRow(d))
        return;
    const qint64 x = cat::KeyOf(d);
    const db::Field pf = d->field(QStringLiteral("PROVODKA"));
    if (!pf.isNull() && pf.asInt() > 0) {
        Msg::notice(QStringLiteral("Документ уже проведён !"));
        return;
    }
    const int type = d->field(QStringLiteral("DOC_TYPE")).asInt();
    const QString name = d->field(QStringLiteral("NAME")).asString();
    int rule = 0;
    if (type == posting::DocType::ProductionWriteOff) {
        // The last choice is offered again.
        if (Msg::execModal(Form_Provodka) != QDialog::Accepted)
            return;
        rule = Form_Provodka->RadioGroup1->itemIndex();
    }
    if (!Msg::confirm(QStringLiteral("После проводки документа любые изменения в нём будут невозможны!  Продолжить?"),
                      QStringLiteral("Проводка документа")))
        return;
    // Lines hidden by the search are posted too, and count when the document is judged empty.
    if (CB_Context_Real->isChecked()) {
        CB_Context_Real->setChecked(false);
        CB_Context_RealClick();
    }
    if (!cat::HasRow(Q_Real_Bludo)) {
        Msg::notice(QStringLiteral("Заполните документ!"));
        return;
    }

    WriteTransaction w(posting::kRoad);
    posting::RealOutcome out;
    try {
        out = engine::NamingDocument(name, [&] { return posting::PostRealDocument(w.context(), x, rule); });
    } catch (const costing::CardError& e) {
        w.rollback();
        Msg::error(e.text());
        return;
    } catch (const db::DbError& e) {
        if (db::IsConnectionLost(e.gdsCode())) {
            try {
                w.rollback();
            } catch (...) {
            }
            Msg::error(db::ConnectionLostText(QStringLiteral("Документ не проведён")));
            return;
        }
        if (!posting::IsLockConflict(e.gdsCode()))
            throw;
        w.rollback();
        Msg::error(posting::LockConflictText(false));
        return;
    }
    if (!out.posted) {
        w.rollback();
        Open_RealBludo();
        Msg::notice(QStringLiteral("Во всех строках документа нулевое или отрицательное количество. Документ проводится не будет !"));
        return;
    }
    w.commit(QStringLiteral("Производство и реализация"), QStringLiteral("Проводка документа № ") + name);
    Grid_DocReal->setFocus();
}
