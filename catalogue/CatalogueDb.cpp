#include "CatalogueDb.h"

#include "base/Unit_Base.h"
#include "db/Query.h"

#include <QStringList>

namespace cat {

bool Exists(const QString& sql)
{
    db::Query* q = Form_Base->QRead1;
    q->close();
    q->setSql(sql);
    q->open();
    const bool found = !q->isEmpty();
    q->close();
    return found;
}

db::Query* Writer(const QString& sql)
{
    db::Query* q = Form_Base->QWrite1;
    q->close();
    q->setTransaction(Form_Base->TransactionWrite);
    q->setSql(sql);
    return q;
}

void Exec(const QString& sql) { Writer(sql)->execSql(); }

void RunProc(const QString& name, const QList<QPair<QString, QString>>& params)
{
    db::Query* p = Form_Base->WriteProc;
    p->close();
    p->setTransaction(Form_Base->TransactionWrite);
    QStringList names;
    for (const auto& k : params)
        names << QStringLiteral(":") + k.first;
    p->setSql(QStringLiteral("EXECUTE PROCEDURE ") + name + QStringLiteral(" ") + names.join(QStringLiteral(", ")));
    for (const auto& k : params)
        p->param(k.first).setString(k.second);
    p->prepare();
    p->execSql();
}

} // namespace cat
