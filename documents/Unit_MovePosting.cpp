// Posting and un-posting of the movement tab's current document.

#include "Unit_MoveTab.h"

#include "CatalogueUi.h"
#include "Unit_Provodka.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "engine/DocumentClaim.h"
#include "engine/WriteRoad.h"
#include "grid/DatasetModel.h"
#include "grid/ListHolder.h"
#include "posting/Posting.h"
#include "ui/RadioGroup.h"
#include "util/Globals.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

namespace {

constexpr bool kBusy = false;
constexpr bool kBusyUnpost = true;

// Runs a posting step, before the commit: a lost connection or a lock
// conflict rolls back and says in plain words that nothing was posted. The
// commit is not a step: once it returned the change is saved, whatever
// follows (Guard says so).
template <typename Step>
bool runPosting(WriteTransaction& w, Step step, bool unposting)
{
    try {
        step();
        return true;
    } catch (const db::DbError& e) {
        if (db::IsConnectionLost(e.gdsCode())) {
            try {
                w.rollback();
            } catch (...) {
            }
            Msg::error(db::ConnectionLostText(unposting ? QStringLiteral("Проводка не снята")
                                                        : QStringLiteral("Документ не проведён")));
            return false;
        }
        if (!posting::IsLockConflict(e.gdsCode()))
            throw;
        w.rollback();
        Msg::error(posting::LockConflictText(unposting));
        return false;
    }
}

} // namespace

void TMoveTab::Btn_ProvodkaClick()
{
    db::Query* d = Q_Dvig;
    if (!cat::HasRow(d))
        return;
    const qint64 x = cat::KeyOf(d);
    const int type = d->field(QStringLiteral("DOC_TYPE")).asInt();
    const int provodka = d->field(QStringLiteral("PROVODKA")).isNull() ? 0 : d->field(QStringLiteral("PROVODKA")).asInt();
    const QString name = d->field(QStringLiteral("NAME")).asString();
    const QString date = d->field(QStringLiteral("DATE_DOC")).asDate().toString(QStringLiteral("dd.MM.yyyy"));

    if (provodka > posting::kPostedAbove) {
        Form_DelProv->RadioGroup1->setItemIndex(0);
        Form_DelProv->RadioGroup1->setEnabled(type != posting::DocType::Sales && type != posting::DocType::Issue);
        if (Msg::execModal(Form_DelProv) != QDialog::Accepted)
            return;
        const int otkat = Form_DelProv->RadioGroup1->isEnabled() ? Form_DelProv->RadioGroup1->itemIndex() : 0;
        qint64 kept = 0;
        WriteTransaction w(posting::kRoad);
        if (!runPosting(
                w, [&] { kept = engine::NamingDocument(name, [&] { return posting::UnpostDocument(w.context(), x, otkat); }); },
                kBusyUnpost))
            return;
        if (kept == 0)
            return;
        const QString action = QStringLiteral("Отмена проводки документа № ") + name + QStringLiteral(" от ") + date;
        // The list reloads with the commit, on the document that remains.
        List_Dvig->standOn(kept);
        w.commit(QStringLiteral("Движение"), action);
        Grid_Dvig->setFocus();
        if (type == posting::DocType::Sales)
            Msg::notice(QStringLiteral("Перепровести документ реализации можно в окне \"Производство и реализация\""));
        else if (type == posting::DocType::Production || type == posting::DocType::ProductionWriteOff)
            Msg::notice(QStringLiteral("Перепровести документ производства можно в окне \"Производство и реализация\""));
        return;
    }

    if (type == posting::DocType::Inventory) {
        Msg::notice(QStringLiteral("Проводка документов инвентаризации осуществляется в окне \"Продукты и блюда ==> "
                                   "Наличие на складах и цены ==> Инвентаризация\" !"));
        return;
    }
    if (type == posting::DocType::Production || type == posting::DocType::Sales ||
        type == posting::DocType::ProductionWriteOff) {
        Msg::notice(QStringLiteral("Проводка документов производства и реализации осуществляются в окне "
                                   "\"Производство и реализация\" !"));
        return;
    }
    if (!Msg::confirm(QStringLiteral("После проводки документа любые изменения в нём будут невозможны!  Продолжить?"),
                      QStringLiteral("Проводка документа")))
        return;
    int rule = 0;
    if (type == posting::DocType::Transfer || type == posting::DocType::Receipt) {
        Form_Provodka->RadioGroup1->setItemIndex(0);
        if (Msg::execModal(Form_Provodka) != QDialog::Accepted)
            return;
        rule = Form_Provodka->RadioGroup1->itemIndex();
        if (rule != 0)
            Msg::notice(QStringLiteral("Так как выбраный документ будет менять цены исходных продуктов, незабудте после "
                                       "проводки произвести перерасчёт цен всех продуктов! (Окно \"Продукты и блюда\" -> "
                                       "\"Наличие на складах и цены\" -> кнопка \"Расчёт цен\")"));
    }
    WriteTransaction w(posting::kRoad);
    posting::PostOutcome out;
    if (!runPosting(
            w, [&] { out = engine::NamingDocument(name, [&] { return posting::PostMovement(w.context(), x, rule); }); },
            kBusy))
        return;
    if (!out.posted) {
        w.rollback();
        Msg::notice(QStringLiteral("В табличной части документа у всех продуктов нулевое количество. Документ не проводится !"));
        return;
    }
    const QString action = QStringLiteral("Проводка документа № ") + name + QStringLiteral(" от ") + date;
    w.commit(QStringLiteral("Движение"), action);
    syncSelectorGrids();
    if (!Q_Dvig->active())
        Open_DocsMove();
    LocateDoc(x);
}
