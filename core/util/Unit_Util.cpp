#include "Unit_Util.h"
#include "engine/EngineDb.h"

#include "Clock.h"
#include "Globals.h"
#include "Messages.h"
#include "base/Unit_Base.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "engine/Changes.h"
#include "engine/RowRefusal.h"

#include <stdexcept>

TForm_Util* Form_Util = nullptr;

// ---- TForm_Util ----

TForm_Util::TForm_Util(QObject* parent) : QObject(parent) {}

qint64 TForm_Util::InsertRecord(const R_Record& r) { return engine::InsertRecord(engine::ProgramContext(), r); }

void TForm_Util::UpdateRecord(const R_Record& r) { engine::UpdateRecord(engine::ProgramContext(), r); }

void TForm_Util::LoadUserRights(qint64 personKod)
{
    const auto reader = engine::Reader(engine::ProgramContext());
    db::Query* q = reader.get();
    q->setSql(QStringLiteral("SELECT * FROM PERSON_POLICY WHERE KOD_PERSON = ") + Key(personKod) + QStringLiteral(" ORDER BY PARAM1"));
    q->open();
    std::uint16_t rights = 0;
    for (q->first(); !q->eof(); q->next()) {
        const int bit = RightBit(q->field(QStringLiteral("PARAM1")).asInt());
        if (bit >= 0)
            rights |= static_cast<std::uint16_t>(1u << bit);
    }
    q->close();
    UserRights = rights;
}

bool Guard(const std::function<void()>& handler)
{
    db::Transaction* write = Form_Base ? Form_Base->TransactionWrite : nullptr;
    const quint64 commitsBefore = write ? write->commits() : 0;
    const quint64 startsBefore = write ? write->starts() : 0;
    // Whatever fails once a commit has returned, the change is kept, and said to be.
    const auto saved = [&] { return write && write->commits() != commitsBefore && !write->active(); };
    // A handler that never set out to write (a list's reload, a click on a
    // row) only read: it has nothing to call saved or not saved.
    const auto onlyRead = [&] { return !write || write->starts() == startsBefore; };
    QString text;
    engine::ChangeSet seen;  // a row another workstation changed, which the lists read again
    bool lost = false;
    try {
        handler();
        return true;
    } catch (const db::CommitUncertain&) {
        text = db::ConnectionLostDuringCommitText();
        lost = true;
    } catch (const db::DbError& e) {
        // A dropped connection and another workstation's lock arrive as the
        // server's English text: the user is told in words what happened to
        // the change.
        lost = db::IsConnectionLost(e.gdsCode());
        if (lost)
            text = saved()      ? db::ConnectionLostAfterSaveText()
                   : onlyRead() ? db::ConnectionLostReadingText()
                                : db::ConnectionLostText();
        else if (saved())
            text = db::FailedAfterSaveText(e.message());
        else if (db::IsLockConflict(e.gdsCode()))
            text = db::LockConflictText();
        else
            text = e.message();
    } catch (const engine::RowRefusal& e) {
        text = e.text();
        seen.tables[e.table()].insert(e.key());
    } catch (const std::exception& e) {
        text = saved() ? db::FailedAfterSaveText(QString::fromUtf8(e.what())) : QString::fromUtf8(e.what());
    } catch (...) {
        text = saved() ? db::FailedAfterSaveText(QStringLiteral("неизвестная ошибка")) : QStringLiteral("Неизвестная ошибка");
    }
    if (Form_Base && Form_Base->TransactionWrite && Form_Base->TransactionWrite->active()) {
        try {
            Form_Base->TransactionWrite->rollback();
        } catch (...) {
        }
    }
    engine::ChangeSignal::instance()->seenElsewhere(seen);
    // Told first, then the windows that cannot work without the connection
    // step aside and the way to connect again is put in front of the user;
    // a read that finds it lost again before the user reconnects says nothing.
    if (lost && Form_Base)
        Form_Base->TellConnectionLost(text, onlyRead() && !saved());
    else
        Msg::error(text);
    return false;
}
