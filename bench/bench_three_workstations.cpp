// Three workstations posting and un-posting documents on the same products at
// once against a real Firebird server on this computer, for a bounded time.
//
//     TARELIA_TEST_SERVER=127.0.0.1/3061 TARELIA_TEST_SERVER_PASSWORD=secret1 \
//         build/bin/bench_three_workstations [seconds=20]
//
// The driver writes a database (five products in the kitchen, receipts,
// issues and transfers of three lines each on them), starts three copies of
// itself as workstations, each posting or un-posting its own documents as the
// movement tab's button does (the change and its protocol line in one write
// transaction), and prints the slowest single operation, how many lock
// conflicts were met (each told in the user's words, nothing kept) and
// whether every stock still equals its start plus the posted moves.
// Exit code 0 when the stock is exact and every conflict was reported.

#include "CostingCatalogue.h"

#include "db/Database.h"
#include "db/Error.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "engine/WriteRoad.h"
#include "posting/Posting.h"
#include "schema/Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <random>

namespace {

constexpr int kWorkers = 3;
constexpr int kDocsPerWorker = 60;
constexpr int kProducts = 5;

db::ConnectParams serverParams()
{
    db::ConnectParams p;
    p.password = qgetenv("TARELIA_TEST_SERVER_PASSWORD");
    return p;
}

struct Outcome {
    QString what;
    qint64 ms = 0;
    bool conflict = false;
    QString text;
};

// One press of the posting button on a document: posts it when the list
// (read transaction) shows it unposted, un-posts it otherwise.
Outcome pressOnce(db::Database& database, const QString& name, bool restorePrices)
{
    db::Transaction read(&database, db::Transaction::readParams());
    db::Transaction write(&database, db::Transaction::writeParams());
    read.start();
    // Un-posting a transfer keeps the receiver's half: the document is found by its name.
    qint64 doc = 0;
    {
        db::Query q(&database, &read);
        q.setSql(QStringLiteral("SELECT FIRST 1 KOD FROM DOCS WHERE NAME = :N ORDER BY KOD"));
        q.param(QStringLiteral("N")).setString(name);
        q.open();
        doc = q.field(0).asInt64();
    }
    posting::DocHeader h;
    posting::ReadDoc(posting::Context{&database, &read, &read}, doc, h);
    const bool unposting = h.posted();
    QElapsedTimer clock;
    clock.start();
    Outcome out;
    out.what = QStringLiteral("%1:%2").arg(unposting ? QStringLiteral("unpost") : QStringLiteral("post")).arg(h.type);
    try {
        // The road the posting button opens; with TARELIA_BENCH_PLAIN_ROAD set,
        // one that reserves nothing, for comparison.
        const engine::Context ctx{&database, &read, &write};
        WriteTransaction w(ctx, qEnvironmentVariableIsSet("TARELIA_BENCH_PLAIN_ROAD") ? WriteTransaction::Reserve::Nothing
                                                                                        : WriteTransaction::Reserve::Documents);
        try {
            if (unposting)
                posting::UnpostDocument(ctx, doc, restorePrices ? 1 : 0);
            else
                posting::PostMovement(ctx, doc, h.type == posting::DocType::Receipt ? 1 : 0);
            w.commit(QStringLiteral("Движение"), (unposting ? QStringLiteral("Отмена проводки документа № ")
                                                            : QStringLiteral("Проводка документа № ")) +
                                                     h.name);
        } catch (const db::DbError& e) {
            if (!posting::IsLockConflict(e.gdsCode()))
                throw;
            out.conflict = true;
            out.text = posting::LockConflictText(unposting);
        }
    } catch (const std::runtime_error& e) {
        if (dynamic_cast<const db::DbError*>(&e))
            throw;
        // Posted or un-posted meanwhile by another workstation: refused whole.
        out.conflict = true;
        out.text = QString::fromUtf8(e.what());
    }
    out.ms = clock.elapsed();
    read.commit();
    return out;
}

int worker(const QString& conn, const QStringList& docs, int seconds, const QString& outPath)
{
    db::Database database;
    database.setDatabaseName(conn);
    database.setParams(serverParams());
    database.open();
    QFile out(outPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text))
        return 2;
    std::mt19937 random(static_cast<unsigned>(QCoreApplication::applicationPid()));
    QElapsedTimer total;
    total.start();
    while (total.elapsed() < seconds * 1000) {
        const QString doc = docs[static_cast<int>(random() % static_cast<unsigned>(docs.size()))];
        const Outcome o = pressOnce(database, doc, random() % 2 == 0);
        out.write(QStringLiteral("%1 %2 %3 %4|%5\n").arg(doc).arg(o.ms).arg(o.conflict ? 1 : 0).arg(o.what, o.text).toUtf8());
    }
    out.write("done\n");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString server = QString::fromLocal8Bit(qgetenv("TARELIA_TEST_SERVER"));
    if (args.value(1) == QStringLiteral("--worker"))
        return worker(args.value(2), args.value(3).split(QLatin1Char(',')), args.value(4).toInt(), args.value(5));
    if (server.isEmpty()) {
        std::fprintf(stderr, "TARELIA_TEST_SERVER is not set: start a server on 127.0.0.1 first\n");
        return 2;
    }
    const int seconds = args.size() > 1 ? args.value(1).toInt() : 20;

    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/three.fdb");
    schema::createDatabase(path, db::ConnectParams{});
    QStringList workerDocs[kWorkers];
    std::vector<qint64> products;
    qint64 kitchen = 0;
    {
        db::Database database;
        database.setDatabaseName(path);
        database.open();
        db::Transaction write(&database, db::Transaction::writeParams());
        write.start();
        costing_catalogue::Builder b(&database, &write);
        const qint64 firma = b.firma(QStringLiteral("Столовая"));
        kitchen = b.otdel(firma, QStringLiteral("Кухня"));
        const qint64 bar = b.otdel(firma, QStringLiteral("Бар"));
        for (int i = 0; i < kProducts; ++i) {
            costing_catalogue::Builder::Ing d;
            d.name = QStringLiteral("Продукт %1").arg(i);
            const qint64 k = b.ing(d);
            costing_catalogue::Builder::Sklad s;
            s.kolvo = 1000;
            s.cena = 10;
            s.myCena = 12;
            b.sklad(k, firma, kitchen, s);
            b.sklad(k, firma, bar, {});
            products.push_back(k);
        }
        db::Query q(&database, &write);
        for (int w = 0; w < kWorkers; ++w)
            for (int i = 0; i < kDocsPerWorker; ++i) {
                const int type = i % 3 == 0 ? posting::DocType::Receipt
                                            : i % 3 == 1 ? posting::DocType::Issue : posting::DocType::Transfer;
                const qint64 doc = posting::NewKey(posting::Context{&database, &write, &write});
                q.setSql(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, "
                                        "KOD_PARTNER_IMPORT, INT_PARAM1, INT_PARAM2, EDIT_CENA, P, PROVODKA) "
                                        "VALUES (:K, :N, CURRENT_DATE, CURRENT_TIME, :T, :F, :F, :O1, :O2, 0, 1, 0)"));
                q.param(QStringLiteral("K")).setInt64(doc);
                q.param(QStringLiteral("N")).setString(QStringLiteral("%1-%2").arg(w).arg(i));
                q.param(QStringLiteral("T")).setInt(type);
                q.param(QStringLiteral("F")).setInt64(firma);
                q.param(QStringLiteral("O1")).setInt64(kitchen);
                q.param(QStringLiteral("O2")).setInt64(bar);
                q.execSql();
                // Lines in opposite orders on neighbouring documents.
                for (int l = 0; l < 3; ++l) {
                    const int p = (i % 2 == 0 ? l : 2 - l) + (i + w) % 3;
                    q.setSql(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) "
                                            "VALUES (:D, :I, :O, :Q, :C)"));
                    q.param(QStringLiteral("D")).setInt64(doc);
                    q.param(QStringLiteral("I")).setInt64(products[static_cast<size_t>(p % kProducts)]);
                    q.param(QStringLiteral("O")).setInt64(kitchen);
                    q.param(QStringLiteral("Q")).setDouble(1 + (i + l) % 4);
                    q.param(QStringLiteral("C")).setDouble(10 + i % 7);
                    q.execSql();
                }
                workerDocs[w] << QStringLiteral("%1-%2").arg(w).arg(i);
            }
        write.commit();
        database.close();
    }

    const QString conn = server + QLatin1Char(':') + path;
    QProcess workers[kWorkers];
    for (int w = 0; w < kWorkers; ++w) {
        workers[w].setProcessChannelMode(QProcess::ForwardedChannels);
        workers[w].start(QCoreApplication::applicationFilePath(),
                         {QStringLiteral("--worker"), conn, workerDocs[w].join(QLatin1Char(',')), QString::number(seconds),
                          dir.filePath(QStringLiteral("w%1.txt").arg(w))});
    }
    bool ok = true;
    for (QProcess& p : workers) {
        if (!p.waitForFinished((seconds + 60) * 1000) || p.exitCode() != 0) {
            std::fprintf(stderr, "a workstation did not finish\n");
            ok = false;
        }
    }

    int ops = 0, conflicts = 0, unworded = 0;
    qint64 slowest = 0;
    QList<qint64> times;
    for (int w = 0; w < kWorkers; ++w) {
        QFile f(dir.filePath(QStringLiteral("w%1.txt").arg(w)));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
            ok = false;
            continue;
        }
        int mine = 0;
        for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (line == QStringLiteral("done"))
                continue;
            const QStringList parts = line.section(QLatin1Char('|'), 0, 0).split(QLatin1Char(' '));
            const qint64 ms = parts.value(1).toLongLong();
            times << ms;
            slowest = std::max(slowest, ms);
            if (ms > 1000)
                std::printf("slow: %s\n", line.toUtf8().constData());
            ++ops;
            ++mine;
            if (parts.value(2) == QStringLiteral("1")) {
                ++conflicts;
                if (line.section(QLatin1Char('|'), 1).isEmpty())
                    ++unworded;
            }
        }
        std::printf("workstation %d: %d operations\n", w + 1, mine);
        if (mine == 0)
            ok = false;
    }
    std::sort(times.begin(), times.end());

    // The stock of every row equals its start plus the moves of the posted documents.
    db::Database database;
    database.setDatabaseName(conn);
    database.setParams(serverParams());
    database.open();
    db::Transaction read(&database, db::Transaction::readParams());
    read.start();
    db::Query rows(&database, &read);
    rows.setSql(QStringLiteral("SELECT S.KOD_OTDEL, S.KOLVO - (SELECT COALESCE(SUM(IIF(M.TYPE_MOVES = 1, M.KOLVO, -M.KOLVO)), 0) "
                               "FROM MOVES M JOIN DOCS D ON D.KOD = M.KOD_DOC AND D.PROVODKA = 11 "
                               "WHERE M.KOD_ING = S.KOD_ING AND M.KOD_OTDEL = S.KOD_OTDEL) FROM ING_SKLAD S"));
    rows.open();
    int wrong = 0;
    for (rows.first(); !rows.eof(); rows.next()) {
        const double start = rows.field(0).asInt64() == kitchen ? 1000 : 0;
        if (std::abs(rows.field(1).asDouble() - start) > 1e-6)
            ++wrong;
    }
    read.commit();
    database.close();

    std::printf("operations: %d in %d s by %d workstations\n", ops, seconds, kWorkers);
    std::printf("slowest operation: %lld ms, median %lld ms\n", static_cast<long long>(slowest),
                static_cast<long long>(times.isEmpty() ? 0 : times[times.size() / 2]));
    std::printf("conflicts reported: %d (without words: %d)\n", conflicts, unworded);
    std::printf("stock rows off their moves: %d\n", wrong);
    return ok && wrong == 0 && unworded == 0 ? 0 : 1;
}
