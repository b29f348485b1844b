#include "Script.h"

#include "Query.h"
#include "Transaction.h"

#include <QRegularExpression>

namespace db {

namespace {

// The statement without leading blanks and comments.
QString stripLeading(const QString& s)
{
    int i = 0;
    const int n = s.size();
    for (;;) {
        while (i < n && s[i].isSpace())
            ++i;
        if (i + 1 < n && s[i] == QLatin1Char('-') && s[i + 1] == QLatin1Char('-')) {
            int j = s.indexOf(QLatin1Char('\n'), i);
            i = j < 0 ? n : j + 1;
        } else if (i + 1 < n && s[i] == QLatin1Char('/') && s[i + 1] == QLatin1Char('*')) {
            int j = s.indexOf(QStringLiteral("*/"), i + 2);
            i = j < 0 ? n : j + 2;
        } else {
            break;
        }
    }
    return s.mid(i);
}

} // namespace

QStringList splitScript(const QString& script)
{
    static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    QStringList out;
    QString term = QStringLiteral(";");
    QString cur;
    const int n = script.size();
    int i = 0;
    while (i < n) {
        const QChar c = script[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            int j = i + 1;
            while (j < n && script[j] != c)
                ++j;
            cur += script.mid(i, j - i + 1);
            i = j + 1;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && script[i + 1] == QLatin1Char('-')) {
            int j = script.indexOf(QLatin1Char('\n'), i);
            j = j < 0 ? n : j;
            cur += script.mid(i, j - i);
            i = j;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && script[i + 1] == QLatin1Char('*')) {
            int j = script.indexOf(QStringLiteral("*/"), i + 2);
            j = j < 0 ? n : j + 2;
            cur += script.mid(i, j - i);
            i = j;
            continue;
        }
        if (script.mid(i, term.size()) == term) {
            const int consumed = static_cast<int>(term.size());
            const QString stmt = stripLeading(cur).trimmed();
            const auto m = setTerm.match(stmt);
            if (m.hasMatch())
                term = m.captured(1);
            else if (!stmt.isEmpty())
                out.append(stmt);
            cur.clear();
            i += consumed;
            continue;
        }
        cur += c;
        ++i;
    }
    const QString rest = stripLeading(cur).trimmed();
    if (!rest.isEmpty())
        out.append(rest);
    return out;
}

void runScript(Database& db, Transaction& tr, const QString& script)
{
    static const QRegularExpression commit(QStringLiteral("^COMMIT(\\s+WORK)?$"), QRegularExpression::CaseInsensitiveOption);
    Query q(&db, &tr);
    for (const QString& stmt : splitScript(script)) {
        if (commit.match(stmt).hasMatch()) {
            tr.commit();
            tr.start();
            continue;
        }
        q.setSql(stmt);
        q.execSql();
        q.unprepare();
    }
}

} // namespace db
