// What a user of the catalogue's dialogs and buttons meets beyond their
// checks: the products list after a group's section number is set, fields a
// screen reader can name, one OK per dialog, and buttons of windows not in
// this version that say so.

#include "CatalogueFixture.h"

#include "Unit_Ed.h"
#include "Unit_GrIng.h"
#include "Unit_Ing.h"
#include "Unit_NSection.h"
#include "Unit_ProductsTab.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Name.h"
#include "ui/Unit_Vhod.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString accessibleName(QWidget* w)
{
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(QAccessible::Name) : QString();
}

} // namespace

TEST(CatalogueDialogs, SectionNumbersShowInTheListAtOnce)
{
    CatEnv env;
    const qint64 kg = env.unit();
    const qint64 veg = env.group(QStringLiteral("Овощи"));
    const qint64 firma = env.firma(QStringLiteral("Кафе"));
    const qint64 otdel = env.mainOtdel(firma);
    const qint64 onion = env.ing(QStringLiteral("Лук"), veg, kg);
    env.ing(QStringLiteral("Морковь"), veg, kg);
    CatEnv::showProducts(firma, otdel, veg);
    ProductsTab->CB_Context_IngClick();
    CatEnv::at(ProductsTab->Q_Ing, onion);
    ASSERT_EQ(ProductsTab->Q_Ing->recordCount(), 2);

    ModalScript script;
    script.then([](QWidget*) {
        Form_NSection->SetItemIndex(3);
        Form_NSection->accept();
    });
    ProductsTab->N9Click();
    // No timer has run: the list shows the numbers the database now holds, on the same product.
    EXPECT_EQ(cat::KeyOf(ProductsTab->Q_Ing), onion);
    for (ProductsTab->Q_Ing->first(); !ProductsTab->Q_Ing->eof(); ProductsTab->Q_Ing->next())
        EXPECT_EQ(ProductsTab->Q_Ing->field(QStringLiteral("MY_SECTION")).asInt(), 4);
}

TEST(CatalogueDialogs, FieldsAreNamedByTheirLabels)
{
    CatEnv env;
    const struct {
        QWidget* field;
        const char* label;
    } fields[] = {
        {Form_Vhod->ComboBox1, "Логин"},
        {Form_Vhod->Edit1, "Пароль"},
        {Form_GrIng->E_Name, "Наименование группы"},
        {Form_Ing->E_Name, "Наименование"},
        {Form_Ing->L_Ed, "Ед. Изм."},
        {Form_Ing->E_Kalories, "Кол-во килокалорий на единицу продукта  =>"},
        {Form_Ed->E_Name, "Полное наименование единицы"},
        {Form_Ed->E_SName, "Сокращённое наименование -->"},
    };
    for (const auto& f : fields)
        EXPECT_EQ(accessibleName(f.field), QString::fromUtf8(f.label)) << f.label;
}

TEST(CatalogueDialogs, ADialogShowsOneOk)
{
    CatEnv env;
    for (QDialog* d : {static_cast<QDialog*>(Form_Vhod), static_cast<QDialog*>(Form_Name)}) {
        int ok = 0;
        for (QPushButton* b : d->findChildren<QPushButton*>())
            ok += b->text() == QStringLiteral("OK") ? 1 : 0;
        EXPECT_EQ(ok, 1) << d->windowTitle().toStdString();
    }
    // The OK the program presses once its checks passed still closes the dialog with OK.
    Form_Name->setResult(0);
    Form_Name->show();
    Form_Name->BitBtn3->click();
    EXPECT_EQ(Form_Name->result(), QDialog::Accepted);
    EXPECT_FALSE(Form_Name->isVisible());
}

TEST(CatalogueDialogs, ButtonsOfWindowsNotInThisVersionSaySo)
{
    CatEnv env;
    // As in a build without the windows these buttons open.
    const auto saved = ProductsTab->hooks;
    ProductsTab->hooks.dvigIngClick = nullptr;
    ProductsTab->hooks.dvigIng2Click = nullptr;
    ProductsTab->hooks.invent = nullptr;
    const QString notBuilt = QStringLiteral("Эта функция в этой версии программы ещё не доступна.");
    for (QPushButton* b : {ProductsTab->Btn_DvigIng, ProductsTab->Btn_DvigIng2, ProductsTab->Btn_Inv}) {
        env.messages.clear();
        b->click();
        ASSERT_FALSE(env.messages.isEmpty()) << "nothing at all from " << b->text().toStdString();
        EXPECT_EQ(env.messages.last(), notBuilt) << b->text().toStdString();
    }
    ProductsTab->hooks = saved;
}
