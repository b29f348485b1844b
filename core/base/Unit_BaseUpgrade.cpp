// The schema upgrade at each connection: refuses a newer database, brings an
// older one to the program's step, and stops the start-up when it cannot.

#include "Unit_Base.h"

#include "schema/Schema.h"
#include "schema/Upgrade.h"
#include "util/Messages.h"

#include <algorithm>

namespace {

// Where the vendor offers the newest version of the program.
const char* const kDownloadPage = "https://www.example.com/download";

} // namespace

void TForm_Base::UpgradeDatabase()
{
    // Shows the text, closes the connection and ends the program; the
    // database keeps every step committed before.
    auto stop = [this](const QString& text, bool asError) {
        if (asError)
            Msg::error(text);
        else
            Msg::notice(text);
        startupAborted = true;
        try {
            if (TransactionWrite->active())
                TransactionWrite->rollback();
        } catch (...) {
        }
        MyDB->close();
        if (hooks.closeMainWindow)
            hooks.closeMainWindow();
    };

    schema::DatabaseStep current;
    try {
        current = schema::readStep(*MyDB, *TransactionRead);
    } catch (const std::exception& e) {
        stop(QString::fromUtf8(e.what()), true);
        return;
    }
    if (current.step > schema::kVersion) {
        stop(QStringLiteral("С Вашей базой данных может работать программа с версией не ниже ") + current.nameVer +
                 QStringLiteral(". Последние версии программ можно получить на странице ") +
                 QString::fromLatin1(kDownloadPage) + QLatin1Char(' '),
             false);
        return;
    }
    for (int step = std::max(current.step, 2) + 1; step <= schema::kVersion; ++step) {
        try {
            schema::runStep(*MyDB, *TransactionRead, *TransactionWrite, step);
        } catch (const db::DbError& e) {
            stop(e.message(), true);
            return;
        } catch (const std::exception& e) {
            stop(QString::fromUtf8(e.what()), true);
            return;
        }
    }
    // The bodies and exceptions of this program, whatever an older one left,
    // even on a database that needed no step.
    try {
        schema::alignProcedures(*MyDB, *TransactionRead, *TransactionWrite);
    } catch (const db::DbError& e) {
        stop(e.message(), true);
    } catch (const std::exception& e) {
        stop(QString::fromUtf8(e.what()), true);
    }
}
