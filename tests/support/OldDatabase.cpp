#include "OldDatabase.h"

#include "TestDb.h"

#include "db/Script.h"
#include "schema/Schema.h"
#include "schema/Upgrade.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

#include <stdexcept>

const InstalledProcedure kUpgradeProcedures[8] = {
    {"DEL_DOC", 9},           {"INVENT_PROVODKA", 14}, {"ADD_ING_TO_INV", 17}, {"CREATE_FIRST_OTDEL", 18},
    {"START_EDIT_KALK", 22}, {"PROVODKA_MOVE", 25},   {"DELETE_PROVODKA", 26}, {"MY_ROUND", 34},
};

namespace {

// The columns each step adds, in the order the shipped tables list them.
struct AddedColumn {
    int step;
    const char* table;
    const char* column;
};
constexpr AddedColumn kAddedColumns[] = {
    {3, "DOCS", "P"},           {6, "MENU", "NO_ROUND"},        {6, "MENU_STR", "NO_ROUND"},
    {7, "MENU_RAZDEL", "IS_ACTIVE"}, {11, "LOG_TABLE", "K_LOGIN"}, {12, "INVENT", "CENA_P"},
    {15, "ING_SKLAD", "NO_ING"}, {16, "ING_SKLAD", "OPEN_CLOSE"}, {20, "ING_SKLAD", "KOD_KASSA"},
    {23, "ING", "RECEPT"},      {29, "ING_SKLAD", "S_KOD"},     {30, "ING_SKLAD", "KOD_1S"},
    {31, "ING", "MY_TIME"},     {32, "ING", "MY_ALARM"},        {35, "REAL_BLUDO", "CENA_SKLAD"},
    {37, "ING_SKLAD", "LIMIT"}, {39, "ING", "KALORIES"},
};

QString asCreateOrAlter(const QString& definition)
{
    static const QRegularExpression head(QStringLiteral("^(?:CREATE\\s+OR\\s+ALTER|RECREATE|CREATE|ALTER)\\s+PROCEDURE"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString s = definition;
    return s.replace(head, QStringLiteral("CREATE OR ALTER PROCEDURE"));
}

// The older program's own bodies of the procedures whose faults this program
// mends, by name.
QHash<QString, QString> olderForms()
{
    QFile f(QStringLiteral(TARELIA_FIXTURES "/older_procedures.sql"));
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("older_procedures.sql is missing");
    static const QRegularExpression nameRe(QStringLiteral("^CREATE\\s+OR\\s+ALTER\\s+PROCEDURE\\s+(\\w+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    QHash<QString, QString> out;
    for (const QString& stmt : db::splitScript(QString::fromUtf8(f.readAll()))) {
        const auto m = nameRe.match(stmt);
        if (m.hasMatch())
            out.insert(m.captured(1).toUpper(), stmt);
    }
    return out;
}

int installStep(const QString& name)
{
    for (const auto& p : kUpgradeProcedures)
        if (name == QLatin1String(p.name))
            return p.step;
    return 0;
}

} // namespace

void MakeOldDatabase(TestDb& t, int step)
{
    // Every procedure gets its declared parameters and an empty body, so
    // that no body holds on to a column that goes.
    QStringList names;
    static const QRegularExpression nameRe(QStringLiteral("^CREATE\\s+PROCEDURE\\s+(\\w+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    for (const QString& stmt : db::splitScript(schema::fileText(QStringLiteral("40_procedures.sql")))) {
        const auto m = nameRe.match(stmt);
        if (!m.hasMatch())
            continue;
        names.append(m.captured(1));
        t.exec(asCreateOrAlter(stmt));
    }
    if (step < 17)
        t.exec(QStringLiteral("ALTER PROCEDURE ADD_ING_TO_INV (FLAG SMALLINT, KOD_OTDEL BIGINT, KOD_SKLAD BIGINT, "
                              "KOD_DOC BIGINT, MY_ZERO SMALLINT) AS BEGIN END"));
    if (step < 14)
        t.exec(QStringLiteral("DROP PROCEDURE DELETE_PROVODKA"));

    for (const AddedColumn& c : kAddedColumns)
        if (c.step > step)
            t.exec(QStringLiteral("ALTER TABLE %1 DROP %2").arg(QLatin1String(c.table), QLatin1String(c.column)));
    if (step < 11) {
        t.exec(QStringLiteral("ALTER TABLE LOG_TABLE DROP ARM, DROP WHAT_ACTION"));
        t.exec(QStringLiteral("ALTER TABLE LOG_TABLE ADD ARM VARCHAR(30) CHARACTER SET NONE, "
                              "ADD WHAT_ACTION VARCHAR(100) CHARACTER SET NONE"));
        t.exec(QStringLiteral("ALTER TABLE LOG_TABLE ALTER ARM POSITION 6, ALTER WHAT_ACTION POSITION 7"));
    }

    // Bodies as that step left them: the older program's own form where
    // this program mends it, else the shipped form, for the procedures the
    // steps up to it installed last and, for the older forms, those no step
    // installs; the rest keep empty bodies.
    const QHash<QString, QString> older = olderForms();
    for (const QString& name : names) {
        const int at = installStep(name);
        if ((at == 0 && !older.contains(name)) || at > step || (step < 17 && name == QLatin1String("ADD_ING_TO_INV")) ||
            (step < 14 && name == QLatin1String("DELETE_PROVODKA")))
            continue;
        t.exec(older.contains(name) ? older.value(name) : asCreateOrAlter(schema::shippedProcedure(name)));
    }
    // The older program had none of the exceptions this program's bodies raise.
    auto exceptions = t.select(QStringLiteral("SELECT RDB$EXCEPTION_NAME FROM RDB$EXCEPTIONS"));
    QStringList drop;
    for (; !exceptions->eof(); exceptions->next())
        drop.append(exceptions->field(0).asString().trimmed());
    exceptions.reset();
    for (const QString& e : drop)
        t.exec(QStringLiteral("DROP EXCEPTION ") + e);

    t.exec(QStringLiteral("DELETE FROM MY_VERSION WHERE NUMBER_VER > %1").arg(step));
    if (step < 3)
        t.exec(QStringLiteral("DELETE FROM MY_PARAM WHERE NAME_PARAM = 'obmen'"));
    if (step < 27)
        t.exec(QStringLiteral("DELETE FROM MY_PARAM WHERE NAME_PARAM = 'my_language'"));
    if (step < 33)
        t.exec(QStringLiteral("DELETE FROM MY_PARAM WHERE NAME_PARAM IN ('DisMenuHead', 'DisMenuTail', 'DisMenuTab')"));
}

QString DescribeSchema(TestDb& t)
{
    QStringList lines;
    auto rows = [&](const QString& sql, const std::function<QString(db::Query&)>& line) {
        auto q = t.select(sql);
        for (; !q->eof(); q->next())
            lines.append(line(*q));
    };
    auto s = [](db::Query& q, const char* f) { return q.field(QLatin1String(f)).asString().trimmed(); };
    const QString fieldType =
        QStringLiteral("F.RDB$FIELD_TYPE || ':' || COALESCE(F.RDB$FIELD_SUB_TYPE, 0) || ':' || "
                       "COALESCE(F.RDB$CHARACTER_LENGTH, F.RDB$FIELD_LENGTH) || ':' || COALESCE(F.RDB$FIELD_SCALE, 0) || ':' || "
                       "COALESCE(TRIM(CS.RDB$CHARACTER_SET_NAME), '') || ':' || COALESCE(F.RDB$SEGMENT_LENGTH, 0)");

    // Columns, numbered in their order within the table.
    QString table;
    int n = 0;
    rows(QStringLiteral("SELECT RF.RDB$RELATION_NAME AS TBL, RF.RDB$FIELD_NAME AS COL, ") + fieldType +
             QStringLiteral(" AS TY, COALESCE(RF.RDB$NULL_FLAG, F.RDB$NULL_FLAG, 0) AS NN, "
                            "CAST(COALESCE(RF.RDB$DEFAULT_SOURCE, F.RDB$DEFAULT_SOURCE, '') AS VARCHAR(200)) AS DEF, "
                            "CAST(COALESCE(F.RDB$COMPUTED_SOURCE, '') AS VARCHAR(200)) AS COMP "
                            "FROM RDB$RELATION_FIELDS RF JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                            "JOIN RDB$RELATIONS R ON R.RDB$RELATION_NAME = RF.RDB$RELATION_NAME "
                            "LEFT JOIN RDB$CHARACTER_SETS CS ON CS.RDB$CHARACTER_SET_ID = F.RDB$CHARACTER_SET_ID "
                            "WHERE COALESCE(R.RDB$SYSTEM_FLAG, 0) = 0 ORDER BY RF.RDB$RELATION_NAME, RF.RDB$FIELD_POSITION"),
         [&](db::Query& q) {
             if (s(q, "TBL") != table) {
                 table = s(q, "TBL");
                 n = 0;
             }
             return QStringLiteral("column %1 %2 %3 %4 null=%5 %6 %7")
                 .arg(table)
                 .arg(++n, 2, 10, QLatin1Char('0'))
                 .arg(s(q, "COL"), s(q, "TY"))
                 .arg(q.field(QStringLiteral("NN")).asInt())
                 .arg(s(q, "DEF").simplified(), s(q, "COMP").simplified());
         });
    // Indexes with their columns; primary keys by table, since the server names their indexes.
    rows(QStringLiteral("SELECT I.RDB$INDEX_NAME AS NAME, I.RDB$RELATION_NAME AS TBL, COALESCE(I.RDB$UNIQUE_FLAG, 0) AS U, "
                        "COALESCE(I.RDB$INDEX_TYPE, 0) AS T, COALESCE(I.RDB$INDEX_INACTIVE, 0) AS OFF_, "
                        "(SELECT LIST(TRIM(S.RDB$FIELD_NAME), ',') FROM RDB$INDEX_SEGMENTS S "
                        " WHERE S.RDB$INDEX_NAME = I.RDB$INDEX_NAME) AS SEGS, "
                        "COALESCE((SELECT TRIM(C.RDB$CONSTRAINT_TYPE) FROM RDB$RELATION_CONSTRAINTS C "
                        " WHERE C.RDB$INDEX_NAME = I.RDB$INDEX_NAME), '') AS CT "
                        "FROM RDB$INDICES I WHERE COALESCE(I.RDB$SYSTEM_FLAG, 0) = 0"),
         [&](db::Query& q) {
             const QString name = s(q, "CT").isEmpty() ? s(q, "NAME") : s(q, "CT");
             return QStringLiteral("index %1 %2 (%3) unique=%4 type=%5 inactive=%6")
                 .arg(s(q, "TBL"), name, s(q, "SEGS"))
                 .arg(q.field(QStringLiteral("U")).asInt())
                 .arg(q.field(QStringLiteral("T")).asInt())
                 .arg(q.field(QStringLiteral("OFF_")).asInt());
         });
    rows(QStringLiteral("SELECT RDB$GENERATOR_NAME AS NAME FROM RDB$GENERATORS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"),
         [&](db::Query& q) { return QStringLiteral("generator ") + s(q, "NAME"); });
    rows(QStringLiteral("SELECT RDB$TRIGGER_NAME AS NAME, RDB$RELATION_NAME AS TBL, RDB$TRIGGER_TYPE AS T, "
                        "RDB$TRIGGER_SEQUENCE AS SEQ, COALESCE(RDB$TRIGGER_INACTIVE, 0) AS OFF_, "
                        "CAST(RDB$TRIGGER_SOURCE AS VARCHAR(8000)) AS SRC "
                        "FROM RDB$TRIGGERS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"),
         [&](db::Query& q) {
             return QStringLiteral("trigger %1 on %2 type=%3 position=%4 inactive=%5 %6")
                 .arg(s(q, "NAME"), s(q, "TBL"))
                 .arg(q.field(QStringLiteral("T")).asInt())
                 .arg(q.field(QStringLiteral("SEQ")).asInt())
                 .arg(q.field(QStringLiteral("OFF_")).asInt())
                 .arg(s(q, "SRC").simplified());
         });
    rows(QStringLiteral("SELECT RDB$EXCEPTION_NAME AS NAME, RDB$MESSAGE AS MSG FROM RDB$EXCEPTIONS "
                        "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"),
         [&](db::Query& q) { return QStringLiteral("exception %1 %2").arg(s(q, "NAME"), s(q, "MSG")); });
    rows(QStringLiteral("SELECT P.RDB$PROCEDURE_NAME AS NAME FROM RDB$PROCEDURES P "
                        "WHERE COALESCE(P.RDB$SYSTEM_FLAG, 0) = 0"),
         [&](db::Query& q) { return QStringLiteral("procedure ") + s(q, "NAME"); });
    rows(QStringLiteral("SELECT PP.RDB$PROCEDURE_NAME AS PROC, PP.RDB$PARAMETER_NAME AS NAME, PP.RDB$PARAMETER_TYPE AS DIR, "
                        "PP.RDB$PARAMETER_NUMBER AS NUM, ") +
             fieldType +
             QStringLiteral(" AS TY FROM RDB$PROCEDURE_PARAMETERS PP "
                            "JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = PP.RDB$FIELD_SOURCE "
                            "LEFT JOIN RDB$CHARACTER_SETS CS ON CS.RDB$CHARACTER_SET_ID = F.RDB$CHARACTER_SET_ID "
                            "WHERE COALESCE(PP.RDB$SYSTEM_FLAG, 0) = 0"),
         [&](db::Query& q) {
             return QStringLiteral("parameter %1 %2 %3 %4 %5")
                 .arg(s(q, "PROC"),
                      q.field(QStringLiteral("DIR")).asInt() == 0 ? QStringLiteral("in") : QStringLiteral("out"))
                 .arg(q.field(QStringLiteral("NUM")).asInt())
                 .arg(s(q, "NAME"), s(q, "TY"));
         });
    lines.sort();
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString ProcedureSource(TestDb& t, const QString& name)
{
    auto q = t.select(QStringLiteral("SELECT CAST(RDB$PROCEDURE_SOURCE AS VARCHAR(32000)) AS SRC FROM RDB$PROCEDURES "
                                     "WHERE RDB$PROCEDURE_NAME = '%1'").arg(name));
    return q->isEmpty() ? QString() : q->field(QStringLiteral("SRC")).asString();
}
