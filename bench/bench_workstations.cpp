// Workstations (five unless told) changing stock, prices and the catalogue at
// once against a real Firebird server on this computer, for a bounded time.
//
//     export TARELIA_TEST_SERVER=127.0.0.1/3061 TARELIA_TEST_SERVER_PASSWORD=secret1
//     build/bin/bench_workstations [seconds=180] [workstations=5]
//
// The driver writes a database (raw products in the kitchen, dishes whose
// cards hold them, and for each workstation receipts, issues, transfers whole
// and split, production write-offs of the dishes, an inventory and a dish of
// its own), starts copies of itself as workstations, and each mixes, as the
// windows do (every change with its protocol line in one write road):
// posting and un-posting of movement documents, production write-offs and
// inventories, deletion with rollback (the document made and posted again
// after), costing card edits of a dish the others produce, whole-catalogue
// price recomputations, quantities typed into movement lines, lines re-priced,
// new receipts with lines, menu edits and template uploads; the first two
// workstations also save one product and one unit at the same moments. Every
// road takes the reservation its engine names. It prints the slowest operation of
// each kind, how many conflicts were met (each told in the user's words,
// nothing kept), and whether every stock still equals its start plus the
// posted lines. Exit code 0 when the stock is exact, every conflict was told
// in words and no operation took over 1 s.

#include "CostingCatalogue.h"

#include "costing/CardEdit.h"
#include "costing/Recompute.h"
#include "db/Database.h"
#include "db/Error.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "deletion/Deletion.h"
#include "engine/EngineDb.h"
#include "engine/WriteRoad.h"
#include "MovementDb.h"
#include "inventory/Inventory.h"
#include "menus/MenuEngine.h"
#include "products/ProductsEngine.h"
#include "structure/StructureEngine.h"
#include "templates/TemplateAdmin.h"
#include "posting/Posting.h"
#include "posting/RealPosting.h"
#include "schema/Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <memory>
#include <random>

namespace {

constexpr int kProducts = 8;
constexpr int kSharedDishes = 2;
constexpr double kStart = 1000;
constexpr qint64 kSlowMs = 1000;

using Reserve = WriteTransaction::Reserve;

db::ConnectParams serverParams()
{
    db::ConnectParams p;
    p.password = qgetenv("TARELIA_TEST_SERVER_PASSWORD");
    return p;
}

struct Outcome {
    QString what;
    qint64 ms = 0;
    bool conflict = false;  // refused in words, nothing kept
    bool failed = false;    // anything else: the server's own text
    QString text;
};

// A workstation: its attachment, and one write road at a time on it.
class Station {
public:
    explicit Station(const QString& conn)
    {
        database_.setDatabaseName(conn);
        database_.setParams(serverParams());
        database_.open();
    }

    // Runs `body` in a road with its protocol line, timed from the road's
    // opening (a wait for another workstation included) to its commit.
    template <typename Body>
    Outcome road(const QString& what, Reserve reserve, Body body)
    {
        db::Transaction read(&database_, db::Transaction::readParams());
        db::Transaction write(&database_, db::Transaction::writeParams());
        read.start();
        const engine::Context ctx{&database_, &read, &write};
        Outcome out;
        out.what = what;
        QElapsedTimer clock;
        clock.start();
        try {
            WriteTransaction w(ctx, reserve);
            body(ctx);
            w.commit(QStringLiteral("Тест"), what);
        } catch (const db::DbError& e) {
            if (db::IsLockConflict(e.gdsCode())) {
                out.conflict = true;
                out.text = db::LockConflictText();
            } else {
                out.failed = true;
                out.text = e.message();
            }
        } catch (const std::logic_error& e) {
            // A programming error (a road that changed what it did not reserve): not words for a user.
            out.failed = true;
            out.text = QString::fromUtf8(e.what());
        } catch (const std::exception& e) {
            // Posted, un-posted or taken meanwhile elsewhere: refused whole, in words.
            out.conflict = true;
            out.text = QString::fromUtf8(e.what());
        }
        out.ms = clock.elapsed();
        read.commit();
        return out;
    }

    // The document of that name as the lists show it (the first made, for a transfer's kept half).
    qint64 docNamed(const QString& name)
    {
        db::Transaction read(&database_, db::Transaction::readParams());
        read.start();
        db::Query q(&database_, &read);
        q.setSql(QStringLiteral("SELECT FIRST 1 KOD FROM DOCS WHERE NAME = :N ORDER BY KOD"));
        q.param(QStringLiteral("N")).setString(name);
        q.open();
        const qint64 k = q.isEmpty() ? 0 : q.field(0).asInt64();
        q.close();
        read.commit();
        return k;
    }

    db::Database database_;
};

bool isPosted(const engine::Context& ctx, qint64 doc)
{
    posting::DocHeader h;
    return posting::ReadDoc(posting::Context{ctx.database, ctx.read, ctx.read}, doc, h) && h.posted();
}

// What a workstation was given to work on.
struct Work {
    QStringList movements;   // receipts, issues, transfers whole and split
    QStringList productions; // production write-offs of the dishes
    QString inventory;
    QString deletable;       // a receipt deleted with rollback and made again
    qint64 dish = 0;         // the dish whose card this workstation edits
    qint64 kitchen = 0, bar = 0, firma = 0;
    QList<qint64> products;
    qint64 ed = 0, menu = 0, razdel = 0, form = 0;  // shared by every workstation
    QList<qint64> dishes;
    int station = 0;
};

QString keys(const QList<qint64>& list)
{
    QStringList p;
    for (qint64 k : list)
        p << QString::number(k);
    return p.join(QLatin1Char(','));
}

QList<qint64> keysOf(const QString& text)
{
    QList<qint64> list;
    for (const QString& k : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        list << k.toLongLong();
    return list;
}

QString encode(const Work& w)
{
    return QStringList{w.movements.join(QLatin1Char(',')), w.productions.join(QLatin1Char(',')), w.inventory,
                       w.deletable, QString::number(w.dish), QString::number(w.kitchen), QString::number(w.bar),
                       QString::number(w.firma), keys(w.products), QString::number(w.ed), QString::number(w.menu),
                       QString::number(w.razdel), QString::number(w.form), keys(w.dishes), QString::number(w.station)}
        .join(QLatin1Char(';'));
}

Work decode(const QString& s)
{
    const QStringList f = s.split(QLatin1Char(';'));
    Work w;
    w.movements = f.value(0).split(QLatin1Char(','));
    w.productions = f.value(1).split(QLatin1Char(','));
    w.inventory = f.value(2);
    w.deletable = f.value(3);
    w.dish = f.value(4).toLongLong();
    w.kitchen = f.value(5).toLongLong();
    w.bar = f.value(6).toLongLong();
    w.firma = f.value(7).toLongLong();
    w.products = keysOf(f.value(8));
    w.ed = f.value(9).toLongLong();
    w.menu = f.value(10).toLongLong();
    w.razdel = f.value(11).toLongLong();
    w.form = f.value(12).toLongLong();
    w.dishes = keysOf(f.value(13));
    w.station = f.value(14).toInt();
    return w;
}

qint64 insertDoc(const engine::Context& ctx, const QString& name, int type, qint64 firma, qint64 otdel1, qint64 otdel2,
                 int p)
{
    const qint64 doc = posting::NewKey(posting::Context{ctx.database, ctx.write, ctx.write});
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, "
                            "KOD_PARTNER_IMPORT, INT_PARAM1, INT_PARAM2, EDIT_CENA, P, PROVODKA) "
                            "VALUES (:K, :N, CURRENT_DATE, CURRENT_TIME, :T, :F, :F, :O1, :O2, 0, :P, 0)"));
    q.param(QStringLiteral("K")).setInt64(doc);
    q.param(QStringLiteral("N")).setString(name);
    q.param(QStringLiteral("T")).setInt(type);
    q.param(QStringLiteral("F")).setInt64(firma);
    q.param(QStringLiteral("O1")).setInt64(otdel1);
    q.param(QStringLiteral("O2")).setInt64(otdel2);
    q.param(QStringLiteral("P")).setInt(p);
    q.execSql();
    return doc;
}

void insertMove(const engine::Context& ctx, qint64 doc, qint64 ing, qint64 otdel, double kolvo, double cena)
{
    db::Query q(ctx.database, ctx.write);
    q.setSql(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) VALUES (:D, :I, :O, :Q, :C)"));
    q.param(QStringLiteral("D")).setInt64(doc);
    q.param(QStringLiteral("I")).setInt64(ing);
    q.param(QStringLiteral("O")).setInt64(otdel);
    q.param(QStringLiteral("Q")).setDouble(kolvo);
    q.param(QStringLiteral("C")).setDouble(cena);
    q.execSql();
}

// One press of the posting button on a movement or production document.
Outcome pressPosting(Station& s, const QString& name, std::mt19937& random)
{
    const qint64 doc = s.docNamed(name);
    const int otkat = static_cast<int>(random() % 2);
    const int rule = static_cast<int>(random() % 3);
    QString kind;
    bool wasPosted = false;
    int type = 0;
    {
        db::Transaction read(&s.database_, db::Transaction::readParams());
        read.start();
        posting::DocHeader h;
        posting::ReadDoc(posting::Context{&s.database_, &read, &read}, doc, h);
        read.commit();
        wasPosted = h.posted();
        type = h.type;
        kind = type == posting::DocType::ProductionWriteOff ? QStringLiteral("production")
               : type == posting::DocType::Receipt          ? QStringLiteral("receipt")
               : type == posting::DocType::Issue            ? QStringLiteral("issue")
               : h.p == 1                                   ? QStringLiteral("transfer")
                                                            : QStringLiteral("split transfer");
    }
    return s.road((wasPosted ? QStringLiteral("unpost ") : QStringLiteral("post ")) + kind, posting::kRoad,
                  [&](const engine::Context& ctx) {
                      if (wasPosted)
                          posting::UnpostDocument(ctx, doc, otkat);
                      else if (type == posting::DocType::ProductionWriteOff)
                          posting::PostRealDocument(ctx, doc, rule);
                      else
                          posting::PostMovement(ctx, doc, type == posting::DocType::Receipt ? rule : 0);
                  });
}

void work(Station& s, const Work& w, std::mt19937& random, const std::function<void(const Outcome&)>& report)
{
    const unsigned pick = random() % 100;
    // The first two workstations save one product and one unit at the same moments.
    if (w.station < 2 && pick >= 92) {
        if (pick % 2 == 0)
            report(s.road(QStringLiteral("product save"), products::kRoad, [&](const engine::Context& ctx) {
                products::IngData d;
                d.name = QStringLiteral("Продукт 0");
                d.edIzm = w.ed;
                d.vihod = 100;
                d.kalories = random() % 500;
                d.group = engine::FirstKey(ctx, QStringLiteral("SELECT KOD_GROUP FROM ING WHERE KOD = %1").arg(w.products[0]));
                products::UpdateIng(ctx, w.products[0], d, false);
            }));
        else
            report(s.road(QStringLiteral("unit save"), structure::kRoad, [&](const engine::Context& ctx) {
                structure::UpdateEd(ctx, w.ed, QStringLiteral("килограмм"), QStringLiteral("кг%1").arg(random() % 10));
            }));
        return;
    }
    if (pick >= 69) {
        const qint64 doc = s.docNamed(w.movements[static_cast<int>(random() % static_cast<unsigned>(w.movements.size()))]);
        if (pick < 79 || pick >= 92) {
            // A quantity typed into a line of a movement document, posted meanwhile or not.
            report(s.road(QStringLiteral("line quantity"), movement::kRoad, [&](const engine::Context& ctx) {
                const qint64 line = engine::FirstKey(ctx, QStringLiteral("SELECT FIRST 1 KOD FROM MOVES WHERE KOD_DOC = %1 "
                                                                         "ORDER BY KOD").arg(doc));
                if (line)
                    movement::SetLineValue(ctx, movement::Claim(ctx, doc), line, QStringLiteral("KOLVO"), 1 + random() % 5);
            }));
        } else if (pick < 83) {
            report(s.road(QStringLiteral("reprice lines"), movement::kRoad,
                          [&](const engine::Context& ctx) { movement::RepriceLines(ctx, movement::Claim(ctx, doc), w.kitchen, static_cast<int>(random() % 2)); }));
        } else if (pick < 89) {
            report(s.road(QStringLiteral("menu edit"), menus::kRoad, [&](const engine::Context& ctx) {
                menus::MenuData d;
                d.name = QStringLiteral("Обед");
                d.date = QDate(2026, 12, 7);
                d.percent = static_cast<int>(random() % 20);
                d.firma = w.firma;
                menus::SaveMenu(ctx, d, w.menu);
                const qint64 dish = w.dishes[static_cast<int>(random() % static_cast<unsigned>(w.dishes.size()))];
                const qint64 line = engine::FirstKey(
                    ctx, QStringLiteral("SELECT FIRST 1 KOD FROM MENU_STR WHERE KOD_MENU_RAZDEL = %1 AND KOD_ING = %2")
                             .arg(w.razdel)
                             .arg(dish));
                if (line)
                    menus::RemoveDish(ctx, line);
                else
                    menus::AddDish(ctx, w.razdel, dish, 0);
            }));
        } else {
            report(s.road(QStringLiteral("template upload"), templates::kRoad, [&](const engine::Context& ctx) {
                templates::UploadSpreadsheet(ctx, w.form, QByteArray(20000 + static_cast<int>(random() % 1000), 'x'));
            }));
        }
        return;
    }
    if (pick < 27) {
        report(pressPosting(s, w.movements[static_cast<int>(random() % static_cast<unsigned>(w.movements.size()))], random));
    } else if (pick < 37) {
        report(pressPosting(s, w.productions[static_cast<int>(random() % static_cast<unsigned>(w.productions.size()))], random));
    } else if (pick < 44) {
        // An inventory: filled, counted and posted in one go; or its posting undone.
        const qint64 doc = s.docNamed(w.inventory);
        const double counted = 900 + random() % 200;
        report(s.road(QStringLiteral("inventory"), inventory::kRoad, [&](const engine::Context& ctx) {
            if (isPosted(ctx, doc)) {
                posting::UnpostDocument(ctx, doc, 0);
                return;
            }
            inventory::InvDoc inv;
            inv.kod = doc;
            inv.otdel = w.kitchen;
            inventory::Fill(ctx, inv, {}, true);
            const qint64 line = engine::FirstKey(
                ctx, QStringLiteral("SELECT FIRST 1 KOD FROM INVENT WHERE KOD_DOC = %1 ORDER BY KOD").arg(doc));
            if (line)
                inventory::SetCounted(ctx, inventory::ClaimUnposted(ctx, doc), line, inventory::Column::Quantity, counted);
            inventory::Post(ctx, inv);
        }));
    } else if (pick < 51) {
        // Deletion with rollback, then the same receipt made and posted again.
        const qint64 doc = s.docNamed(w.deletable);
        if (doc) {
            report(s.road(QStringLiteral("delete with rollback"), deletion::kRoad, [&](const engine::Context& ctx) {
                deletion::Options o;
                o.rollback = true;
                deletion::DeleteWithPair(ctx, doc, o);
            }));
        }
        qint64 made = 0;
        report(s.road(QStringLiteral("make receipt"), movement::kRoad, [&](const engine::Context& ctx) {
            made = insertDoc(ctx, w.deletable, posting::DocType::Receipt, w.firma, w.kitchen, 0, 0);
            for (int l = 0; l < 3; ++l)
                insertMove(ctx, made, w.products[static_cast<int>((random() + static_cast<unsigned>(l)) % static_cast<unsigned>(w.products.size()))], w.kitchen, 1 + l,
                           10 + l);
        }));
        if (made && s.docNamed(w.deletable) == made)
            report(s.road(QStringLiteral("post receipt"), posting::kRoad,
                          [&](const engine::Context& ctx) { posting::PostMovement(ctx, made, 0); }));
    } else if (pick < 64) {
        // A card edit of this workstation's dish: opened, a row changed, saved.
        qint64 cycle = 0;
        const Outcome opened = s.road(QStringLiteral("card open"), costing::kRoad, [&](const engine::Context& ctx) {
            cycle = costing::StartEditCycle(ctx, w.dish);
        });
        report(opened);
        if (opened.conflict || opened.failed)
            return;
        report(s.road(QStringLiteral("card row"), costing::kRoad, [&](const engine::Context& ctx) {
            if (!costing::HoldsEditCycle(ctx, w.dish, cycle))
                throw std::runtime_error("Изменения калькуляционной карты перехвачены на другом рабочем месте.");
            const std::vector<costing::CardRow> rows = costing::CardRows(ctx, w.dish);
            if (!rows.empty())
                costing::SetCardRowValue(ctx, rows[random() % rows.size()].kod, costing::CardFigure::Net,
                                         0.05 + (random() % 20) / 100.0);
        }));
        report(s.road(QStringLiteral("card save"), costing::kRoad, [&](const engine::Context& ctx) {
            if (!costing::HoldsEditCycle(ctx, w.dish, cycle))
                throw std::runtime_error("Изменения калькуляционной карты перехвачены на другом рабочем месте.");
            costing::CardHeader h;
            h.percentPlus = static_cast<int>(random() % 50);
            costing::SaveCard(ctx, w.dish, h);
        }));
    } else {
        report(s.road(QStringLiteral("recompute all"), costing::kRoad, [&](const engine::Context& ctx) {
            costing::RecomputeScope scope;
            scope.where = 2;
            costing::RecomputePrices(ctx, scope);
        }));
    }
}

int worker(const QString& conn, const Work& w, int seconds, const QString& outPath)
{
    Station s(conn);
    QFile out(outPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text))
        return 2;
    std::mt19937 random(static_cast<unsigned>(QCoreApplication::applicationPid()));
    QElapsedTimer total;
    total.start();
    while (total.elapsed() < seconds * 1000)
        work(s, w, random, [&](const Outcome& o) {
            out.write(QStringLiteral("%1 %2|%3|%4\n")
                          .arg(o.ms)
                          .arg(o.failed ? 2 : o.conflict ? 1 : 0)
                          .arg(o.what, QString(o.text).replace(QLatin1Char('\n'), QLatin1Char(' ')))
                          .toUtf8());
            out.flush();
        });
    out.write("done\n");
    return 0;
}

// The database: products in the kitchen, dishes of them, each workstation's documents.
std::vector<Work> makeDatabase(const QString& path, int workers)
{
    schema::createDatabase(path, db::ConnectParams{});
    db::Database database;
    database.setDatabaseName(path);
    database.open();
    db::Transaction write(&database, db::Transaction::writeParams());
    write.start();
    const engine::Context ctx{&database, &write, &write};
    costing_catalogue::Builder b(&database, &write);
    Work base;
    base.firma = b.firma(QStringLiteral("Столовая"));
    base.kitchen = b.otdel(base.firma, QStringLiteral("Кухня"));
    base.bar = b.otdel(base.firma, QStringLiteral("Бар"));
    for (int i = 0; i < kProducts; ++i) {
        costing_catalogue::Builder::Ing d;
        d.name = QStringLiteral("Продукт %1").arg(i);
        const qint64 k = b.ing(d);
        costing_catalogue::Builder::Sklad s;
        s.kolvo = kStart;
        s.cena = 10 + i;
        s.myCena = 12 + i;
        s.percent = 20;
        b.sklad(k, base.firma, base.kitchen, s);
        b.sklad(k, base.firma, base.bar, {});
        base.products << k;
    }
    // Dishes of three products each: one per workstation (its card edited there) and some shared.
    QList<qint64> dishes;
    for (int i = 0; i < workers + kSharedDishes; ++i) {
        costing_catalogue::Builder::Ing d;
        d.name = QStringLiteral("Блюдо %1").arg(i);
        d.level = 1;
        d.percentPlus = 30;
        const qint64 k = b.ing(d, false);
        b.sklad(k, base.firma, base.kitchen, {});
        b.sklad(k, base.firma, base.bar, {});
        for (int l = 0; l < 3; ++l)
            b.karta(k, base.products[(i + 2 * l) % kProducts], 0.1 + 0.05 * l);
        dishes << k;
    }
    // What every workstation shares: a unit, a menu of the dishes, a template.
    base.ed = structure::CreateEd(ctx, QStringLiteral("килограмм"), QStringLiteral("кг"));
    {
        menus::MenuData m;
        m.name = QStringLiteral("Обед");
        m.date = QDate(2026, 12, 7);
        m.firma = base.firma;
        base.menu = menus::SaveMenu(ctx, m, 0);
        menus::RazdelData r;
        r.name = QStringLiteral("Горячее");
        r.menu = base.menu;
        r.otdel = base.kitchen;
        base.razdel = menus::SaveRazdel(ctx, r, 0);
        for (qint64 dish : dishes)
            menus::AddDish(ctx, base.razdel, dish, 0);
        base.dishes = dishes;
        base.form = posting::NewKey(ctx);
        engine::Exec(ctx, QStringLiteral("INSERT INTO PRINT_FORMS (KOD, KOD_SPISKA, NAME_SHABLON, UNICNAME) "
                                         "VALUES (%1, 2, 'Остатки', 1)").arg(base.form));
    }
    std::vector<Work> out;
    for (int w = 0; w < workers; ++w) {
        Work x = base;
        x.station = w;
        x.dish = dishes[w];
        for (int i = 0; i < 12; ++i) {
            const QString name = QStringLiteral("%1-%2").arg(w).arg(i);
            const int kind = i % 4;
            const int type = kind == 0 ? posting::DocType::Receipt : kind == 1 ? posting::DocType::Issue
                                                                                : posting::DocType::Transfer;
            const qint64 doc = insertDoc(ctx, name, type, base.firma, base.kitchen, type == posting::DocType::Transfer ? base.bar : 0,
                                         kind == 3 ? 0 : 1);  // the fourth kind: a split transfer
            for (int l = 0; l < 3; ++l) {
                const int p = (i % 2 == 0 ? l : 2 - l) + (i + w) % 3;
                insertMove(ctx, doc, base.products[p % kProducts], base.kitchen, 1 + (i + l) % 4, 10 + i % 7);
            }
            if (kind == 3)  // a split transfer carries a dish, moved as what it is made of
                insertMove(ctx, doc, dishes[(w + i) % static_cast<int>(dishes.size())], base.kitchen, 1, 0);
            x.movements << name;
        }
        for (int i = 0; i < 3; ++i) {
            const QString name = QStringLiteral("%1-p%2").arg(w).arg(i);
            const qint64 doc = insertDoc(ctx, name, posting::DocType::ProductionWriteOff, base.firma, 0, 0,
                                         posting::WriteOffMode::Ingredients);
            // Other workstations' dishes too: their cards change while these are produced.
            for (int l = 0; l < 2; ++l) {
                db::Query q(&database, &write);
                q.setSql(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) "
                                        "VALUES (:D, :I, :O, :Q, 50, 0)"));
                q.param(QStringLiteral("D")).setInt64(doc);
                q.param(QStringLiteral("I")).setInt64(dishes[(w + i + l) % static_cast<int>(dishes.size())]);
                q.param(QStringLiteral("O")).setInt64(base.kitchen);
                q.param(QStringLiteral("Q")).setDouble(2 + l);
                q.execSql();
            }
            x.productions << name;
        }
        x.inventory = QStringLiteral("%1-inv").arg(w);
        insertDoc(ctx, x.inventory, posting::DocType::Inventory, base.firma, base.kitchen, 0, 0);
        x.deletable = QStringLiteral("%1-del").arg(w);
        out.push_back(x);
    }
    write.commit();
    database.close();
    return out;
}

struct Kind {
    int count = 0;
    qint64 slowest = 0;
    QList<qint64> times;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // A road that writes outside the tables its kind reserves counts as a failure.
    WriteTransaction::refuseUnreservedWrites = true;
    const QStringList args = app.arguments();
    if (args.value(1) == QStringLiteral("--worker"))
        return worker(args.value(2), decode(args.value(3)), args.value(4).toInt(), args.value(5));
    const QString server = QString::fromLocal8Bit(qgetenv("TARELIA_TEST_SERVER"));
    if (server.isEmpty()) {
        std::fprintf(stderr, "TARELIA_TEST_SERVER is not set: start a server on 127.0.0.1 first\n");
        return 2;
    }
    const int seconds = args.size() > 1 ? args.value(1).toInt() : 180;
    const int workers = args.size() > 2 ? args.value(2).toInt() : 5;

    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/workstations.fdb");
    const std::vector<Work> given = makeDatabase(path, workers);

    const QString conn = server + QLatin1Char(':') + path;
    std::vector<std::unique_ptr<QProcess>> running;
    for (int w = 0; w < workers; ++w) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--worker"), conn, encode(given[static_cast<size_t>(w)]), QString::number(seconds),
                  dir.filePath(QStringLiteral("w%1.txt").arg(w))});
        running.push_back(std::move(p));
    }
    bool ok = true;
    for (auto& p : running) {
        if (!p->waitForFinished((seconds + 120) * 1000) || p->exitCode() != 0) {
            std::fprintf(stderr, "a workstation did not finish\n");
            ok = false;
        }
    }

    int ops = 0, conflicts = 0, failures = 0, slow = 0;
    std::map<QString, Kind> kinds;
    std::map<QString, int> conflictTexts;
    QList<qint64> times;
    QString slowestLine;
    qint64 slowest = -1;
    for (int w = 0; w < workers; ++w) {
        QFile f(dir.filePath(QStringLiteral("w%1.txt").arg(w)));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
            ok = false;
            continue;
        }
        int mine = 0;
        for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (line == QStringLiteral("done"))
                continue;
            const QString head = line.section(QLatin1Char('|'), 0, 0);
            const QString what = line.section(QLatin1Char('|'), 1, 1);
            const QString text = line.section(QLatin1Char('|'), 2, 2);
            const qint64 ms = head.section(QLatin1Char(' '), 0, 0).toLongLong();
            const int state = head.section(QLatin1Char(' '), 1, 1).toInt();
            ++ops;
            ++mine;
            times << ms;
            Kind& k = kinds[what];
            ++k.count;
            k.times << ms;
            k.slowest = std::max(k.slowest, ms);
            if (ms > slowest) {
                slowest = ms;
                slowestLine = QStringLiteral("%1 (workstation %2)").arg(what).arg(w + 1);
            }
            if (ms > kSlowMs) {
                ++slow;
                std::printf("slow: %s\n", line.toUtf8().constData());
            }
            if (state == 1) {
                ++conflicts;
                ++conflictTexts[text];
            } else if (state == 2) {
                ++failures;
                std::printf("failed without words: %s\n", line.toUtf8().constData());
            }
        }
        std::printf("workstation %d: %d operations\n", w + 1, mine);
        if (mine == 0)
            ok = false;
    }
    std::sort(times.begin(), times.end());

    // The stock of every row equals its start plus the lines of the posted documents.
    db::Database database;
    database.setDatabaseName(conn);
    database.setParams(serverParams());
    database.open();
    db::Transaction read(&database, db::Transaction::readParams());
    read.start();
    db::Query rows(&database, &read);
    rows.setSql(QStringLiteral("SELECT S.KOD_ING, S.KOD_OTDEL, S.KOLVO - (SELECT COALESCE(SUM(IIF(M.TYPE_MOVES = 1, M.KOLVO, -M.KOLVO)), 0) "
                               "FROM MOVES M JOIN DOCS D ON D.KOD = M.KOD_DOC AND D.PROVODKA = 11 "
                               "WHERE M.KOD_ING = S.KOD_ING AND M.KOD_OTDEL = S.KOD_OTDEL) FROM ING_SKLAD S"));
    rows.open();
    int wrong = 0;
    const Work& base = given.front();
    for (rows.first(); !rows.eof(); rows.next()) {
        const bool raw = base.products.contains(rows.field(0).asInt64());
        const double start = raw && rows.field(1).asInt64() == base.kitchen ? kStart : 0;
        if (std::abs(rows.field(2).asDouble() - start) > 1e-6)
            ++wrong;
    }
    read.commit();
    database.close();

    std::printf("\n%-22s %7s %9s %9s\n", "operation", "count", "median ms", "max ms");
    for (auto& [what, k] : kinds) {
        std::sort(k.times.begin(), k.times.end());
        std::printf("%-22s %7d %9lld %9lld\n", what.toUtf8().constData(), k.count,
                    static_cast<long long>(k.times[k.times.size() / 2]), static_cast<long long>(k.slowest));
    }
    std::printf("\noperations: %d in %d s by %d workstations\n", ops, seconds, workers);
    std::printf("slowest operation: %lld ms, %s; median %lld ms; over %lld ms: %d\n", static_cast<long long>(slowest),
                slowestLine.toUtf8().constData(), static_cast<long long>(times.isEmpty() ? 0 : times[times.size() / 2]),
                static_cast<long long>(kSlowMs), slow);
    std::printf("conflicts told in words: %d; failures with the server's text: %d\n", conflicts, failures);
    for (const auto& [text, n] : conflictTexts)
        std::printf("  %d x %s\n", n, text.toUtf8().constData());
    std::printf("stock rows off their posted lines: %d\n", wrong);
    return ok && wrong == 0 && failures == 0 && slow == 0 ? 0 : 1;
}
