// Two workstations on the test server open the same row in an edit dialog
// that saves the whole row. The other one saves first; this one's save names
// what the other changed, writes nothing (its protocol line neither), keeps
// the other's values, and its list shows them.

#include "MenuFixture.h"

#include "IngSkladDialog.h"
#include "ListEditDialog.h"
#include "NameInfoDialog.h"
#include "Unit_Ed.h"
#include "Unit_Firma.h"
#include "Unit_Ing.h"
#include "Unit_IngSklad.h"
#include "Unit_Menu.h"
#include "Unit_Otdel.h"
#include "Unit_Sklad.h"
#include "support/ServerStation.h"
#include "ui/RadioGroup.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <functional>

namespace {

struct Kitchen {
    qint64 firma = 0, otdel = 0, sklad = 0, unit = 0, group = 0, potato = 0, stockRow = 0, menu = 0;
};

struct Edit {
    const char* what;
    // The row, and what the other workstation commits on it (its key as %1)
    // while this one's dialog is open.
    qint64 Kitchen::*row;
    QString otherSql;
    // Opens the dialog on the kitchen's row, as its button does.
    std::function<void(const Kitchen&)> open;
    // The user's own change in the open dialog, then OK.
    std::function<void(QWidget*)> save;
    // The row as the user knows it, and the words naming what the other changed (none: deleted).
    QString name, changed;
    // The other's value as the database keeps it (the row's key as %1), and that value.
    QString keptSql;
    QString kept;
    // This one's list after the refusal: the row read again (none: the list is not checked).
    std::function<QString()> listed;
};

template <typename Dialog, typename Field>
std::function<void(QWidget*)> typeThenOk(Field* Dialog::*field, const QString& text)
{
    return [field, text](QWidget* w) {
        auto* d = qobject_cast<Dialog*>(w);
        ASSERT_NE(d, nullptr) << "another dialog opened";
        if constexpr (std::is_same_v<Field, QPlainTextEdit>)
            (d->*field)->setPlainText(text);
        else
            (d->*field)->setText(text);
        d->Btn_Ok->click();
    };
}

std::function<QString()> listed(db::Query* (*list)(), const char* column)
{
    return [list, column] { return list()->field(QString::fromLatin1(column)).asString(); };
}

// The stock list of the kitchen's group, as "Наличие на складах и цены" shows it.
void openStockList(const Kitchen& k)
{
    Form_Main->SetActivePage(Form_Main->Sheet_Sklad_Ing);
    ProductsTab->Sheet_IngShow();
    CatEnv::at(StructureBox->Q_Firma, k.firma);
    StructureBox->Timer_OtdelTimer();
    CatEnv::at(StructureBox->Q_Otdel, k.otdel);
    StructureBox->Timer_SkladTimer();
    ProductsTab->Timer_GrIngTimer();
    CatEnv::at(ProductsTab->Q_GrIng, k.group);
    ProductsTab->CB_Context_IngSkladClick();
    CatEnv::at(ProductsTab->Q_Ing_Sklad, k.stockRow);
}

void openProducts(const Kitchen& k)
{
    CatEnv::showProducts(k.firma, k.otdel, k.group);
    ProductsTab->Timer_IngTimer();
    CatEnv::at(ProductsTab->Q_Ing, k.potato);
}

void openStructure(const Kitchen& k)
{
    Form_Main->SetActivePage(Form_Main->Sheet_Setup);
    StructureBox->Sheet_SetupShow();
    CatEnv::at(StructureBox->Q_Firma, k.firma);
    StructureBox->Timer_OtdelTimer();
    CatEnv::at(StructureBox->Q_Otdel, k.otdel);
    StructureBox->Timer_SkladTimer();
    CatEnv::at(StructureBox->Q_Sklad, k.sklad);
    CatEnv::at(StructureBox->Q_Ed, k.unit);
}

std::vector<Edit> Edits()
{
    const auto stockList = [] { return ProductsTab->Q_Ing_Sklad; };
    return {
        {"stock row prices", &Kitchen::stockRow, QStringLiteral("UPDATE ING_SKLAD SET CENA = 44, MY_CENA = 55 WHERE KOD = %1"),
         [](const Kitchen& k) {
             openStockList(k);
             ProductsTab->Btn_Upd_IngSkladClick();
         },
         typeThenOk(&TForm_IngSklad::E_Proc, QStringLiteral("30")), QStringLiteral("Картофель"),
         QStringLiteral("цена складская, цена продажи"), QStringLiteral("SELECT CENA FROM ING_SKLAD WHERE KOD = %1"),
         QStringLiteral("44"), listed(stockList, "CENA")},
        {"stock row hidden", &Kitchen::stockRow, QStringLiteral("UPDATE ING_SKLAD SET OPEN_CLOSE = 1 WHERE KOD = %1"),
         [](const Kitchen& k) {
             openStockList(k);
             ProductsTab->Btn_Upd_IngSkladClick();
         },
         typeThenOk(&TForm_IngSklad::E_Proc, QStringLiteral("30")), QStringLiteral("Картофель"),
         QStringLiteral("видимость в подразделении"), QStringLiteral("SELECT OPEN_CLOSE FROM ING_SKLAD WHERE KOD = %1"),
         QStringLiteral("1"), nullptr},
        {"product", &Kitchen::potato, QStringLiteral("UPDATE ING SET VIHOD = 90 WHERE KOD = %1"),
         [](const Kitchen& k) {
             openProducts(k);
             ProductsTab->Btn_Upd_IngClick();
         },
         [](QWidget* w) {
             Form_Ing->E_Section->setText(QStringLiteral("1"));
             typeThenOk(&TForm_Ing::E_Name, QStringLiteral("Картофель молодой"))(w);
         },
         QStringLiteral("Картофель"),
         QStringLiteral("процент выхода"), QStringLiteral("SELECT VIHOD FROM ING WHERE KOD = %1"), QStringLiteral("90"),
         listed([] { return ProductsTab->Q_Ing; }, "VIHOD")},
        {"unit", &Kitchen::unit, QStringLiteral("UPDATE ED_IZM SET SHORT_NAME = 'кгр' WHERE KOD = %1"),
         [](const Kitchen& k) {
             openStructure(k);
             StructureBox->Btn_Upd_EdClick();
         },
         typeThenOk(&TForm_Ed::E_Name, QStringLiteral("кило")), QStringLiteral("килограмм"),
         QStringLiteral("сокращённое наименование"), QStringLiteral("SELECT SHORT_NAME FROM ED_IZM WHERE KOD = %1"),
         QStringLiteral("кгр"), listed([] { return StructureBox->Q_Ed; }, "SHORT_NAME")},
        {"unit deleted", &Kitchen::unit, QStringLiteral("DELETE FROM ED_IZM WHERE KOD = %1"),
         [](const Kitchen& k) {
             openStructure(k);
             StructureBox->Btn_Upd_EdClick();
         },
         typeThenOk(&TForm_Ed::E_Name, QStringLiteral("кило")), QStringLiteral("килограмм"), QString(),
         QStringLiteral("SELECT COUNT(*) FROM ED_IZM WHERE KOD = %1"), QStringLiteral("0"), nullptr},
        {"enterprise", &Kitchen::firma, QStringLiteral("UPDATE FIRMA SET INN = '7701' WHERE KOD = %1"),
         [](const Kitchen& k) {
             openStructure(k);
             StructureBox->Btn_Upd_FirmaClick();
         },
         typeThenOk(&TForm_Firma::E_Phone, QStringLiteral("22-33")), QStringLiteral("Столовая"), QStringLiteral("ИНН"),
         QStringLiteral("SELECT INN FROM FIRMA WHERE KOD = %1"), QStringLiteral("7701"),
         listed([] { return StructureBox->Q_Firma; }, "INN")},
        {"department", &Kitchen::otdel, QStringLiteral("UPDATE OTDEL SET DOP_INFO = 'второй этаж' WHERE KOD = %1"),
         [](const Kitchen& k) {
             openStructure(k);
             StructureBox->Btn_Upd_OtdelClick();
         },
         typeThenOk(&TNameInfoDialog::E_Name, QStringLiteral("Кухня №1")), QStringLiteral("Кухня"),
         QStringLiteral("дополнительная информация"), QStringLiteral("SELECT DOP_INFO FROM OTDEL WHERE KOD = %1"),
         QStringLiteral("второй этаж"), listed([] { return StructureBox->Q_Otdel; }, "DOP_INFO")},
        {"warehouse", &Kitchen::sklad, QStringLiteral("UPDATE SKLAD SET NAME = 'Холодный' WHERE KOD = %1"),
         [](const Kitchen& k) {
             openStructure(k);
             StructureBox->Btn_Upd_SkladClick();
         },
         typeThenOk(&TNameInfoDialog::M_Info, QStringLiteral("у окна")), QStringLiteral("Основной склад"),
         QStringLiteral("наименование"), QStringLiteral("SELECT NAME FROM SKLAD WHERE KOD = %1"), QStringLiteral("Холодный"),
         listed([] { return StructureBox->Q_Sklad; }, "NAME")},
        {"menu", &Kitchen::menu, QStringLiteral("UPDATE MENU SET PERCENT = 5 WHERE KOD = %1"),
         [](const Kitchen& k) {
             openMenus(k.firma, k.menu);
             MenusTab->Btn_Upd_MenuClick();
         },
         typeThenOk(&TForm_Menu::E_Name, QStringLiteral("Ужин")), QStringLiteral("Обед"),
         QStringLiteral("процент повышения цены"), QStringLiteral("SELECT PERCENT FROM MENU WHERE KOD = %1"),
         QStringLiteral("5"), listed([] { return MenusTab->Q_Menu; }, "PERCENT")},
    };
}

} // namespace

TEST(EditDialogsServer, ARowTheOtherWorkstationChangedMeanwhileIsNotWrittenOver)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    for (const Edit& edit : Edits()) {
        SCOPED_TRACE(edit.what);
        CatEnv env;
        ASSERT_TRUE(env.moveToTestServer());
        Kitchen k;
        k.firma = env.firma(QStringLiteral("Столовая"));
        k.otdel = env.mainOtdel(k.firma);
        k.sklad = env.mainSklad(k.otdel);
        k.group = env.group(QStringLiteral("Овощи"));
        k.unit = env.unit(QStringLiteral("килограмм"), QStringLiteral("кг"));  // no product uses it
        k.potato = env.ing(QStringLiteral("Картофель"), k.group, env.unit(QStringLiteral("штука"), QStringLiteral("шт")));
        k.stockRow = env.ingSklad(k.potato, k.otdel);
        env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 40, MY_CENA = 50, PERCENT = 25, METOD_CENA = 1 WHERE KOD = %1")
                         .arg(k.stockRow));
        k.menu = newMenu(k.firma, QStringLiteral("Обед"), QDate(2026, 12, 7));
        const int lines = env.count(QStringLiteral("LOG_TABLE"));
        env.messages.clear();
        {
            ModalScript dialogs;
            dialogs.then([&](QWidget* dialog) {
                // The other workstation's change announces nothing to this one's lists.
                ServerStation other(env.t().path());
                other.write().start();
                engine::Exec(other.ctx(), edit.otherSql.arg(k.*edit.row));
                other.write().commit();
                edit.save(dialog);
                // Refused, the dialog stays open with what the user typed.
                EXPECT_TRUE(dialog->isVisible());
                qobject_cast<QDialog*>(dialog)->reject();
            });
            edit.open(k);
        }
        const QString name = QStringLiteral("«") + edit.name + QStringLiteral("»");
        const QString told = edit.changed.isEmpty()
                                 ? QStringLiteral("На другом рабочем месте удалили ") + name + QStringLiteral(". Ничего не записано.")
                                 : QStringLiteral("Пока окно было открыто, на другом рабочем месте изменили ") + name +
                                       QStringLiteral(": ") + edit.changed +
                                       QStringLiteral(". Ничего не записано: откройте окно снова, чтобы увидеть новые значения.");
        EXPECT_EQ(env.messages.join(QLatin1Char('\n')).toStdString(), told.toStdString());
        EXPECT_EQ(env.count(QStringLiteral("LOG_TABLE")), lines);
        EXPECT_FALSE(Form_Base->TransactionWrite->active());
        EXPECT_EQ(env.text(edit.keptSql.arg(k.*edit.row)).toStdString(), edit.kept.toStdString());
        if (edit.listed)
            EXPECT_EQ(edit.listed().toStdString(), edit.kept.toStdString());
    }
}
