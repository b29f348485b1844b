// Two workstations on the test server open the same row in an edit dialog
// that saves the whole row. The other one saves first; this one's save names
// what the other changed, writes nothing (its protocol line neither), keeps
// the other's values, and its list shows them.

#include "MenuFixture.h"

#include "NameInfoDialog.h"
#include "Unit_Ed.h"
#include "Unit_Firma.h"
#include "Unit_Ing.h"
#include "Unit_IngSklad.h"
#include "Unit_Menu.h"
#include "Unit_Otdel.h"
#include "Unit_Sklad.h"
#include "support/ServerStation.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <functional>

namespace {

struct Kitchen {
    qint64 firma = 0, otdel = 0, sklad = 0, unit = 0, group = 0, potato = 0, stockRow = 0, menu = 0;
};

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

// The stock list of the kitchen's group ("Наличие на складах и цены") on the potato's row.
void openStock(const Kitchen& k)
{
    openStructure(k);
    Form_Main->SetActivePage(Form_Main->Sheet_Sklad_Ing);
    ProductsTab->Sheet_IngShow();
    ProductsTab->Timer_GrIngTimer();
    CatEnv::at(ProductsTab->Q_GrIng, k.group);
    ProductsTab->CB_Context_IngSkladClick();
    ProductsTab->Timer_IngTimer();
    CatEnv::at(ProductsTab->Q_Ing_Sklad, k.stockRow);
    CatEnv::at(ProductsTab->Q_Ing, k.potato);
}

// The user's own change in the dialog: a text typed into a field, then OK.
template <typename Dialog, typename Field>
std::function<void()> typed(Field* Dialog::*field, const char* text, Dialog* dialog)
{
    return [=] {
        if constexpr (std::is_same_v<Field, QPlainTextEdit>)
            (dialog->*field)->setPlainText(QString::fromUtf8(text));
        else
            (dialog->*field)->setText(QString::fromUtf8(text));
        dialog->Btn_Ok->click();
    };
}

struct Edit {
    const char* what;
    const char* table;
    qint64 Kitchen::*row;
    const char* set;     // the other workstation's change of the row; none: it deletes the row
    const char* column;  // and the value it leaves there
    const char* kept;
    std::function<void(const Kitchen&)> open;  // the dialog opened by its button
    std::function<void()> save;
    const char* name;     // the row as the user knows it
    const char* changed;  // what the refusal names; none: the row is gone
    db::Query* list;      // this one's list, which shows the other's value after the refusal
};

std::vector<Edit> Edits()
{
    TForm_IngSklad* stockRow = Form_IngSklad;
    auto* box = StructureBox;
    return {
        {"stock row prices", "ING_SKLAD", &Kitchen::stockRow, "CENA = 44, MY_CENA = 55", "CENA", "44",
         [](const Kitchen& k) { openStock(k), ProductsTab->Btn_Upd_IngSkladClick(); }, typed(&TForm_IngSklad::E_Proc, "30", stockRow),
         "Картофель", "цена складская, цена продажи", ProductsTab->Q_Ing_Sklad},
        // Codes never given are no text; the other's save wrote them as empty texts, which is no change.
        {"stock row with its codes saved empty", "ING_SKLAD", &Kitchen::stockRow, "CENA = 44, S_KOD = '', KOD_1S = ''", "CENA",
         "44", [](const Kitchen& k) { openStock(k), ProductsTab->Btn_Upd_IngSkladClick(); },
         typed(&TForm_IngSklad::E_Proc, "30", stockRow), "Картофель", "цена складская", ProductsTab->Q_Ing_Sklad},
        {"stock row hidden", "ING_SKLAD", &Kitchen::stockRow, "OPEN_CLOSE = 1", "OPEN_CLOSE", "1",
         [](const Kitchen& k) { openStock(k), ProductsTab->Btn_Upd_IngSkladClick(); }, typed(&TForm_IngSklad::E_Proc, "30", stockRow),
         "Картофель", "видимость в подразделении", nullptr},
        {"product", "ING", &Kitchen::potato, "VIHOD = 90", "VIHOD", "90",
         [](const Kitchen& k) { openStock(k), ProductsTab->Btn_Upd_IngClick(); },
         [] {
             Form_Ing->E_Section->setText(QStringLiteral("1"));
             typed(&TForm_Ing::E_Name, "Картофель молодой", static_cast<TForm_Ing*>(Form_Ing))();
         },
         "Картофель", "процент выхода", ProductsTab->Q_Ing},
        {"unit", "ED_IZM", &Kitchen::unit, "SHORT_NAME = 'кгр'", "SHORT_NAME", "кгр",
         [box](const Kitchen& k) { openStructure(k), box->Btn_Upd_EdClick(); }, typed(&TForm_Ed::E_Name, "кило", Form_Ed.get()),
         "килограмм", "сокращённое наименование", box->Q_Ed},
        {"unit deleted", "ED_IZM", &Kitchen::unit, nullptr, "COUNT(*)", "0",
         [box](const Kitchen& k) { openStructure(k), box->Btn_Upd_EdClick(); }, typed(&TForm_Ed::E_Name, "кило", Form_Ed.get()),
         "килограмм", nullptr, nullptr},
        {"enterprise", "FIRMA", &Kitchen::firma, "INN = '7701'", "INN", "7701",
         [box](const Kitchen& k) { openStructure(k), box->Btn_Upd_FirmaClick(); },
         typed(&TForm_Firma::E_Phone, "22-33", Form_Firma.get()), "Столовая", "ИНН", box->Q_Firma},
        {"department", "OTDEL", &Kitchen::otdel, "DOP_INFO = 'второй этаж'", "DOP_INFO", "второй этаж",
         [box](const Kitchen& k) { openStructure(k), box->Btn_Upd_OtdelClick(); },
         typed<TNameInfoDialog>(&TNameInfoDialog::E_Name, "Кухня №1", Form_Otdel.get()), "Кухня", "дополнительная информация",
         box->Q_Otdel},
        {"warehouse", "SKLAD", &Kitchen::sklad, "NAME = 'Холодный'", "NAME", "Холодный",
         [box](const Kitchen& k) { openStructure(k), box->Btn_Upd_SkladClick(); },
         typed<TNameInfoDialog>(&TNameInfoDialog::M_Info, "у окна", Form_Sklad.get()), "Основной склад", "наименование",
         box->Q_Sklad},
        {"menu", "MENU", &Kitchen::menu, "PERCENT = 5", "PERCENT", "5",
         [](const Kitchen& k) { openMenus(k.firma, k.menu), MenusTab->Btn_Upd_MenuClick(); },
         typed(&TForm_Menu::E_Name, "Ужин", Form_Menu.get()), "Обед", "процент повышения цены", MenusTab->Q_Menu},
    };
}

} // namespace

TEST(EditDialogsServer, ARowTheOtherWorkstationChangedMeanwhileIsNotWrittenOver)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    CatEnv env;
    ASSERT_TRUE(env.moveToTestServer());
    for (const Edit& edit : Edits()) {
        SCOPED_TRACE(edit.what);
        Kitchen k;
        k.firma = env.firma(QStringLiteral("Столовая"));
        k.otdel = env.mainOtdel(k.firma);
        k.sklad = env.mainSklad(k.otdel);
        k.group = env.group(QStringLiteral("Овощи"));
        k.unit = env.unit(QStringLiteral("килограмм"), QStringLiteral("кг"));  // no product uses it
        k.potato = env.ing(QStringLiteral("Картофель"), k.group, env.unit(QStringLiteral("штука"), QStringLiteral("шт")));
        k.stockRow = env.ingSklad(k.potato, k.otdel);
        env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 40, MY_CENA = 50, PERCENT = 25, METOD_CENA = 1, "
                                        "S_KOD = NULL, KOD_1S = NULL WHERE KOD = %1")
                         .arg(k.stockRow));
        k.menu = newMenu(k.firma, QStringLiteral("Обед"), QDate(2026, 12, 7));
        const QString key = QString::number(k.*edit.row);
        const int lines = env.count(QStringLiteral("LOG_TABLE"));
        env.messages.clear();
        {
            ModalScript dialogs;
            dialogs.then([&](QWidget* dialog) {
                // The other workstation's change announces nothing to this one's lists.
                ServerStation other(env.t().path());
                other.write().start();
                engine::Exec(other.ctx(), edit.set ? QStringLiteral("UPDATE %1 SET %2 WHERE KOD = %3").arg(QLatin1String(edit.table), QString::fromUtf8(edit.set), key)
                                                   : QStringLiteral("DELETE FROM %1 WHERE KOD = %2").arg(QLatin1String(edit.table), key));
                other.write().commit();
                edit.save();
                // Refused, the dialog stays open with what the user typed.
                EXPECT_TRUE(dialog->isVisible());
                static_cast<QDialog*>(dialog)->reject();
            });
            edit.open(k);
        }
        const QString name = QStringLiteral("«%1»").arg(QString::fromUtf8(edit.name));
        const QString told = edit.changed ? QStringLiteral("Пока окно было открыто, на другом рабочем месте изменили %1: %2. Ничего не "
                                                           "записано: откройте окно снова, чтобы увидеть новые значения.")
                                                .arg(name, QString::fromUtf8(edit.changed))
                                          : QStringLiteral("На другом рабочем месте удалили %1. Ничего не записано.").arg(name);
        EXPECT_EQ(env.messages.join(QLatin1Char('\n')).toStdString(), told.toStdString());
        EXPECT_EQ(env.count(QStringLiteral("LOG_TABLE")), lines);
        EXPECT_FALSE(Form_Base->TransactionWrite->active());
        EXPECT_EQ(env.text(QStringLiteral("SELECT %1 FROM %2 WHERE KOD = %3").arg(QLatin1String(edit.column), QLatin1String(edit.table), key))
                      .toStdString(),
                  edit.kept);
        if (edit.list) {
            EXPECT_EQ(edit.list->field(QString::fromLatin1(edit.column)).asString().toStdString(), edit.kept);
        }
    }
}
