#include "Upgrade.h"

#include "Schema.h"

#include "db/Database.h"
#include "db/Error.h"
#include "db/Query.h"
#include "db/Script.h"
#include "db/Transaction.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

namespace schema {

namespace {

// ---------- The schema sources ----------

// Every statement of the shipped sources, in the order they run.
const QStringList& sourceStatements()
{
    static const QStringList all = [] {
        QStringList out;
        for (const QString& name : files())
            out += db::splitScript(fileText(name));
        return out;
    }();
    return all;
}

// Text between the quotes of an SQL string literal starting at from; end is
// set past the closing quote.
QString readLiteral(const QString& s, int from, int* end)
{
    QString out;
    int i = from + 1;
    while (i < s.size()) {
        if (s[i] == QLatin1Char('\'')) {
            if (i + 1 < s.size() && s[i + 1] == QLatin1Char('\'')) {
                out += QLatin1Char('\'');
                i += 2;
                continue;
            }
            break;
        }
        out += s[i++];
    }
    *end = i + 1;
    return out;
}

struct VersionText {
    QString name;
    QString opis;
};

// NAME_VER and OPIS of each version row the shipped database records.
const QHash<int, VersionText>& versionTexts()
{
    static const QHash<int, VersionText> texts = [] {
        static const QRegularExpression re(
            QStringLiteral("^INSERT\\s+INTO\\s+MY_VERSION\\s*\\([^)]*\\)\\s*VALUES\\s*\\(\\s*(\\d+)\\s*,\\s*"),
            QRegularExpression::CaseInsensitiveOption);
        QHash<int, VersionText> out;
        for (const QString& stmt : sourceStatements()) {
            const auto m = re.match(stmt);
            if (!m.hasMatch())
                continue;
            int i = static_cast<int>(m.capturedEnd(0));
            VersionText t;
            t.name = readLiteral(stmt, i, &i);
            i = stmt.indexOf(QLatin1Char('\''), i);
            if (i < 0)
                continue;
            t.opis = readLiteral(stmt, i, &i);
            out.insert(m.captured(1).toInt(), t);
        }
        return out;
    }();
    return texts;
}

// The value expression of a settings row of the shipped database
// ("INSERT INTO MY_PARAM (NAME_PARAM, X) VALUES ('key', expression)").
QString shippedSettingExpression(const QString& key)
{
    static const QRegularExpression head(QStringLiteral("^INSERT\\s+INTO\\s+MY_PARAM\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QString quoted = QLatin1Char('\'') + key + QLatin1Char('\'');
    for (const QString& stmt : sourceStatements()) {
        if (!head.match(stmt).hasMatch())
            continue;
        const int values = stmt.indexOf(QStringLiteral("VALUES"), 0, Qt::CaseInsensitive);
        if (values < 0)
            continue;
        const int k = stmt.indexOf(quoted, values);
        if (k < 0 || stmt.mid(values + 6, k - values - 6).trimmed() != QStringLiteral("("))
            continue;
        const int comma = stmt.indexOf(QLatin1Char(','), k + quoted.size());
        const int close = stmt.lastIndexOf(QLatin1Char(')'));
        if (comma < 0 || close < comma)
            continue;
        return stmt.mid(comma + 1, close - comma - 1).trimmed();
    }
    throw db::DbError(QStringLiteral("В схеме нет параметра %1").arg(key));
}

// ---------- The procedure scripts ----------

enum class Head { Create, Alter, CreateOrAlter };

struct ScriptDef {
    const char* name;
    const char* procedure;
    Head head;
    bool ownForm;  // a form of its own, later replaced; otherwise the shipped one
};

// In the order of the steps that run them.
constexpr ScriptDef kScripts[] = {
    {"Change_My_Round", "MY_ROUND", Head::Alter, true},
    {"Change_Del_Doc", "DEL_DOC", Head::Alter, false},
    {"Change_ADD_to_Inv", "ADD_ING_TO_INV", Head::Alter, true},
    {"Change_Invent_Provodka", "INVENT_PROVODKA", Head::Alter, false},
    {"New_Delete_Provodka", "DELETE_PROVODKA", Head::Create, true},
    {"Change_Add_Ing_To_Inv", "ADD_ING_TO_INV", Head::Alter, false},
    {"Change_Create_First_Otdel", "CREATE_FIRST_OTDEL", Head::Alter, false},
    {"Change_Delete_Provodka", "DELETE_PROVODKA", Head::Alter, true},
    {"Change_Start_Edit_Kalk", "START_EDIT_KALK", Head::Alter, false},
    {"Change_Provodka_Move", "PROVODKA_MOVE", Head::Alter, false},
    {"Change2_Delete_Provodka", "DELETE_PROVODKA", Head::Alter, false},
    {"Change_My_Round2", "MY_ROUND", Head::CreateOrAlter, false},
};

const QRegularExpression& procedureHead()
{
    static const QRegularExpression re(
        QStringLiteral("^(?:CREATE\\s+OR\\s+ALTER|RECREATE|CREATE|ALTER)\\s+PROCEDURE\\s+(\\w+)"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

// The definition of a procedure as one statement under another head
// ("CREATE", "ALTER", "CREATE OR ALTER"), wrapped in a script.
QString procedureScriptWith(const QString& head, const QString& definition)
{
    const auto m = procedureHead().match(definition);
    return QStringLiteral("SET TERM ^ ;\n\n") + head + QStringLiteral(" PROCEDURE ") + m.captured(1) +
           definition.mid(m.capturedEnd(1)) + QStringLiteral("^\n\nSET TERM ; ^\n");
}

// Index past the comment or blanks at i, or i itself.
int skipBlank(const QString& s, int i)
{
    for (;;) {
        while (i < s.size() && s[i].isSpace())
            ++i;
        if (s.mid(i, 2) == QStringLiteral("--")) {
            const int j = s.indexOf(QLatin1Char('\n'), i);
            i = j < 0 ? static_cast<int>(s.size()) : j + 1;
        } else if (s.mid(i, 2) == QStringLiteral("/*")) {
            const int j = s.indexOf(QStringLiteral("*/"), i + 2);
            i = j < 0 ? static_cast<int>(s.size()) : j + 2;
        } else {
            return i;
        }
    }
}

// Index past the parenthesised list opening at i.
int skipParentheses(const QString& s, int i)
{
    int depth = 0;
    while (i < s.size()) {
        const int next = skipBlank(s, i);
        if (next != i) {
            i = next;
            continue;
        }
        if (s[i] == QLatin1Char('('))
            ++depth;
        else if (s[i] == QLatin1Char(')') && --depth == 0)
            return i + 1;
        ++i;
    }
    return i;
}

// What the server keeps as a procedure's source: the definition's text from
// the first word after "AS" to its end.
QString procedureBody(const QString& definition)
{
    const auto m = procedureHead().match(definition);
    int i = skipBlank(definition, static_cast<int>(m.capturedEnd(0)));
    if (definition.mid(i, 1) == QStringLiteral("("))
        i = skipBlank(definition, skipParentheses(definition, i));
    if (definition.mid(i, 7).compare(QStringLiteral("RETURNS"), Qt::CaseInsensitive) == 0) {
        i = skipBlank(definition, i + 7);
        i = skipBlank(definition, skipParentheses(definition, i));
    }
    if (definition.mid(i, 2).compare(QStringLiteral("AS"), Qt::CaseInsensitive) != 0)
        throw db::DbError(QStringLiteral("Не разобрано определение процедуры %1").arg(m.captured(1)));
    return definition.mid(skipBlank(definition, i + 2)).trimmed();
}

struct ShippedException {
    QString name;
    QString message;
    QString rest;  // the definition after the name
};

// The exceptions the sources create, in their order.
const QList<ShippedException>& shippedExceptionList()
{
    static const QList<ShippedException> all = [] {
        static const QRegularExpression re(QStringLiteral("^CREATE\\s+(?:OR\\s+ALTER\\s+)?EXCEPTION\\s+(\\w+)\\s+(.*)$"),
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
        QList<ShippedException> out;
        for (const QString& stmt : sourceStatements()) {
            const auto m = re.match(stmt.trimmed());
            if (!m.hasMatch())
                continue;
            const QString rest = m.captured(2).trimmed();
            int end = 0;
            out.append({m.captured(1).toUpper(), rest.startsWith(QLatin1Char('\'')) ? readLiteral(rest, 0, &end) : rest, rest});
        }
        return out;
    }();
    return all;
}

// ---------- The steps ----------

// One template variable a step adds to every template of a print list.
struct Variable {
    int step;
    int list;
    const char* namevar;
    int sort;
    int location;
    const char* name;
};

constexpr Variable kVariables[] = {
    {8, 7, "kolvo_n", 95, 0, "Норма ингредиента НЕТТО (кг)"},
    {12, 5, "cena_p", 92, 0, "Цена продажн."},
    {12, 5, "summa_p", 112, 0, "Сумма по докум. продажн."},
    {12, 5, "itog_p1", 166, 4, "Итого по складск.ценам"},
    {12, 5, "itog_p1s", 167, 4, "Итого по скл.цен. пропись"},
    {12, 5, "itog_p2", 168, 4, "Итого по прод.ценам"},
    {12, 5, "itog_p2s", 169, 4, "Итого по прод. ценам пропись"},
    {12, 5, "summa_s_r", 121, 0, "Реальная сумма"},
    {12, 5, "summa_p_r", 122, 0, "Реальная сумма продажн."},
    {12, 5, "summa2_p", 155, 0, "Сумма изл/недост продажн"},
    {12, 5, "itog2_p", 162, 4, "Итог изл/недост продажн"},
    {12, 5, "itog2_p_s", 163, 4, "Итог прописью продажн."},
    {24, 7, "recept", 190, 4, "Рецепт блюда"},
    {28, 10, "recept", 190, 4, "Рецепт блюда"},
    {36, 8, "cena_skl", 145, 0, "Цена склада"},
    {36, 8, "sum_skl", 155, 0, "Сумма склада по строке"},
    {36, 8, "sum_skl_doc", 165, 2, "Сумма склада по документу"},
    {38, 4, "ost_start", 105, 0, "Остатки на начало"},
    {38, 4, "ost_end", 106, 0, "Остатки на конец"},
    {40, 7, "kalories_kk", 135, 0, "Калории"},
    {40, 7, "kalories_sum", 75, 4, "Сумма к/клорий блюда"},
    {41, 6, "kalories_menu", 65, 0, "Калории"},
};

const char* const kReceptOpis = "Построчно выведет рецепт в окончание документа начиная с указанной позиции. "
                                "Ячейки лучше обьеденить по всей ширине документа";

QString sqlLiteral(const QString& s)
{
    QString q = s;
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

// The actions of one step on the write transaction.
class Step {
public:
    Step(db::Database& db, db::Transaction& read, db::Transaction& write, int step)
        : db_(db), write_(write), step_(step), w_(&db, &write), r_(&db, &read)
    {
    }

    void run();

private:
    // One statement through the write query.
    db::Query& statement(const QString& sql)
    {
        w_.close();
        w_.clearSql();
        w_.setSql(sql);
        return w_;
    }
    void exec(const QString& sql) { statement(sql).execSql(); }

    // KOD of every row a driving query returns, read on the read transaction.
    QList<qint64> keys(const QString& sql, const QString& field = QStringLiteral("KOD"))
    {
        r_.close();
        r_.setSql(sql);
        r_.open();
        QList<qint64> out;
        for (r_.first(); !r_.eof(); r_.next())
            out.append(r_.field(field).asInt64());
        r_.close();
        return out;
    }

    void addColumn(const QString& table, const QString& column)
    {
        exec(QStringLiteral("ALTER TABLE ") + table + QStringLiteral(" ADD ") + shippedColumn(table, column));
    }

    void versionRow()
    {
        const auto it = versionTexts().constFind(step_);
        if (it == versionTexts().constEnd())
            throw db::DbError(QStringLiteral("В схеме нет описания шага %1").arg(step_));
        auto& q = statement(QStringLiteral("INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (:N, :V, :M)"));
        q.param(QStringLiteral("N")).setInt(step_);
        q.param(QStringLiteral("V")).setString(it->name);
        q.param(QStringLiteral("M")).setString(it->opis);
        q.execSql();
    }

    void integerParam(const QString& name, int value)
    {
        auto& q = statement(QStringLiteral("INSERT INTO MY_PARAM (NAME_PARAM, INTEGER_PARAM) VALUES (:N, :I)"));
        q.param(QStringLiteral("N")).setString(name);
        q.param(QStringLiteral("I")).setInt(value);
        q.execSql();
    }

    // A text setting with the value the shipped database starts with.
    void textParam(const QString& column, const QString& name)
    {
        r_.close();
        r_.setSql(QStringLiteral("SELECT ") + shippedSettingExpression(name) + QStringLiteral(" AS S FROM RDB$DATABASE"));
        r_.open();
        const QString value = r_.field(QStringLiteral("S")).asString();
        r_.close();
        auto& q = statement(QStringLiteral("INSERT INTO MY_PARAM (NAME_PARAM, ") + column + QStringLiteral(") VALUES(:N, :S)"));
        q.param(QStringLiteral("N")).setString(name);
        q.param(QStringLiteral("S")).setString(value);
        q.execSql();
    }

    void script(const char* name)
    {
        shippedExceptions();
        db::runScript(db_, write_, procedureScript(QString::fromLatin1(name)));
    }

    // The exceptions the shipped procedures raise, where an older program
    // left the database without them: a body raising one must compile.
    void shippedExceptions()
    {
        for (const ShippedException& e : shippedExceptionList()) {
            auto& q = statement(QStringLiteral("SELECT COUNT(*) FROM RDB$EXCEPTIONS WHERE RDB$EXCEPTION_NAME = :N"));
            q.param(QStringLiteral("N")).setString(e.name);
            q.open();
            const bool exists = q.field(0).asInt() > 0;
            q.close();
            if (!exists)
                exec(QStringLiteral("CREATE EXCEPTION ") + e.name + QLatin1Char(' ') + e.rest);
        }
    }

    // The step's template variables, per template of the list in the order read.
    void variables()
    {
        int list = 0;
        for (const Variable& v : kVariables)
            if (v.step == step_)
                list = v.list;
        const QList<qint64> forms =
            keys(QStringLiteral("SELECT KOD FROM PRINT_FORMS WHERE KOD_SPISKA = ") + QString::number(list));
        for (qint64 form : forms) {
            for (const Variable& v : kVariables) {
                if (v.step != step_)
                    continue;
                const bool recept = QLatin1String(v.namevar) == QLatin1String("recept");
                QStringList lines;
                lines << (recept ? QStringLiteral("INSERT INTO PRINT_VARIABLES (KOD_FORMA, NAMEVAR, MY_SORT, ENABLED, "
                                                  "LOCATION, NAME, OPIS)")
                                 : QStringLiteral("INSERT INTO PRINT_VARIABLES (KOD_FORMA, NAMEVAR, MY_SORT, ENABLED, "
                                                  "LOCATION, NAME)"));
                lines << QStringLiteral("VALUES (:KF, %1, %2, 0, %3, %4%5)")
                             .arg(sqlLiteral(QString::fromUtf8(v.namevar)))
                             .arg(v.sort)
                             .arg(v.location)
                             .arg(sqlLiteral(QString::fromUtf8(v.name)), recept ? QStringLiteral(", :O") : QString());
                auto& q = statement(lines.join(QLatin1Char('\n')));
                q.param(QStringLiteral("KF")).setInt64(form);
                if (recept)
                    q.param(QStringLiteral("O")).setString(QString::fromUtf8(kReceptOpis));
                q.execSql();
            }
        }
    }

    // Products without a group (group 0, and with orNull also none), with
    // their department rows and every card row they take part in.
    void deleteProductsWithoutGroup(bool orNull)
    {
        const QString where = orNull ? QStringLiteral("KOD_GROUP = 0 OR KOD_GROUP IS NULL") : QStringLiteral("KOD_GROUP = 0");
        for (qint64 kod : keys((orNull ? QStringLiteral("SELECT * FROM ING WHERE ") : QStringLiteral("SELECT KOD FROM ING WHERE ")) +
                               where)) {
            const QString k = QString::number(kod);
            exec(QStringLiteral("DELETE FROM ING_SKLAD WHERE KOD_ING = ") + k);
            exec(orNull ? QStringLiteral("DELETE FROM KARTA WHERE KOD_ING = ") + k + QStringLiteral(" OR KOD_ING_MASTER = ") + k
                        : QStringLiteral("DELETE FROM KARTA WHERE KOD_ING_MASTER = ") + k + QStringLiteral(" OR KOD_ING = ") + k);
        }
        exec(QStringLiteral("DELETE FROM ING WHERE ") + where);
    }

    // Every product's department row takes the product's group and the
    // warehouse that keeps that group in the department.
    void realignDepartmentRows()
    {
        r_.close();
        r_.setSql(QStringList{
            QStringLiteral("select group_ing.name, sklad.name, ing.name, sklad.kod sklad_kod,"),
            QStringLiteral("group_ing.kod group_ing_kod, sklad_gring.kod sklad_gring_kod,"),
            QStringLiteral("otdel.kod otdel_kod, firma.kod firma_kod, ing.kod ing_kod from ing"),
            QStringLiteral("inner join group_ing on (ing.kod_group = group_ing.kod)"),
            QStringLiteral("inner join sklad_gring on (group_ing.kod = sklad_gring.kod_gring)"),
            QStringLiteral("inner join sklad on (sklad_gring.kod_sklad = sklad.kod)"),
            QStringLiteral("inner join otdel on (sklad.kod_otdel = otdel.kod)"),
            QStringLiteral("inner join firma on (otdel.kod_firma = firma.kod)")});
        r_.open();
        struct Row {
            qint64 group, sklad, ing, otdel;
        };
        QList<Row> rows;
        for (r_.first(); !r_.eof(); r_.next())
            rows.append({r_.field(QStringLiteral("GROUP_ING_KOD")).asInt64(), r_.field(QStringLiteral("SKLAD_KOD")).asInt64(),
                         r_.field(QStringLiteral("ING_KOD")).asInt64(), r_.field(QStringLiteral("OTDEL_KOD")).asInt64()});
        r_.close();
        for (const Row& row : rows)
            exec(QStringList{QStringLiteral("UPDATE ING_SKLAD SET KOD_GROUP = ") + QString::number(row.group) + QLatin1Char(','),
                             QStringLiteral("KOD_SKLAD = ") + QString::number(row.sklad),
                             QStringLiteral("WHERE KOD_ING = ") + QString::number(row.ing) + QStringLiteral(" AND"),
                             QStringLiteral("KOD_OTDEL = ") + QString::number(row.otdel)}
                     .join(QLatin1Char('\n')));
    }

    // Every user existing now gets the right 1 "Все права".
    void grantAllRights()
    {
        for (qint64 person : keys(QStringLiteral("SELECT KOD FROM PERSON"))) {
            auto& q = statement(QStringLiteral("INSERT INTO PERSON_POLICY (KOD_PERSON, PARAM1, PARAM3) VALUES (:KP, :P1, :P3)"));
            q.param(QStringLiteral("KP")).setInt64(person);
            q.param(QStringLiteral("P1")).setInt(1);
            q.param(QStringLiteral("P3")).setString(QStringLiteral("Все права"));
            q.execSql();
        }
    }

    // LOG_TABLE's area and action columns take their shipped types.
    void widenLogColumns()
    {
        auto typeOf = [](const QString& column) {
            return shippedColumn(QStringLiteral("LOG_TABLE"), column).section(QLatin1Char(' '), 1).trimmed();
        };
        exec(QStringList{QStringLiteral("ALTER TABLE LOG_TABLE"),
                         QStringLiteral("    ALTER ARM TYPE ") + typeOf(QStringLiteral("ARM")) + QLatin1Char(','),
                         QStringLiteral("    ALTER WHAT_ACTION TYPE ") + typeOf(QStringLiteral("WHAT_ACTION"))}
                 .join(QLatin1Char('\n')));
    }

    db::Database& db_;
    db::Transaction& write_;
    int step_;
    db::Query w_;
    db::Query r_;
};

void Step::run()
{
    const QString docs = QStringLiteral("DOCS"), menu = QStringLiteral("MENU"), ing = QStringLiteral("ING"),
                  sklad = QStringLiteral("ING_SKLAD");
    switch (step_) {
    case 1:
    case 2: return;
    case 3:
        addColumn(docs, QStringLiteral("P"));
        versionRow();
        integerParam(QStringLiteral("obmen"), 0);
        return;
    case 4: versionRow(); script("Change_My_Round"); return;
    case 5: versionRow(); deleteProductsWithoutGroup(false); return;
    case 6:
        addColumn(menu, QStringLiteral("NO_ROUND"));
        addColumn(QStringLiteral("MENU_STR"), QStringLiteral("NO_ROUND"));
        versionRow();
        return;
    case 7: addColumn(QStringLiteral("MENU_RAZDEL"), QStringLiteral("IS_ACTIVE")); versionRow(); return;
    case 8: variables(); versionRow(); return;
    case 9: versionRow(); script("Change_Del_Doc"); return;
    case 10: realignDepartmentRows(); versionRow(); return;
    case 11:
        addColumn(QStringLiteral("LOG_TABLE"), QStringLiteral("K_LOGIN"));
        widenLogColumns();
        versionRow();
        grantAllRights();
        return;
    case 12: addColumn(QStringLiteral("INVENT"), QStringLiteral("CENA_P")); variables(); versionRow(); return;
    case 13: versionRow(); script("Change_ADD_to_Inv"); return;
    case 14: versionRow(); script("Change_Invent_Provodka"); script("New_Delete_Provodka"); return;
    case 15: addColumn(sklad, QStringLiteral("NO_ING")); versionRow(); return;
    case 16: deleteProductsWithoutGroup(true); addColumn(sklad, QStringLiteral("OPEN_CLOSE")); versionRow(); return;
    case 17: versionRow(); script("Change_Add_Ing_To_Inv"); return;
    case 18: versionRow(); script("Change_Create_First_Otdel"); return;
    case 19: versionRow(); script("Change_Delete_Provodka"); return;
    case 20: addColumn(sklad, QStringLiteral("KOD_KASSA")); versionRow(); return;
    case 21: exec(QStringLiteral("UPDATE ING SET CENA_COMPUTE = 0 WHERE MY_LEVEL = 0")); versionRow(); return;
    case 22: versionRow(); script("Change_Start_Edit_Kalk"); return;
    case 23: addColumn(ing, QStringLiteral("RECEPT")); versionRow(); return;
    case 24: variables(); versionRow(); return;
    case 25: versionRow(); script("Change_Provodka_Move"); return;
    case 26: versionRow(); script("Change2_Delete_Provodka"); return;
    case 27: versionRow(); integerParam(QStringLiteral("my_language"), 0); return;
    case 28: variables(); versionRow(); return;
    case 29: versionRow(); addColumn(sklad, QStringLiteral("S_KOD")); return;
    case 30: versionRow(); addColumn(sklad, QStringLiteral("KOD_1S")); return;
    case 31: versionRow(); addColumn(ing, QStringLiteral("MY_TIME")); return;
    case 32: versionRow(); addColumn(ing, QStringLiteral("MY_ALARM")); return;
    case 33:
        versionRow();
        textParam(QStringLiteral("MEMO_PARAM"), QStringLiteral("DisMenuHead"));
        textParam(QStringLiteral("MEMO_PARAM"), QStringLiteral("DisMenuTail"));
        textParam(QStringLiteral("STRING_PARAM"), QStringLiteral("DisMenuTab"));
        return;
    case 34: versionRow(); script("Change_My_Round2"); return;
    case 35: versionRow(); addColumn(QStringLiteral("REAL_BLUDO"), QStringLiteral("CENA_SKLAD")); return;
    case 36: versionRow(); variables(); return;
    case 37: versionRow(); addColumn(sklad, QStringLiteral("LIMIT")); return;
    case 38: versionRow(); variables(); return;
    case 39: versionRow(); addColumn(ing, QStringLiteral("KALORIES")); return;
    case 40: versionRow(); variables(); return;
    case 41: versionRow(); variables(); return;
    case 42: versionRow(); return;
    default: throw db::DbError(QStringLiteral("Неизвестный шаг обновления базы данных %1").arg(step_));
    }
}

} // namespace

DatabaseStep readStep(db::Database& db, db::Transaction& read)
{
    db::Query q(&db, &read);
    q.setSql(QStringLiteral("SELECT * FROM MY_VERSION WHERE NUMBER_VER > 2 ORDER BY NUMBER_VER"));
    q.open();
    DatabaseStep out;
    if (!q.isEmpty()) {
        q.last();
        out.step = q.field(QStringLiteral("NUMBER_VER")).asInt();
        out.nameVer = q.field(QStringLiteral("NAME_VER")).asString();
    }
    q.close();
    return out;
}

bool runStep(db::Database& db, db::Transaction& read, db::Transaction& write, int step)
{
    // Another workstation starting at the same moment runs the same steps:
    // the version table reserved at the start makes this one wait until the
    // other's step has ended, and then see it recorded.
    write.start(db::Transaction::reservingParams({"MY_VERSION"}));
    try {
        db::Query done(&db, &write);
        done.setSql(QStringLiteral("SELECT COUNT(*) FROM MY_VERSION WHERE NUMBER_VER >= %1").arg(step));
        done.open();
        const bool recorded = done.field(0).asInt() > 0;
        done.close();
        if (recorded) {
            write.commit();
            return false;
        }
        Step(db, read, write, step).run();
        write.commit();
        return true;
    } catch (...) {
        if (write.active()) {
            try {
                write.rollback();
            } catch (...) {
            }
        }
        throw;
    }
}

namespace {

struct Alignment {
    QStringList statements;  // exceptions first: the bodies raise them
    QStringList changed;
};

// What differs between the database and the sources, read on the read transaction.
Alignment differences(db::Database& db, db::Transaction& read)
{
    QHash<QString, QString> messages, sources;
    db::Query q(&db, &read);
    q.setSql(QStringLiteral("SELECT RDB$EXCEPTION_NAME, RDB$MESSAGE FROM RDB$EXCEPTIONS"));
    q.open();
    for (; !q.eof(); q.next())
        messages.insert(q.field(0).asString().trimmed(), q.field(1).asString());
    q.close();
    q.setSql(QStringLiteral("SELECT RDB$PROCEDURE_NAME, RDB$PROCEDURE_SOURCE FROM RDB$PROCEDURES "
                            "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"));
    q.open();
    for (; !q.eof(); q.next())
        sources.insert(q.field(0).asString().trimmed(), q.field(1).asString());
    q.close();

    Alignment out;
    for (const ShippedException& e : shippedExceptionList()) {
        const auto it = messages.constFind(e.name);
        if (it == messages.constEnd() || *it != e.message) {
            out.statements.append(QStringLiteral("CREATE OR ALTER EXCEPTION ") + e.name + QLatin1Char(' ') + e.rest);
            out.changed.append(e.name);
        }
    }
    for (const QString& name : shippedProcedureNames()) {
        const QString shipped = shippedProcedure(name);
        const auto it = sources.constFind(name);
        if (it != sources.constEnd() && it->trimmed() == procedureBody(shipped))
            continue;
        out.statements.append(procedureScriptWith(QStringLiteral("CREATE OR ALTER"), shipped));
        out.changed.append(name);
    }
    return out;
}

} // namespace

QStringList alignProcedures(db::Database& db, db::Transaction& read, db::Transaction& write)
{
    // Two workstations starting at once on an older database: the later one's
    // changes conflict with those the earlier one commits. It then reads again
    // what is left to change and tries once more.
    for (int attempt = 1;; ++attempt) {
        const Alignment a = differences(db, read);
        if (a.statements.isEmpty())
            return a.changed;
        write.start();
        try {
            for (const QString& statement : a.statements)
                db::runScript(db, write, statement);
            write.commit();
            return a.changed;
        } catch (...) {
            if (write.active()) {
                try {
                    write.rollback();
                } catch (...) {
                }
            }
            if (attempt == 2)
                throw;
        }
    }
}

QString procedureScript(const QString& name)
{
    for (const ScriptDef& d : kScripts) {
        if (name != QLatin1String(d.name))
            continue;
        if (d.ownForm)
            return fileText(QStringLiteral("upgrade/") + name + QStringLiteral(".sql"));
        const char* head = d.head == Head::Create ? "CREATE" : d.head == Head::Alter ? "ALTER" : "CREATE OR ALTER";
        return procedureScriptWith(QLatin1String(head), shippedProcedure(QString::fromLatin1(d.procedure)));
    }
    throw db::DbError(QStringLiteral("Нет сценария %1").arg(name));
}

QStringList shippedProcedureNames()
{
    QStringList out;
    for (const QString& stmt : sourceStatements()) {
        const auto m = procedureHead().match(stmt);
        if (m.hasMatch() && !out.contains(m.captured(1), Qt::CaseInsensitive))
            out.append(m.captured(1).toUpper());
    }
    return out;
}

QString shippedProcedure(const QString& name)
{
    QString found;
    for (const QString& stmt : sourceStatements()) {
        const auto m = procedureHead().match(stmt);
        if (m.hasMatch() && m.captured(1).compare(name, Qt::CaseInsensitive) == 0)
            found = stmt;
    }
    if (found.isEmpty())
        throw db::DbError(QStringLiteral("В схеме нет процедуры %1").arg(name));
    return found;
}

QString shippedColumn(const QString& table, const QString& column)
{
    const QRegularExpression createTable(QStringLiteral("^CREATE\\s+TABLE\\s+") + table + QStringLiteral("\\s*\\("),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression line(QStringLiteral("^\\s*(") + column + QStringLiteral("\\s+[^\\n]*?),?\\s*$"),
                                  QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    for (const QString& stmt : sourceStatements()) {
        if (!createTable.match(stmt).hasMatch())
            continue;
        const auto m = line.match(stmt);
        if (m.hasMatch())
            return m.captured(1).simplified();
    }
    throw db::DbError(QStringLiteral("В схеме нет поля %1.%2").arg(table, column));
}

QString shippedSettingSql(const QString& key) { return shippedSettingExpression(key); }

} // namespace schema
