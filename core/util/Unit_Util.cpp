#include "Unit_Util.h"

#include "Clock.h"
#include "Globals.h"
#include "Messages.h"
#include "base/Unit_Base.h"

#include <stdexcept>

TForm_Util* Form_Util = nullptr;

// ---- R_Record ----

R_Field& R_Record::append(const QString& name, int typ)
{
    if (Count >= kMaxFields)
        throw std::logic_error("R_Record: more than 60 fields for table " + Table.toStdString());
    R_Field& f = Array_Field[static_cast<size_t>(Count++)];
    f = R_Field{};
    f.Name = name;
    f.Typ = typ;
    return f;
}

R_Record& R_Record::addString(const QString& name, const QString& value)
{
    append(name, 1).S = value;
    return *this;
}

R_Record& R_Record::addInt(const QString& name, qint64 value)
{
    append(name, 2).I = value;
    return *this;
}

R_Record& R_Record::addFloat(const QString& name, double value)
{
    append(name, 3).F = value;
    return *this;
}

R_Record& R_Record::addDate(const QString& name, const QDate& value)
{
    append(name, 4).D = QDateTime(value, QTime(0, 0));
    return *this;
}

R_Record& R_Record::addTime(const QString& name, const QTime& value)
{
    append(name, 5).T = QDateTime(QDate(1899, 12, 30), value);
    return *this;
}

R_Record& R_Record::addNull(const QString& name)
{
    append(name, 0);
    return *this;
}

R_Record& R_Record::addLiteralNull(const QString& name)
{
    append(name, 6);
    return *this;
}

namespace {

void checkCount(const R_Record& r)
{
    if (r.Count < 1 || r.Count > R_Record::kMaxFields)
        throw std::logic_error("R_Record: field count out of 1..60 for table " + r.Table.toStdString());
}

void bindFields(db::Query* q, const R_Record& r)
{
    for (int i = 0; i < r.Count; ++i) {
        const R_Field& f = r.Array_Field[static_cast<size_t>(i)];
        if (f.Typ >= 6)
            continue;
        db::Param& p = q->param(QStringLiteral("P") + f.Name);
        switch (f.Typ) {
        case 1:
            p.setString(f.S);
            break;
        case 2:
            p.setString(QString::number(f.I));
            break;
        case 3:
            p.setDouble(f.F);
            break;
        case 4:
            p.setDate(f.D.date());
            break;
        case 5:
            p.setTime(f.T.time());
            break;
        default:
            p.setNull();
        }
    }
}

} // namespace

QStringList InsertRecordSql(const R_Record& r)
{
    checkCount(r);
    QStringList lines;
    lines << QStringLiteral("INSERT INTO ") + r.Table + QStringLiteral(" (KOD,");
    for (int i = 0; i < r.Count; ++i)
        lines << QStringLiteral("  ") + r.Array_Field[static_cast<size_t>(i)].Name + (i + 1 < r.Count ? QStringLiteral(",") : QStringLiteral(")"));
    lines << QStringLiteral("VALUES (:PKOD,");
    for (int i = 0; i < r.Count; ++i) {
        const R_Field& f = r.Array_Field[static_cast<size_t>(i)];
        const QString end = i + 1 < r.Count ? QStringLiteral(",") : QStringLiteral(")");
        lines << (f.Typ >= 6 ? QStringLiteral("  NULL") : QStringLiteral("  :P") + f.Name) + end;
    }
    return lines;
}

QStringList UpdateRecordSql(const R_Record& r)
{
    checkCount(r);
    QStringList lines;
    lines << QStringLiteral("UPDATE ") + r.Table + QStringLiteral(" SET");
    for (int i = 0; i < r.Count; ++i) {
        const R_Field& f = r.Array_Field[static_cast<size_t>(i)];
        const QString end = i + 1 < r.Count ? QStringLiteral(",") : QString();
        lines << QStringLiteral("  ") + f.Name + (f.Typ >= 6 ? QStringLiteral(" = NULL") : QStringLiteral(" = :P") + f.Name) + end;
    }
    lines << QStringLiteral("WHERE KOD = ") + QString::number(r.KOD);
    return lines;
}

// ---- TForm_Util ----

TForm_Util::TForm_Util(QObject* parent) : QObject(parent) {}

qint64 TForm_Util::InsertRecord(const R_Record& r)
{
    const QStringList lines = InsertRecordSql(r);  // checks the count before anything runs
    db::Query* q = Form_Base->QWrite1;
    q->close();
    // The key is drawn outside the write transaction: a rolled-back row still uses it up.
    q->setTransaction(Form_Base->TransactionRead);
    q->setSql(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
    q->open();
    const qint64 kod = q->field(QStringLiteral("GEN_ID")).asString().toLongLong();
    q->close();
    q->setTransaction(Form_Base->TransactionWrite);
    q->setSql(lines);
    q->param(QStringLiteral("PKOD")).setString(QString::number(kod));
    bindFields(q, r);
    q->execSql();
    return kod;
}

void TForm_Util::UpdateRecord(const R_Record& r)
{
    const QStringList lines = UpdateRecordSql(r);
    db::Query* q = Form_Base->QWrite1;
    q->close();
    q->setTransaction(Form_Base->TransactionWrite);
    q->setSql(lines);
    bindFields(q, r);
    q->execSql();
}

void TForm_Util::WriteLog(const QString& fio, const QString& login, const QString& area, const QString& action)
{
    db::Query* q = Form_Base->QLog;
    if (q->sql().isEmpty())
        q->setSql(QStringList{QStringLiteral("INSERT INTO LOG_TABLE (MY_DATE, MY_TIME, P_LOGIN, P_FIO, ARM, WHAT_ACTION, K_LOGIN)"),
                              QStringLiteral("VALUES (:D, :T, :L, :F, :AR, :AC, :KL)")});
    const QDateTime now = Clock::now();
    q->param(QStringLiteral("D")).setDate(now.date());
    q->param(QStringLiteral("T")).setTime(now.time());
    // Each text is cut to its column, so a long name never makes the server refuse the change.
    q->param(QStringLiteral("L")).setString(login.left(20));
    q->param(QStringLiteral("F")).setString(fio.left(50));
    q->param(QStringLiteral("AR")).setString(area.left(40));
    q->param(QStringLiteral("AC")).setString(action.left(220));
    q->param(QStringLiteral("KL")).setString(QString::number(CurrentUserKod));
    q->execSql();
    q->close();
    Form_Base->TransactionWrite->commit();
}

void TForm_Util::LoadUserRights(qint64 personKod)
{
    db::Query* q = Form_Base->QRead2;
    q->close();
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

// ---- write road ----

WriteTransaction::WriteTransaction()
{
    db::Transaction* t = Form_Base->TransactionWrite;
    if (t->active())
        t->rollback();
    t->start();
}

WriteTransaction::~WriteTransaction()
{
    db::Transaction* t = Form_Base ? Form_Base->TransactionWrite : nullptr;
    if (t && t->active()) {
        try {
            t->rollback();
        } catch (...) {
        }
    }
}

void WriteTransaction::commit() { Form_Base->TransactionWrite->commit(); }

void WriteTransaction::rollback()
{
    if (Form_Base->TransactionWrite->active())
        Form_Base->TransactionWrite->rollback();
}

bool Guard(const std::function<void()>& handler)
{
    QString text;
    try {
        handler();
        return true;
    } catch (const db::DbError& e) {
        text = e.message();
    } catch (const std::exception& e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
        text = QStringLiteral("Неизвестная ошибка");
    }
    if (Form_Base && Form_Base->TransactionWrite && Form_Base->TransactionWrite->active()) {
        try {
            Form_Base->TransactionWrite->rollback();
        } catch (...) {
        }
    }
    Msg::error(text);
    return false;
}
