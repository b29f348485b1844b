// The movement print choice and the balance options as the user meets them:
// the dialogs' item rules, the refusals, the export with its file dialog and
// the warning list, and the balance run from its dialog.

#include "Printing.h"
#include "ProgramOffice.h"
#include "automation/RecordingOffice.h"
#include "support/AppEnv.h"
#include "support/TemplateFixture.h"
#include "ui/Unit_Alarm.h"
#include "util/Messages.h"

#include "base/Unit_Base.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace templates;

namespace {

class MovementPrint : public ::testing::Test {
protected:
    void SetUp() override
    {
        TemplateForm f = TableLayout(QStringLiteral("Накладная"), 78);
        for (int list : {1, 2}) {
            f.UNICNAME = 78 + list;
            const qint64 form = InsertTemplate(env.testDb(), list, f);
            InsertVariable(env.testDb(), form, PlacedVariable(QStringLiteral("name_d"), LocHeader, QStringLiteral("A1")));
            InsertVariable(env.testDb(), form, PlacedVariable(QStringLiteral("name"), LocTable, QStringLiteral("B1")));
        }
        env.testDb().exec("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE) VALUES (900100, '7', '2026-11-30', 5)");
        env.testDb().exec("INSERT INTO ING (KOD, NAME) VALUES (900021, 'Морковь')");
        env.testDb().exec("INSERT INTO MOVES (KOD, KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) "
                          "VALUES (900101, 900100, 900021, 5, 1, 2, 1)");
        auto owned = std::make_unique<automation::RecordingOffice>();
        office = owned.get();
        automation::SetProgramOffice(std::move(owned));
        Form_Base->TransactionRead->commit();
        Form_Base->TransactionRead->start();
        savedDialog = TForm_PrtDvig::SaveDialog1;
    }
    void TearDown() override
    {
        Msg::setModalHandler({});
        TForm_PrtDvig::SaveDialog1 = savedDialog;
        automation::SetProgramOffice(nullptr);
    }

    // Every modal dialog goes to `f`; the warning list is recorded and closed.
    void onModal(std::function<void(QDialog*)> f)
    {
        Msg::setModalHandler([this, f](QDialog* d) {
            if (d == Form_Alarm) {
                alarm = Form_Alarm->Memo1->toPlainText();
                return int(QDialog::Accepted);
            }
            d->setResult(QDialog::Rejected);
            d->show();
            f(d);
            if (d->isVisible())
                d->reject();
            return d->result();
        });
    }

    AppEnv env;
    automation::RecordingOffice* office = nullptr;
    std::function<QString(QWidget*)> savedDialog;
    QString alarm;
};

} // namespace

TEST_F(MovementPrint, ExportBoxFollowsTheChoiceAndStartsUnticked)
{
    TForm_PrtDvig* f = printing::PrtDvigForm();
    EXPECT_EQ(f, printing::PrtDvigForm());  // created once
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Печать"));
    f->CB_Export->setChecked(true);
    f->setItemIndex(2);
    EXPECT_FALSE(f->CB_Export->isChecked());
    EXPECT_FALSE(f->CB_Export->isEnabled());
    f->setItemIndex(1);
    EXPECT_TRUE(f->CB_Export->isEnabled());
    EXPECT_FALSE(f->CB_Export->isChecked());

    // Each showing starts unticked and keeps the last item.
    onModal([](QDialog* d) {
        auto* p = static_cast<TForm_PrtDvig*>(d);
        EXPECT_FALSE(p->CB_Export->isChecked());
        EXPECT_EQ(p->itemIndex(), 1);
        p->CB_Export->setChecked(true);
    });
    printing::ShowPrtDvig(900100, 5);
    onModal([](QDialog* d) { EXPECT_FALSE(static_cast<TForm_PrtDvig*>(d)->CB_Export->isChecked()); });
    printing::ShowPrtDvig(900100, 5);
}

TEST_F(MovementPrint, RefusesWithoutADocumentAndForAnInventory)
{
    onModal([](QDialog* d) {
        auto* p = static_cast<TForm_PrtDvig*>(d);
        p->setItemIndex(0);
        p->BitBtn1->click();
    });
    printing::ShowPrtDvig(0, 0);
    EXPECT_EQ(env.messages.last(), QStringLiteral("Не выбран документ движения !"));
    printing::ShowPrtDvig(900100, 1);
    EXPECT_EQ(env.messages.last(), QStringLiteral("Ведомость инвнтаризации печатается в окне \"Продукты и блюда => "
                                                  "Наличие на складах и цены => Инвентаризация\""));
    EXPECT_TRUE(office->books.isEmpty());
}

TEST_F(MovementPrint, WaybillWithExportWritesTheTableAndListsMissingCodes)
{
    const QString path = env.testDb().folder() + QStringLiteral("/obmen.dbf");
    TForm_PrtDvig::SaveDialog1 = [path](QWidget*) { return path; };
    onModal([](QDialog* d) {
        auto* p = static_cast<TForm_PrtDvig*>(d);
        p->setItemIndex(0);
        p->CB_Export->setChecked(true);
        p->BitBtn1->click();
        EXPECT_FALSE(p->isVisible());
        EXPECT_EQ(p->result(), QDialog::Accepted);
    });
    printing::ShowPrtDvig(900100, 5);
    ASSERT_EQ(office->books.size(), 1);
    EXPECT_EQ(office->last().at(QStringLiteral("A1")), QStringLiteral("Приходная накладная № 7 от 30.11.2026"));
    EXPECT_EQ(office->last().at(QStringLiteral("B8")), QStringLiteral("Морковь"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.size(), 257 + 160 + 1);
    EXPECT_EQ(alarm, QStringLiteral("У следующих продуктов нет кодов для передачу в бухгалтерскую программу :\n\nМорковь"));
}

TEST_F(MovementPrint, CancelledFileDialogStillPrintsWithoutExport)
{
    TForm_PrtDvig::SaveDialog1 = [](QWidget*) { return QString(); };
    onModal([](QDialog* d) {
        auto* p = static_cast<TForm_PrtDvig*>(d);
        p->setItemIndex(0);
        p->CB_Export->setChecked(true);
        p->BitBtn1->click();
        EXPECT_FALSE(p->CB_Export->isChecked());
    });
    printing::ShowPrtDvig(900100, 5);
    EXPECT_EQ(office->books.size(), 1);
    EXPECT_TRUE(alarm.isEmpty());

    // A file that cannot be written stops the run with the system's reason.
    TForm_PrtDvig::SaveDialog1 = [this](QWidget*) {
        return env.testDb().folder() + QStringLiteral("/no/such/folder/obmen.dbf");
    };
    onModal([](QDialog* d) {
        auto* p = static_cast<TForm_PrtDvig*>(d);
        p->CB_Export->setChecked(true);
        p->BitBtn1->click();
    });
    printing::ShowPrtDvig(900100, 5);
    EXPECT_EQ(office->books.size(), 1);
    EXPECT_TRUE(env.messages.last().contains(QStringLiteral("obmen.dbf")));
}

TEST_F(MovementPrint, BalanceDialogSummingForcesTheFilters)
{
    TForm_PrintOstatki* f = printing::PrintOstatkiForm();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Печать остатков"));
    EXPECT_EQ(f->itemIndex(), 0);
    EXPECT_TRUE(f->CB_Minus->isChecked());
    EXPECT_TRUE(f->CB_Zero->isChecked());
    EXPECT_FALSE(f->CB_Plus->isChecked());
    EXPECT_TRUE(f->CB_OpenClose->isChecked());
    f->CB_Zero->setChecked(false);
    f->CB_Sum->click();
    EXPECT_TRUE(f->CB_Zero->isChecked());
    EXPECT_FALSE(f->CB_Zero->isEnabled());
    EXPECT_FALSE(f->CB_OpenClose->isChecked());
    EXPECT_FALSE(f->CB_OpenClose->isEnabled());
    f->CB_Sum->click();
    EXPECT_TRUE(f->CB_Zero->isEnabled());
    EXPECT_TRUE(f->CB_Zero->isChecked());
    EXPECT_TRUE(f->CB_OpenClose->isEnabled());
    EXPECT_FALSE(f->CB_OpenClose->isChecked());

    // Cancel prints nothing; OK runs the report the box chooses.
    onModal([](QDialog*) {});
    printing::ShowPrintOstatki(1, 2, 3);
    EXPECT_TRUE(office->books.isEmpty());
    env.testDb().exec("INSERT INTO ING_SKLAD (KOD_ING, KOD_FIRMA, KOD_OTDEL, KOD_SKLAD, KOLVO) VALUES (900021, 1, 2, 3, 4)");
    Form_Base->TransactionRead->commit();
    Form_Base->TransactionRead->start();
    for (bool sum : {false, true}) {
        onModal([sum](QDialog* d) {
            auto* p = static_cast<TForm_PrintOstatki*>(d);
            p->CB_Sum->setChecked(sum);
            p->Btn_Ok->click();
        });
        printing::ShowPrintOstatki(1, 2, 3);
        EXPECT_EQ(office->last().at(QStringLiteral("B8")), QStringLiteral("Морковь")) << sum;
    }
}
