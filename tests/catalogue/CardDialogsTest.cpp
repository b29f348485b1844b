// The small windows around a card: the card view, the recipe and the
// gross-coefficient calculator with its opener in the product dialog.

#include "support/ListTables.h"
#include "CatalogueFixture.h"

#include "Unit_Ing.h"
#include "Unit_KBrutto.h"
#include "Unit_Menu_S.h"
#include "Unit_Recept.h"
#include "Unit_ShowKarta.h"
#include "engine/EngineDb.h"
#include "engine/WriteRoad.h"
#include "grid/DatasetModel.h"
#include "util/Settings.h"
#include "util/SettingsStore.h"
#include "costing/Recompute.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

namespace {

class CardDialogs : public ::testing::Test {
protected:
    CardDialogs()
    {
        const qint64 kg = env.unit();
        const qint64 veg = env.group(QStringLiteral("Овощи"));
        env.firma(QStringLiteral("Кафе"));
        potato = env.ing(QStringLiteral("Картофель"), veg, kg);
        carrot = env.ing(QStringLiteral("Морковь"), veg, kg);
        soup = env.ing(QStringLiteral("Суп"), veg, kg);
        env.t().exec(QStringLiteral("DELETE FROM KARTA WHERE KOD_ING_MASTER = %1").arg(soup));
        env.t().exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE) "
                                    "VALUES (%1, %2, 0.25, 80, 1)")
                         .arg(soup)
                         .arg(potato));
        env.t().exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE) "
                                    "VALUES (%1, %2, 0.1, 0, 0)")
                         .arg(soup)
                         .arg(carrot));
    }
    static QStringList shownTitles(db::DbGrid* g)
    {
        QStringList out;
        for (const db::GridColumn& c : g->datasetModel()->columns())
            if (c.visible)
                out << c.title;
        return out;
    }
    static void typeInto(QLineEdit* e, const QString& keys)
    {
        for (const QChar c : keys) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(e, &press);
        }
    }

    CatEnv env;
    qint64 potato = 0, carrot = 0, soup = 0;
};

TEST_F(CardDialogs, TheCardViewShowsRowsAsTheSettingAsks)
{
    TForm_ShowKarta* f = Form_ShowKarta;
    ASSERT_NE(f, nullptr);
    SetSettingValue(QStringLiteral("brutto"), 0);
    f->Fill(soup);
    f->setWindowTitle(QStringLiteral("Калькуляционная карта блюда << Суп >>"));
    f->show();
    EXPECT_EQ(shownTitles(f->Grid_Sostav),
              (QStringList{QStringLiteral("Наименование"), QStringLiteral("Ед.изм."), QStringLiteral("Кол-во"),
                           QStringLiteral("%вых.")}));
    SetSettingValue(QStringLiteral("brutto"), 1);
    EXPECT_EQ(shownTitles(f->Grid_Sostav).last(), QStringLiteral("К.брутто"));
    db::DatasetModel* m = f->Grid_Sostav->datasetModel();
    ASSERT_EQ(m->rowCount(), 2);
    // The switched-off row on the button face, the other on the window colour.
    EXPECT_EQ(m->data(m->index(1, 0), Qt::BackgroundRole).value<QColor>(), QPalette().color(QPalette::Button));
    EXPECT_EQ(m->data(m->index(0, 0), Qt::BackgroundRole).value<QColor>(), QPalette().color(QPalette::Base));
    EXPECT_EQ(m->data(m->index(0, 3), Qt::DisplayRole).toString(), QStringLiteral("1,25"));
    EXPECT_TRUE(m->data(m->index(1, 3), Qt::DisplayRole).toString().isEmpty());  // no yield, no coefficient
    f->hide();
    EXPECT_FALSE(f->QS->active());
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Калькуляционная карта блюда."));
}

TEST_F(CardDialogs, TheShownCardFollowsACommittedChangeOfItsRowsOnItsRow)
{
    TForm_ShowKarta* f = Form_ShowKarta;
    f->Fill(soup);
    f->show();
    f->QS->setRecNo(1);
    const qint64 row = f->QS->field(QStringLiteral("KOD")).asInt64();
    {
        WriteTransaction w(costing::kRoad);
        engine::Exec(w.context(), QStringLiteral("UPDATE KARTA SET KOLVO = 0.3 WHERE KOD = %1").arg(row));
        w.commit();
    }
    // Reloaded by the commit itself, on the same row.
    EXPECT_FALSE(f->Grid_Sostav->greyed());
    EXPECT_EQ(f->QS->recNo(), 1);
    EXPECT_DOUBLE_EQ(f->QS->field(QStringLiteral("KOLVO")).asDouble(), 0.3);
    f->hide();
}

TEST_F(CardDialogs, TheMenuDishPickerShowsTheCardOfItsProduct)
{
    db::Query* ing = Form_Menu_S->Ing;
    StandInStatement standIn(ing);
    ing->close();
    ing->setSql(QStringLiteral("SELECT KOD, NAME FROM ING WHERE KOD = %1").arg(soup));
    ing->open();
    ModalScript script;
    script.then([](QWidget* w) {
        ASSERT_EQ(w, Form_ShowKarta);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Калькуляционная карта блюда << Суп >>"));
        EXPECT_EQ(Form_ShowKarta->QS->recordCount(), 2);
        Form_ShowKarta->reject();
    });
    Form_Menu_S->Btn_KartaClick();
    EXPECT_EQ(Form_ShowKarta->windowTitle(), QStringLiteral("Калькуляционная карта блюда."));
    ing->close();
}

TEST_F(CardDialogs, TheRecipeIsStoredOnOkOnly)
{
    TForm_Recept* f = Form_Recept;
    ASSERT_NE(f, nullptr);
    env.t().exec(QStringLiteral("UPDATE ING SET RECEPT = 'Варить 20 минут' WHERE KOD = %1").arg(soup));
    f->Load(soup);
    EXPECT_EQ(f->RichEdit1->toPlainText(), QStringLiteral("Варить 20 минут"));
    env.answers = {1};
    f->Btn_ClearClick();
    EXPECT_TRUE(f->RichEdit1->toPlainText().isEmpty());
    f->Btn_Cancel->click();
    EXPECT_EQ(env.text(QStringLiteral("SELECT RECEPT FROM ING WHERE KOD = %1").arg(soup)), QStringLiteral("Варить 20 минут"));

    f->Load(soup);
    f->RichEdit1->setPlainText(QStringLiteral("Нарезать «по-деревенски»;\nдобавить 'щепотку' соли"));
    f->Btn_OkClick();
    EXPECT_EQ(f->result(), QDialog::Accepted);
    EXPECT_EQ(env.text(QStringLiteral("SELECT RECEPT FROM ING WHERE KOD = %1").arg(soup)),
              QStringLiteral("Нарезать «по-деревенски»;\nдобавить 'щепотку' соли"));
    // Text the database cannot hold is refused, the stored recipe kept.
    f->RichEdit1->setPlainText(QStringLiteral("Подавать ☕"));
    env.messages.clear();
    f->Btn_OkClick();
    EXPECT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.text(QStringLiteral("SELECT RECEPT FROM ING WHERE KOD = %1").arg(soup)).startsWith(QStringLiteral("Нарезать")));
}

TEST_F(CardDialogs, TheCalculatorTakesDigitsAndOneSeparatorAndRefusesZero)
{
    TForm_KBrutto* f = Form_KBrutto;
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Расчёт \"Коэффициента БРУТТО\""));
    f->E_Netto->clear();
    typeInto(f->E_Netto, QStringLiteral("1,2,5кг."));
    EXPECT_EQ(f->E_Netto->text(), QStringLiteral("1,25"));

    const struct {
        QString brutto, netto, message;
    } refusals[] = {{QString(), QStringLiteral("1"), QStringLiteral("Нет веса брутто !")},
                    {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("Нет веса брутто !")},
                    {QStringLiteral("1"), QString(), QStringLiteral("Нет веса нетто !")},
                    {QStringLiteral("1"), QStringLiteral("0,0"), QStringLiteral("Нет веса нетто !")}};
    for (const auto& r : refusals) {
        f->setResult(QDialog::Rejected);
        f->E_Brutto->setText(r.brutto);
        f->E_Netto->setText(r.netto);
        env.messages.clear();
        f->BitBtn1Click();
        EXPECT_EQ(env.messages, QStringList{r.message});
        EXPECT_EQ(f->result(), QDialog::Rejected);
    }

    // The product dialog's button opens it and takes coefficient and yield from it.
    ModalScript script;
    script.then([](QWidget* w) {
        ASSERT_EQ(w, Form_KBrutto);
        EXPECT_TRUE(Form_KBrutto->E_Netto->text().isEmpty());
        Form_KBrutto->E_Netto->setText(QStringLiteral("0,8"));
        Form_KBrutto->E_Brutto->setText(QStringLiteral("1"));
        Form_KBrutto->BitBtn1->click();
    });
    Form_Ing->Button1Click();
    EXPECT_EQ(Form_Ing->E_Koef->text(), QStringLiteral("1,25"));
    EXPECT_EQ(Form_Ing->E_Proc->text(), QStringLiteral("80"));
}

} // namespace
