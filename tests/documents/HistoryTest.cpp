// The movement history of a product: only posted documents, the filters and
// their "Все" boxes, the inclusive period.

#include "catalogue/CatalogueFixture.h"

#include "Unit_DvigIng.h"
#include "Unit_ProductsTab.h"
#include "util/Clock.h"

namespace {

class HistEnv : public CatEnv {
public:
    HistEnv()
    {
        own = firma(QStringLiteral("Столовая"));
        kitchen = mainOtdel(own);
        partner = firma(QStringLiteral("Поставщик"), QStringLiteral("Склад поставщика"), QStringLiteral("Склад"), false);
        t().exec(QStringLiteral("INSERT INTO OTDEL (NAME, KOD_FIRMA) VALUES ('Бар', %1)").arg(own));
        bar = num(QStringLiteral("SELECT KOD FROM OTDEL WHERE NAME = 'Бар'"));
        potato = ing(QStringLiteral("Картофель"), group(QStringLiteral("Овощи")), unit());
    }
    // A document with one line of the product; returns the document's key.
    qint64 doc(const QString& name, const QDate& date, int provodka, int type, qint64 otdel, int direction,
               double kolvo, qint64 importFirma = 0)
    {
        t().exec(QStringLiteral("INSERT INTO DOCS (NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, "
                                "KOD_PARTNER_IMPORT, INT_PARAM1, PROVODKA) VALUES ('%1', '%2', '10:00', %3, %4, %5, %6, %7)")
                     .arg(name, date.toString(Qt::ISODate))
                     .arg(type)
                     .arg(own)
                     .arg(importFirma ? importFirma : own)
                     .arg(otdel)
                     .arg(provodka));
        const qint64 d = num(QStringLiteral("SELECT MAX(KOD) FROM DOCS"));
        t().exec(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES "
                                "(%1, %2, %3, %4, 10, %5)")
                     .arg(d)
                     .arg(potato)
                     .arg(otdel)
                     .arg(kolvo)
                     .arg(direction));
        return d;
    }
    QStringList shown()
    {
        QStringList rows;
        db::Query* q = Form_DvigIng->QMyMoves;
        for (q->first(); !q->eof(); q->next())
            rows << q->field(QStringLiteral("NAME_D")).asString() + QLatin1Char(' ') + q->field(QStringLiteral("PR")).asString();
        return rows;
    }
    void all(bool f, bool o, bool k, bool d)
    {
        Form_DvigIng->CB_F->setChecked(f);
        Form_DvigIng->CB_FClick();
        if (!f) {
            Form_DvigIng->CB_O->setChecked(o);
            Form_DvigIng->CB_OClick();
        }
        Form_DvigIng->CB_K->setChecked(k);
        Form_DvigIng->CB_KClick();
        Form_DvigIng->CB_D->setChecked(d);
        Form_DvigIng->CB_DClick();
    }
    qint64 own, kitchen, partner, bar, potato;
};

const QDate kToday(2026, 5, 20);

} // namespace

TEST(History, OnlyPostedLinesInThePeriodWithTheirDirection)
{
    Clock::setSource([] { return QDateTime(kToday, QTime(9, 0)); });
    HistEnv env;
    delete Form_DvigIng;
    CreateHistoryWindow();  // the window's period starts from the pinned clock
    env.doc(QStringLiteral("Черновик"), kToday, 0, 5, env.kitchen, 1, 3);
    Form_DvigIng->Prepare(env.potato, QStringLiteral("Картофель"), env.own, QStringLiteral("Столовая"), env.kitchen,
                          QStringLiteral("Кухня"));
    EXPECT_TRUE(env.shown().isEmpty());
    EXPECT_EQ(Form_DvigIng->windowTitle(), QStringLiteral("История движения продукта << Картофель >>"));
    EXPECT_EQ(Form_DvigIng->P_D->text(), QStringLiteral("20.04.2026 .. 20.05.2026"));

    // A posted transfer: out of the kitchen, into the bar.
    env.doc(QStringLiteral("Перемещение"), kToday.addDays(-3), 11, 6, env.kitchen, 2, 2);
    env.doc(QStringLiteral("Перемещение (приход)"), kToday.addDays(-3), 11, 5, env.bar, 1, 2);
    // The end date is inclusive, the day after is not.
    env.doc(QStringLiteral("Сегодня"), kToday, 11, 5, env.kitchen, 1, 1);
    env.doc(QStringLiteral("Завтра"), kToday.addDays(1), 11, 5, env.kitchen, 1, 1);
    const qint64 supplied = env.doc(QStringLiteral("От поставщика"), kToday.addDays(-1), 11, 5, env.kitchen, 1, 5,
                                    env.partner);
    env.t().exec(QStringLiteral("UPDATE MOVES SET CENA = 52.3 WHERE KOD_DOC = %1").arg(supplied));

    env.all(false, false, true, false);
    Form_DvigIng->BitBtn1Click();
    EXPECT_EQ(env.shown(), (QStringList{QStringLiteral("Перемещение -"), QStringLiteral("От поставщика +"),
                                        QStringLiteral("Сегодня +")}));
    // Money as the grids show it: a price with its decimals, at least two; a sum in kopecks.
    const QAbstractItemModel* m = Form_DvigIng->DBGrid1->model();
    EXPECT_EQ(m->index(1, 4).data().toString(), QStringLiteral("52,30"));
    EXPECT_EQ(m->index(1, 5).data().toString(), QStringLiteral("261,50"));
    env.all(true, true, true, true);
    Form_DvigIng->BitBtn1Click();
    EXPECT_EQ(env.shown().size(), 5);
    EXPECT_TRUE(env.shown().contains(QStringLiteral("Перемещение (приход) +")));

    // The partner filter works on the document's header.
    env.all(true, true, false, true);
    Form_DvigIng->KodKontragent = env.partner;
    Form_DvigIng->BitBtn1Click();
    EXPECT_EQ(env.shown(), QStringList{QStringLiteral("От поставщика +")});

    // A period whose start is after its end shows nothing.
    env.all(true, true, true, false);
    Form_DvigIng->DateStart = kToday;
    Form_DvigIng->DateEnd = kToday.addDays(-1);
    Form_DvigIng->BitBtn1Click();
    EXPECT_TRUE(env.shown().isEmpty());
    Clock::setSource({});
}

TEST(History, AllBoxesAndTheirRefusals)
{
    HistEnv env;
    Form_DvigIng->Prepare(env.potato, QStringLiteral("Картофель"), env.own, QStringLiteral("Столовая"), env.kitchen,
                          QStringLiteral("Кухня"));
    // "Все" for the enterprise forces "Все" for the department; clearing it shows the enterprise again.
    Form_DvigIng->CB_F->setChecked(true);
    Form_DvigIng->CB_FClick();
    EXPECT_TRUE(Form_DvigIng->CB_O->isChecked());
    EXPECT_FALSE(Form_DvigIng->CB_O->isEnabled());
    EXPECT_EQ(Form_DvigIng->P_F->text(), QStringLiteral("Всё предприятия"));
    EXPECT_EQ(Form_DvigIng->KodOtdel, 0);
    Form_DvigIng->CB_F->setChecked(false);
    Form_DvigIng->CB_FClick();
    EXPECT_EQ(Form_DvigIng->P_F->text(), QStringLiteral("Столовая"));
    EXPECT_TRUE(Form_DvigIng->CB_O->isEnabled());

    env.messages.clear();
    Form_DvigIng->KodFirma = 0;
    Form_DvigIng->BitBtn1Click();
    Form_DvigIng->KodFirma = env.own;
    Form_DvigIng->CB_O->setChecked(false);
    Form_DvigIng->CB_OClick();
    Form_DvigIng->BitBtn1Click();
    Form_DvigIng->KodOtdel = env.kitchen;
    Form_DvigIng->CB_K->setChecked(false);
    Form_DvigIng->CB_KClick();
    Form_DvigIng->BitBtn1Click();
    Form_DvigIng->KodFirma = 0;
    Form_DvigIng->Btn_SelectOClick();
    EXPECT_EQ(env.messages, (QStringList{QStringLiteral("Надо выбрать предприятие !"),
                                         QStringLiteral("Надо выбрать подразделение !"),
                                         QStringLiteral("Надо выбрать контрагента !"),
                                         QStringLiteral("Не выбрано предприятие !")}));
    // Hiding the window closes its list.
    Form_DvigIng->ShowMoves();
    Form_DvigIng->show();
    Form_DvigIng->hide();
    EXPECT_FALSE(Form_DvigIng->QMyMoves->active());
}
