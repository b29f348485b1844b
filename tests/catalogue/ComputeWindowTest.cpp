// The recomputation as the program runs it: the options dialog, the write
// transaction with its protocol line, the warning window and the refusals.

#include "support/ListTables.h"
#include "../../bench/CostingCatalogue.h"
#include "support/AppEnv.h"

#include "Unit_Compute.h"
#include "Unit_ProductsTab.h"
#include "base/Unit_Base.h"
#include "ui/RadioGroup.h"
#include "ui/Unit_Alarm.h"
#include "ui/Unit_Gauge.h"
#include "util/Settings.h"
#include "util/Unit_Util.h"

#include <QApplication>
#include <QPushButton>
#include <QPointer>
#include "util/Messages.h"
#include "costing/Recompute.h"
#include "support/HeldTables.h"
#include <QVariant>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `step` on each modal window the handler opens, shown in place of its
// event loop by the dialog service's modal handler; one the step leaves open is cancelled.
class OnModal {
public:
    explicit OnModal(std::function<void(QWidget*)> step) : step_(std::move(step))
    {
        Msg::setModalHandler([this](QDialog* d) {
            d->setResult(QDialog::Rejected);
            QPointer<QDialog> shown = d;
            d->show();
            ++seen_;
            step_(d);
            if (shown && shown->isVisible())
                shown->reject();
            return shown ? shown->result() : int(QDialog::Rejected);
        });
    }
    ~OnModal() { Msg::setModalHandler({}); }
    int seen() const { return seen_; }

private:
    std::function<void(QWidget*)> step_;
    int seen_ = 0;
};

class ComputeWindow : public ::testing::Test {
protected:
    ComputeWindow()
    {
        env.loginAs(QStringLiteral("Администратор"));
        TestDb& t = env.testDb();
        t.write().start();
        costing_catalogue::Builder b(&t.db(), &t.write());
        const qint64 firma = b.firma(QStringLiteral("Кафе"));
        otdel = b.otdel(firma, QStringLiteral("Зал"));
        auto rawProduct = [&](const QString& name, double cena) {
            const qint64 k = b.ing({name, 0, 1, 0, 0, 1.0, 0});
            b.sklad(k, firma, otdel, {0, cena, 0, 0, 0, 0, 0});
            return k;
        };
        a = rawProduct(QStringLiteral("Говядина"), 100);
        onion = rawProduct(QStringLiteral("Лук"), 50);
        dish = b.ing({QStringLiteral("Бефстроганов"), 1, 1, 10, 0, 0, 0}, false);
        dishRow = b.sklad(dish, firma, otdel, {0, 7, 0, 20, 1, 0, 0});
        b.karta(dish, a, 0.2);
        b.karta(dish, onion, 0.1, 50);
        t.write().commit();
        Form_Compute->RadioGroup1->setItemIndex(2);
        Form_Compute->RG_Ing->setItemIndex(2);
    }

    double dishCena() { return env.testDb().scalar(QStringLiteral("SELECT CENA FROM ING_SKLAD WHERE KOD = %1").arg(dishRow)).toDouble(); }
    int protocolLines()
    {
        return env.testDb()
            .scalar(QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE WHERE WHAT_ACTION = 'Расчёт цен' AND ARM = 'Продукты и блюда'"))
            .toInt();
    }
    // A sauce in the dish's card whose own card holds the dish.
    void addCycle()
    {
        TestDb& t = env.testDb();
        t.exec(QStringLiteral("INSERT INTO ING (KOD, NAME, MY_LEVEL, KVO_PORC) VALUES (2000000, 'Соус', 1, 1)"));
        t.exec(QStringLiteral("INSERT INTO ING_SKLAD (KOD_ING, KOD_OTDEL) VALUES (2000000, %1)").arg(otdel));
        t.exec(QStringLiteral("INSERT INTO KARTA (KOD, KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (2000001, %1, 2000000, 0.1)").arg(dish));
        t.exec(QStringLiteral("INSERT INTO KARTA (KOD, KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (2000002, 2000000, %1, 0.1)").arg(dish));
    }

    AppEnv env;
    qint64 otdel = 0, a = 0, onion = 0, dish = 0, dishRow = 0;
};

void accept(QWidget* w)
{
    ASSERT_EQ(w, Form_Compute);
    Form_Compute->BitBtn1->click();
}

} // namespace

TEST_F(ComputeWindow, OkRecomputesAndWritesTheProtocolLine)
{
    Form_Compute->RadioGroup2->setItemIndex(0);
    Form_Alarm->Memo1->setPlainText(QStringLiteral("Нулевая цена у продукта << Вода >>"));  // left by an earlier operation
    // The stock list stands on the dish, the last of the department's rows.
    db::Query* stock = ProductsTab->Q_Ing_Sklad;
    StandInStatement standIn(stock);
    Form_Base->OpenRead(stock, QStringLiteral("SELECT * FROM ING_SKLAD WHERE KOD_OTDEL = %1 ORDER BY KOD").arg(otdel));
    stock->last();
    int shownWith = -1;
    OnModal modal([&](QWidget* w) {
        shownWith = Form_Compute->RadioGroup2->itemIndex();
        accept(w);
    });
    TForm_Compute::Execute();
    EXPECT_EQ(modal.seen(), 1);
    EXPECT_EQ(shownWith, 1);  // every showing starts from "НЕ пересчитывать"
    EXPECT_DOUBLE_EQ(dishCena(), 33.00);
    // The commit reloaded the stock list: the new price, on the same row.
    EXPECT_EQ(stock->field(QStringLiteral("KOD")).asInt64(), dishRow);
    EXPECT_DOUBLE_EQ(stock->field(QStringLiteral("CENA")).asDouble(), 33.00);
    EXPECT_EQ(protocolLines(), 1);
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
    EXPECT_FALSE(Form_Gauge->isVisible());
    EXPECT_EQ(Form_Compute->RadioGroup1->itemIndex(), 2);  // kept for the next time
    EXPECT_TRUE(Form_Alarm->Memo1->toPlainText().isEmpty());
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(ComputeWindow, CancelChangesNothing)
{
    OnModal modal([](QWidget*) { Form_Compute->BitBtn2->click(); });
    TForm_Compute::Execute();
    EXPECT_EQ(modal.seen(), 1);
    EXPECT_DOUBLE_EQ(dishCena(), 7);
    EXPECT_EQ(protocolLines(), 0);
}

TEST_F(ComputeWindow, NothingSelectedIsSaidSo)
{
    ProductsTab->Q_Ing_Sklad->close();
    Form_Compute->RG_Ing->setItemIndex(0);
    OnModal modal(accept);
    TForm_Compute::Execute();
    EXPECT_TRUE(env.sawMessage(QStringLiteral("Не выбран продукт, цены которого нужно рассчитать !")));

    ProductsTab->Q_GrIng->close();
    Form_Compute->RG_Ing->setItemIndex(1);
    OnModal again(accept);
    TForm_Compute::Execute();
    EXPECT_TRUE(env.sawMessage(QStringLiteral("Не выбрана группа продуктов, цены которой нужно рассчитать !")));
    EXPECT_DOUBLE_EQ(dishCena(), 7);
    EXPECT_EQ(protocolLines(), 0);
}

TEST_F(ComputeWindow, AbortShowsTheWarningWindowAndKeepsEarlierRows)
{
    env.testDb().exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 0 WHERE KOD_ING = %1").arg(onion));
    QString alarmText;
    int step = 0;
    OnModal modal([&](QWidget* w) {
        if (step++ == 0)
            return accept(w);
        ASSERT_EQ(w, Form_Alarm);
        alarmText = Form_Alarm->Memo1->toPlainText();
        Form_Alarm->Btn_Exit->click();
    });
    TForm_Compute::Execute();
    EXPECT_EQ(alarmText, QStringLiteral("Нулевая цена у продукта << Лук >>\n"
                                        "При расчёте обнаружены продукты которые участвуют в составных\n"
                                        "продуктах а сами не имеют цены. Расчёт прерван !!!\n "));
    EXPECT_TRUE(Form_Alarm->Memo1->toPlainText().isEmpty());
    EXPECT_EQ(protocolLines(), 1);
    EXPECT_DOUBLE_EQ(dishCena(), 7);
}

TEST_F(ComputeWindow, CyclicCardIsRefusedWithNothingWritten)
{
    addCycle();
    Form_Compute->RadioGroup2->setItemIndex(0);
    OnModal modal(accept);
    TForm_Compute::Execute();
    ASSERT_EQ(env.messages.size(), 1);
    // The sauce's department row has the lower key, so its level is checked first.
    EXPECT_EQ(env.messages[0].toStdString(), "Циклическая ссылка в калькуляционных картах: << Соус >> -> << Бефстроганов >> -> "
                                             "<< Соус >> ! Исправьте состав продуктов.");
    EXPECT_DOUBLE_EQ(dishCena(), 7);
    EXPECT_EQ(protocolLines(), 0);
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
    EXPECT_FALSE(Form_Gauge->isVisible());
    EXPECT_EQ(Form_Compute->RadioGroup2->itemIndex(), 1);
}

TEST_F(ComputeWindow, OneProductInsideTheCallersTransaction)
{
    WriteTransaction w(costing::kRoad);
    ComputePrices(false, 0, 0, dish);
    EXPECT_TRUE(Form_Base->TransactionWrite->active());
    EXPECT_DOUBLE_EQ(dishCena(), 7);  // not committed yet
    EXPECT_EQ(protocolLines(), 0);
    EXPECT_EQ(Form_Compute->RadioGroup2->itemIndex(), 1);
    w.commit();
    EXPECT_DOUBLE_EQ(dishCena(), 33.00);

    addCycle();
    WriteTransaction again(costing::kRoad);
    EXPECT_THROW(ComputePrices(false, 0, 0, dish), std::exception);
}

TEST_F(ComputeWindow, ItsRoadHoldsTheProductsTheStockRowsAndTheCards)
{
    Form_Compute->RadioGroup2->setItemIndex(0);
    OnModal modal([&](QWidget* w) { accept(w); });
    HeldTables held({QStringLiteral("ING"), QStringLiteral("ING_SKLAD"), QStringLiteral("KARTA")});
    TForm_Compute::Execute();
    EXPECT_EQ(held.roads(), 1);
    EXPECT_TRUE(held.open().isEmpty()) << held.open().join(QLatin1Char(' ')).toStdString();
    EXPECT_DOUBLE_EQ(dishCena(), 33.00);
}
