// A transfer posted and un-posted again is the sender's unposted transfer on
// every paper: its lines leave the kitchen in both statements, its waybill is
// an issue and its exchange records go out, for both kinds of transfer (the
// server's pair of finished products and the split one that writes off what
// the dish is made of).

#include "documents/PostingFixture.h"

#include "automation/RecordingOffice.h"
#include "exchange/Dbf.h"
#include "exchange/Obmen.h"
#include "reports/TurnoverReports.h"
#include "reports/Waybill.h"
#include "support/TemplateFixture.h"

#include <QFile>

using posting::DocType::Transfer;

namespace {

// Kitchen to bar, 7 at 22.50, posted and un-posted from the given half: with
// P 1 raw potatoes, otherwise a purée whose card the split writes off. The
// document that remains.
qint64 PostedAndUnposted(PostDb& f, int p, bool fromReceiver)
{
    qint64 moved = f.raw(QStringLiteral("Картофель"), stockOf(20, 20.00, 25.00));
    if (p != 1) {
        const qint64 potato = moved;
        moved = f.dish(QStringLiteral("Пюре"), 1, stockOf(0, 0));
        f.card(moved, potato, 0.3);
    }
    const qint64 d = f.doc(Transfer, f.kitchen, f.bar, 0, p);
    f.line(d, moved, 7, 22.50);
    f.begin();
    const posting::PostOutcome out = posting::PostMovement(f.ctx(), d, 1);
    f.commit();
    EXPECT_TRUE(out.posted);
    EXPECT_NE(out.pair, 0);
    f.begin();
    const qint64 kept = posting::UnpostDocument(f.ctx(), fromReceiver ? out.pair : d, 0);
    f.commit();
    RefreshRead(f.t);
    return kept;
}

reports::TurnoverOptions December()
{
    reports::TurnoverOptions o;
    o.start = QDate(2026, 12, 1);
    o.end = QDate(2026, 12, 31);
    o.provodka = 2;
    return o;
}

} // namespace

TEST(UnpostedTransfer, PrintsAsTheSendersUnpostedTransferOnEveryPaper)
{
    for (int p : {1, 0}) {
        for (bool fromReceiver : {false, true}) {
            SCOPED_TRACE(QStringLiteral("P %1, un-posted from the %2").arg(p).arg(fromReceiver ? "receiver" : "sender").toStdString());
            PostDb f;
            const qint64 kept = PostedAndUnposted(f, p, fromReceiver);

            // Un-posting leaves the lines without the receiver's direction.
            EXPECT_EQ(f.num(QStringLiteral("SELECT COUNT(*) FROM MOVES WHERE KOD_DOC = %1 AND TYPE_MOVES IS NULL").arg(kept)), 1);

            // Both statements: out of the kitchen, nothing in.
            reports::TurnoverOptions o = December();
            const QVector<reports::TurnoverRow> rows = reports::ReadTurnoverRows(f.ctx(), o);
            ASSERT_EQ(rows.size(), 1);
            EXPECT_EQ(rows[0].otdel, f.kitchen);
            EXPECT_EQ(rows[0].typeMoves, 2);
            o.shortForm = true;
            const auto products = reports::SumTurnoverProducts(reports::ReadTurnoverRows(f.ctx(), o));
            ASSERT_EQ(products.size(), 1);
            EXPECT_DOUBLE_EQ(products[0].in.printedQuantity(), 0);
            EXPECT_DOUBLE_EQ(products[0].out.printedQuantity(), 7);
            EXPECT_EQ(products[0].out.kopecks(), 15750);  // kopecks

            // The waybill is an issue, and its exchange record goes out.
            const qint64 form = InsertTemplate(f.t, 1, TableLayout(QStringLiteral("Накладная"), 601));
            InsertVariable(f.t, form, PlacedVariable(QStringLiteral("name_d"), templates::LocHeader, QStringLiteral("A1")));
            RefreshRead(f.t);
            const QString path = f.t.folder() + QStringLiteral("/obmen.dbf");
            exchange::obmen::CreateTable(path);
            exchange::obmen::Export x(f.ctx(), path);
            automation::RecordingOffice office;
            reports::RunStandardReport(f.ctx(), office, f.t.folder() + QStringLiteral("/templates/"),
                                       reports::waybill::Build(f.ctx(), {kept}, &x));
            x.close();
            EXPECT_TRUE(office.last().at(QStringLiteral("A1")).toString().startsWith(QStringLiteral("Расходная накладная № ")));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const auto table = exchange::dbf::Read(file.readAll());
            ASSERT_TRUE(table.has_value());
            ASSERT_EQ(table->records.size(), 1);
            EXPECT_EQ(table->records[0][0], QByteArray("-"));
        }
    }
}
