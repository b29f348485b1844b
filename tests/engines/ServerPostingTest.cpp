// Two workstations posting at once against one real Firebird server (the test
// script starts it and names it in TARELIA_TEST_SERVER): this test prepares a
// database, starts two copies of this program as workers that post 200
// documents each on the same products, and checks that every stock equals
// its starting quantity plus the sum of the posted moves, that every document
// ended posted once with one protocol line, and that the two took turns on
// the program's write road (the documents reserved first) without meeting a
// lock conflict; one met anyway must be reported in plain words and leave
// nothing behind.

#include "documents/PostingFixture.h"

#include "engine/WriteRoad.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

namespace {

const int kDocsPerWorker = 200;
const int kProducts = 5;

QString serverConnection(const QString& path)
{
    return QString::fromLocal8Bit(qgetenv("TARELIA_TEST_SERVER")) + QLatin1Char(':') + path;
}

db::ConnectParams serverParams()
{
    db::ConnectParams p;
    p.password = qgetenv("TARELIA_TEST_SERVER_PASSWORD");
    return p;
}

// Posts one document the way the posting button does: on the write road that
// reserves the documents first, the change and its protocol line committed
// together. Returns the conflict text when another workstation was in the
// way (everything rolled back), empty when posted.
QString postOnce(db::Database& database, qint64 doc)
{
    db::Transaction read(&database, db::Transaction::readParams());
    db::Transaction write(&database, db::Transaction::writeParams());
    read.start();
    engine::Context ctx{&database, &read, &write};
    ctx.user = engine::User{QStringLiteral("test"), QStringLiteral("test"), 0};
    try {
        WriteTransaction w(ctx, WriteTransaction::Reserve::Documents);
        // The list row is read on the reading transaction, as the tab has it.
        posting::DocHeader h;
        posting::ReadDoc(posting::Context{&database, &read, &read}, doc, h);
        posting::PostMovement(w.context(), doc, h.type == posting::DocType::Receipt ? 1 : 0);
        w.commit(QStringLiteral("Движение"), QStringLiteral("Проводка документа № ") + h.name);
        return {};
    } catch (const db::DbError& e) {
        if (!posting::IsLockConflict(e.gdsCode()))
            throw;
        return posting::LockConflictText(false);
    }
}

} // namespace

// The worker: started by the test below with the database and its documents.
TEST(ServerPostingWorker, PostsItsDocuments)
{
    const QByteArray conn = qgetenv("TARELIA_POSTING_WORKER_DB");
    if (conn.isEmpty())
        GTEST_SKIP() << "started only by ServerPosting.TwoWorkstationsPostTheSameProductsAtOnce";
    db::Database database;
    database.setDatabaseName(QString::fromLocal8Bit(conn));
    database.setParams(serverParams());
    database.open();
    QFile out(QString::fromLocal8Bit(qgetenv("TARELIA_POSTING_WORKER_OUT")));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Text));
    const QStringList docs = QString::fromLatin1(qgetenv("TARELIA_POSTING_WORKER_DOCS")).split(QLatin1Char(','));
    for (const QString& d : docs) {
        const qint64 doc = d.toLongLong();
        out.write(QStringLiteral("post %1\n").arg(doc).toUtf8());
        out.flush();
        for (int attempt = 0;; ++attempt) {
            const QString conflict = postOnce(database, doc);
            if (conflict.isEmpty())
                break;
            // Nothing of the refused posting is left: the document is still open.
            db::Transaction read(&database, db::Transaction::readParams());
            read.start();
            db::Query q(&database, &read);
            q.setSql(QStringLiteral("SELECT COALESCE(PROVODKA, 0), (SELECT COUNT(*) FROM DOCS WHERE INT_PARAM3 = %1) "
                                    "FROM DOCS WHERE KOD = %1").arg(doc));
            q.open();
            out.flush();
            out.write(QStringLiteral("conflict %1 %2 %3|%4\n")
                          .arg(doc)
                          .arg(q.field(0).asInt())
                          .arg(q.field(1).asInt())
                          .arg(conflict)
                          .toUtf8());
            ASSERT_LT(attempt, 200) << "the other workstation never let go";
            QThread::msleep(5);
        }
    }
    out.write("done\n");
}

TEST(ServerPosting, TwoWorkstationsPostTheSameProductsAtOnce)
{
    if (qgetenv("TARELIA_TEST_SERVER").isEmpty())
        GTEST_SKIP() << "no test server (scripts/test starts one)";

    // The database: five products in the kitchen, 400 receipts, issues and
    // transfers of finished products to the bar, all on the same products.
    QStringList workerDocs[2];
    int transfers = 0;  // each makes the receiver's document when posted
    QTemporaryDir outDir;
    outDir.setAutoRemove(qgetenv("TARELIA_POSTING_KEEP").isEmpty());
    std::vector<qint64> products;
    // The database lives as long as the test; only its embedded connection is dropped.
    PostDb f;
    const QString path = f.t.path();
    {
        for (int i = 0; i < kProducts; ++i)
            products.push_back(f.raw(QStringLiteral("Продукт %1").arg(i), stockOf(1000, 10.00, 12.00)));
        for (int w = 0; w < 2; ++w)
            for (int i = 0; i < kDocsPerWorker; ++i) {
                const int kind = i % 3;
                const int type = kind == 0 ? posting::DocType::Receipt : kind == 1 ? posting::DocType::Issue
                                                                                   : posting::DocType::Transfer;
                transfers += type == posting::DocType::Transfer ? 1 : 0;
                const qint64 d = f.doc(type, f.kitchen, type == posting::DocType::Transfer ? f.bar : 0, 0, 1, 0,
                                       QStringLiteral("%1-%2").arg(w).arg(i));
                for (int l = 0; l < 3; ++l)
                    f.line(d, products[static_cast<size_t>((i + l + w) % kProducts)], 1 + (i + l) % 4, 10.00 + (i % 7));
                workerDocs[w] << QString::number(d);
            }
        f.commit();
        f.t.disconnect();
    }

    const QString conn = serverConnection(path);
    QProcess workers[2];
    for (int w = 0; w < 2; ++w) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TARELIA_POSTING_WORKER_DB"), conn);
        env.insert(QStringLiteral("TARELIA_POSTING_WORKER_DOCS"), workerDocs[w].join(QLatin1Char(',')));
        env.insert(QStringLiteral("TARELIA_POSTING_WORKER_OUT"), outDir.filePath(QStringLiteral("w%1.txt").arg(w)));
        workers[w].setProcessEnvironment(env);
        workers[w].setProcessChannelMode(QProcess::ForwardedChannels);
        workers[w].start(QCoreApplication::applicationFilePath(),
                         {QStringLiteral("--gtest_filter=ServerPostingWorker.PostsItsDocuments")});
    }
    for (QProcess& p : workers) {
        ASSERT_TRUE(p.waitForFinished(110000));
        EXPECT_EQ(p.exitCode(), 0);
    }

    int conflicts = 0;
    for (int w = 0; w < 2; ++w) {
        QFile f(outDir.filePath(QStringLiteral("w%1.txt").arg(w)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_EQ(lines.last(), QStringLiteral("done"));
        for (const QString& l : lines) {
            if (!l.startsWith(QStringLiteral("conflict")))
                continue;
            ++conflicts;
            const QStringList parts = l.section(QLatin1Char('|'), 0, 0).split(QLatin1Char(' '));
            EXPECT_EQ(parts.value(2), QStringLiteral("0")) << "a refused posting left the document posted";
            EXPECT_EQ(parts.value(3), QStringLiteral("0")) << "a refused posting left a paired document";
            EXPECT_EQ(l.section(QLatin1Char('|'), 1), posting::LockConflictText(false));
        }
    }
    RecordProperty("lock_conflicts", conflicts);
    std::printf("lock conflicts met and retried: %d\n", conflicts);
    // With the documents reserved first, the two take turns instead of
    // meeting in the middle of a posting.
    EXPECT_EQ(conflicts, 0);

    // Afterwards, through the server: every document posted once, every stock the sum of its moves.
    db::Database database;
    database.setDatabaseName(conn);
    database.setParams(serverParams());
    database.open();
    db::Transaction read(&database, db::Transaction::readParams());
    read.start();
    auto scalar = [&](const QString& sql) {
        db::Query q(&database, &read);
        q.setSql(sql);
        q.open();
        return q.field(0).value();
    };
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM DOCS WHERE COALESCE(PROVODKA, 0) <> 11")).toLongLong(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM DOCS")).toLongLong(), 2 * kDocsPerWorker + transfers);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE WHERE WHAT_ACTION STARTING WITH 'Проводка документа'")).toLongLong(),
              2 * kDocsPerWorker);
    db::Query rows(&database, &read);
    rows.setSql(QStringLiteral("SELECT S.KOD_ING, S.KOD_OTDEL, S.KOLVO, "
                               "(SELECT COALESCE(SUM(IIF(M.TYPE_MOVES = 1, M.KOLVO, -M.KOLVO)), 0) FROM MOVES M "
                               " JOIN DOCS D ON D.KOD = M.KOD_DOC AND D.PROVODKA = 11 "
                               " WHERE M.KOD_ING = S.KOD_ING AND M.KOD_OTDEL = S.KOD_OTDEL) "
                               "FROM ING_SKLAD S"));
    rows.open();
    int checked = 0;
    for (rows.first(); !rows.eof(); rows.next()) {
        const bool kitchen = rows.field(1).asInt64() == f.kitchen;
        const double start = rows.field(2).asDouble() - rows.field(3).asDouble();
        EXPECT_DOUBLE_EQ(start, kitchen ? 1000 : 0) << "product " << rows.field(0).asInt64() << " department "
                                                    << rows.field(1).asInt64();
        checked += kitchen && rows.field(3).asDouble() != 0 ? 1 : 0;
    }
    EXPECT_EQ(checked, kProducts);
    read.commit();
}
