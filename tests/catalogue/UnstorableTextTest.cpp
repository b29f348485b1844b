// Text the database cannot hold, typed into the catalogue's dialogs: refused
// with a message naming the characters, nothing written, no protocol line;
// the search box still searches with it.

#include "CatalogueFixture.h"

#include "Unit_GrIng.h"
#include "Unit_Ing.h"
#include "Unit_ProductsTab.h"
#include "db/Codec.h"
#include "products/ProductsEngine.h"
#include "ui/Unit_Main.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

struct Kitchen {
    qint64 kg, veg, firma, otdel, sklad;
};

Kitchen openKitchen(CatEnv& env)
{
    Kitchen k{};
    k.kg = env.unit();
    k.veg = env.group(QStringLiteral("Десерты"));
    k.firma = env.firma(QStringLiteral("Кафе"));
    k.otdel = env.mainOtdel(k.firma);
    k.sklad = env.mainSklad(k.otdel);
    Form_Main->SetActivePage(Form_Main->Sheet_All_Ing);
    ProductsTab->Sheet_IngShow();
    CatEnv::at(StructureBox->Q_Firma, k.firma);
    StructureBox->Timer_OtdelTimer();
    CatEnv::at(StructureBox->Q_Otdel, k.otdel);
    StructureBox->Timer_SkladTimer();
    CatEnv::at(StructureBox->Q_Sklad, k.sklad);
    ProductsTab->Timer_GrIngTimer();
    CatEnv::at(ProductsTab->Q_GrIng, k.veg);
    ProductsTab->CB_Context_IngClick();
    return k;
}

} // namespace

TEST(UnstorableText, ProductDialogRefusesItAndWritesNothing)
{
    CatEnv env;
    const Kitchen k = openKitchen(env);
    const int products = env.count(QStringLiteral("ING"));
    const int rows = env.count(QStringLiteral("ING_SKLAD"));
    const int lines = env.count(QStringLiteral("LOG_TABLE"));

    TForm_Ing* f = Form_Ing;
    f->NewMode = 1;
    f->FormShow();
    f->E_Name->setText(QStringLiteral("Crème brûlée"));
    f->L_Ed->setCurrentIndex(f->L_Ed->findText(QStringLiteral("килограмм")));
    env.messages.clear();
    f->Btn_Ok->click();

    ASSERT_FALSE(env.messages.isEmpty()) << "no message for a text the database cannot hold";
    EXPECT_EQ(env.messages.last(),
              QStringLiteral("Текст нельзя записать в базу данных: символы \"èûé\" вне кодировки Windows-1251."));
    EXPECT_NE(f->result(), QDialog::Accepted);
    EXPECT_EQ(env.count(QStringLiteral("ING")), products);
    EXPECT_EQ(env.count(QStringLiteral("ING_SKLAD")), rows);
    EXPECT_EQ(env.count(QStringLiteral("LOG_TABLE")), lines);
    EXPECT_EQ(env.count(QStringLiteral("ING"), QStringLiteral("NAME LIKE 'Cr%'")), 0);

    // Put right, the same dialog stores it as typed.
    f->E_Name->setText(QStringLiteral("Крем-брюле «Д'Артаньян»"));
    f->Btn_Ok->click();
    EXPECT_EQ(f->result(), QDialog::Accepted) << env.messages.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(env.text(QStringLiteral("SELECT NAME FROM ING WHERE KOD = %1").arg(f->SavedKod)),
              QStringLiteral("Крем-брюле «Д'Артаньян»"));
    Q_UNUSED(k);
}

TEST(UnstorableText, GroupIsNeitherStoredNorReportedAsAdded)
{
    CatEnv env;
    openKitchen(env);
    const int groups = env.count(QStringLiteral("GROUP_ING"));
    Form_GrIng->NewMode = 1;
    Form_GrIng->FormShow();
    Form_GrIng->E_Name->setText(QStringLiteral("Käse & Crêpes 🍕"));
    env.messages.clear();
    Form_GrIng->Btn_Ok->click();
    ASSERT_FALSE(env.messages.isEmpty());
    EXPECT_TRUE(env.messages.last().contains(QStringLiteral("\"äê🍕\""))) << env.messages.last().toStdString();
    for (const QString& m : env.messages)
        EXPECT_FALSE(m.contains(QStringLiteral("добавлена"))) << m.toStdString();
    EXPECT_EQ(env.count(QStringLiteral("GROUP_ING")), groups);
    EXPECT_EQ(env.logLines(QStringLiteral("Добавлена группа блюд:Käse & Crêpes 🍕")), 0);
}

TEST(UnstorableText, EngineRefusesItOnTheWriteRoadAndTheSearchStillMatches)
{
    CatEnv env;
    const Kitchen k = openKitchen(env);
    products::IngData d;
    d.name = QStringLiteral("Pâté");
    d.group = k.veg;
    d.edIzm = k.kg;
    const int products = env.count(QStringLiteral("ING"));
    EXPECT_THROW(products::CreateIng(d, {}, {}), db::DbError);
    EXPECT_EQ(env.count(QStringLiteral("ING")), products);

    env.ing(QStringLiteral("Паштет"), k.veg, k.kg);
    ProductsTab->CB_Context_Ing->setChecked(true);
    ProductsTab->E_Context_Ing->setText(QStringLiteral("Pâté"));
    env.messages.clear();
    ProductsTab->CB_Context_IngClick();  // a search finds nothing, and says nothing
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(ProductsTab->Q_Ing->active());
    EXPECT_EQ(ProductsTab->Q_Ing->recordCount(), 0);
}
