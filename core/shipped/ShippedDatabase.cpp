#include "ShippedDatabase.h"

#include "db/Codec.h"
#include "db/Query.h"
#include "schema/Schema.h"
#include "templates/SampleTemplates.h"
#include "util/Scrambler.h"

const char* const kNoPasswordMarker = "Pane_Grove.TKelpinLathBromes";

void InsertAdministrator(db::Query& q, Scrambler& s)
{
    const QString admin = QStringLiteral("Администратор");
    q.setSql(QStringLiteral("INSERT INTO PERSON (FIO, LOGIN, PASSW, F) VALUES (:FI, :LO, :PA, :FF)"));
    q.param(QStringLiteral("FI")).setString(admin);
    q.param(QStringLiteral("LO")).setString(admin);
    q.param(QStringLiteral("PA")).setBytes(s.ScrambleString(QByteArray(kNoPasswordMarker)));
    // The check field holds the password as typed (empty) followed by the login.
    q.param(QStringLiteral("FF")).setBytes(s.ScrambleString(db::toCp1251(admin)));
    q.execSql();
    q.setSql(QStringLiteral("INSERT INTO PERSON_POLICY (KOD_PERSON, PARAM1, PARAM3) "
                            "SELECT KOD, 1, :P3 FROM PERSON WHERE LOGIN = :LO"));
    q.param(QStringLiteral("P3")).setString(QStringLiteral("Все права"));
    q.param(QStringLiteral("LO")).setString(admin);
    q.execSql();
}

void CreateShippedDatabase(const QString& path, const db::ConnectParams& params, ShippedSamples samples)
{
    schema::createDatabase(path, params);
    db::Database db;
    db.setDatabaseName(path);
    db.setParams(params);
    db.open();
    db::Transaction tr(&db, db::Transaction::writeParams());
    tr.start();
    db::Query q(&db, &tr);
    Scrambler s;
    InsertAdministrator(q, s);
    if (samples == ShippedSamples::Installed)
        templates::InstallShippedSamples(db, tr);
    tr.commit();
    db.close();
}

QString LocalDatabaseFile(const QString& connection, bool embeddedFallback)
{
    const QString target = db::Database::resolveName(connection.trimmed(), embeddedFallback);
    if (target.startsWith(QLatin1Char('/')))
        return target;
    // A drive letter: "C:\\..." or "C:/...".
    if (target.size() > 2 && target[0].isLetter() && target[1] == QLatin1Char(':') &&
        (target[2] == QLatin1Char('\\') || target[2] == QLatin1Char('/')))
        return target;
    return {};
}
