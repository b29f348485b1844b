// The print choice of the production and sales tab and the statement options
// with the program's windows: refusals, the statement of the tab's lines, the
// group-row setting and the technological cards, into the in-memory office.

#include "MoveEnv.h"

#include "Printing.h"
#include "Unit_RealTab.h"
#include "ProgramOffice.h"
#include "automation/RecordingOffice.h"
#include "support/TemplateFixture.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>

using namespace templates;

namespace {

class RealPrint : public MoveEnv {
public:
    RealPrint()
    {
        auto owned = std::make_unique<automation::RecordingOffice>();
        office = owned.get();
        automation::SetProgramOffice(std::move(owned));
    }
    ~RealPrint() { automation::SetProgramOffice(nullptr); }

    qint64 realDoc(int type, int provodka, const QString& date = QStringLiteral("2026-12-01"))
    {
        const qint64 k = num(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
        t().exec(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, "
                                "KOD_PARTNER_IMPORT, P, PROVODKA) VALUES (%1, 'Р-%1', '%2', '09:00:00', %3, %4, %4, 0, %5)")
                     .arg(k)
                     .arg(date)
                     .arg(type)
                     .arg(firmaKod)
                     .arg(provodka));
        return k;
    }
    void realLine(qint64 doc, qint64 ing, double kolvo, double cena)
    {
        t().exec(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) "
                                "VALUES (%1, %2, %3, %4, %5, 1)")
                     .arg(doc)
                     .arg(ing)
                     .arg(kitchen)
                     .arg(kolvo)
                     .arg(cena));
    }
    void templateOf(int listNo)
    {
        const qint64 form = InsertTemplate(t(), listNo, TableLayout(QStringLiteral("Образец"), 880 + listNo));
        InsertVariable(t(), form, PlacedVariable(QStringLiteral("name"), LocTable, QStringLiteral("B1")));
        InsertVariable(t(), form, PlacedVariable(QStringLiteral("ing"), LocTable, QStringLiteral("B1")));
        InsertVariable(t(), form, PlacedVariable(QStringLiteral("name_dr"), LocHeader, QStringLiteral("B2")));
        InsertVariable(t(), form, PlacedVariable(QStringLiteral("sum_all"), LocEnd, QStringLiteral("F1")));
        Form_Base->TransactionRead->commit();
        Form_Base->TransactionRead->start();
    }
    // The next modal dialog is handed to f in place of its event loop.
    void answerModal(std::function<void(QDialog*)> f)
    {
        Msg::setModalHandler([f](QDialog* d) {
            const auto step = f;  // the handler goes with the next line
            Msg::setModalHandler({});
            d->setResult(QDialog::Rejected);
            d->show();
            step(d);
            if (d->isVisible())
                d->reject();
            return d->result();
        });
    }
    void choose(int item)
    {
        answerModal([item](QDialog*) {
            Form_PrintReal->RG->setItemIndex(item);
            Form_PrintReal->BitBtn1->click();
        });
    }

    automation::RecordingOffice* office = nullptr;
};

TEST(RealPrintWindows, AreCreatedOnFirstUseNotAtStartUp)
{
    AppEnv env;
    EXPECT_EQ(Form_PrintReal, nullptr);
    EXPECT_EQ(Form_Svod, nullptr);
    EXPECT_EQ(Form_PrintKarta, nullptr);
}

TEST(RealPrintWindows, TechnologicalCardsAreRefusedForAPostedDocumentOrOneWithoutQuantities)
{
    RealPrint e;
    e.templateOf(10);
    const qint64 soup = e.dish(QStringLiteral("Суп"), {{e.product(QStringLiteral("Свёкла")), 0.2}});
    const qint64 posted = e.realDoc(3, 11);
    e.realLine(posted, soup, 2, 50);
    RealTab->ShowDocument(posted);
    e.choose(2);
    Guard([] { RealTab->Btn_Print_RealClick(); });
    EXPECT_EQ(e.messages.last(), QStringLiteral("Технологические карты проведённых документов не печатаются !"));
    EXPECT_TRUE(e.office->books.isEmpty());

    const qint64 empty = e.realDoc(3, 0);
    e.realLine(empty, soup, 0, 50);
    RealTab->ShowDocument(empty);
    e.choose(3);
    Guard([] { RealTab->Btn_Print_RealClick(); });
    EXPECT_TRUE(e.messages.last().startsWith(QStringLiteral("В документе нет строк с количеством больше нуля")));
    EXPECT_TRUE(e.office->books.isEmpty());

    const qint64 open = e.realDoc(3, 0);
    e.realLine(open, soup, 2, 50);
    RealTab->ShowDocument(open);
    e.choose(2);
    ASSERT_TRUE(Guard([] { RealTab->Btn_Print_RealClick(); }));
    ASSERT_EQ(e.office->books.size(), 1);
    EXPECT_EQ(e.office->last().at(QStringLiteral("B8")), QStringLiteral("Свёкла"));
    EXPECT_FALSE(Form_PrintReal->isVisible());
}

TEST(RealPrintWindows, AMissingTemplateIsToldAndTheDialogStaysOpen)
{
    RealPrint e;
    const qint64 soup = e.dish(QStringLiteral("Суп"), {{e.product(QStringLiteral("Свёкла")), 0.2}});
    const qint64 d = e.realDoc(3, 0);
    e.realLine(d, soup, 2, 50);
    RealTab->ShowDocument(d);
    bool open = false;
    e.answerModal([&](QDialog*) {
        Form_PrintReal->RG->setItemIndex(2);
        Form_PrintReal->BitBtn1->click();
        open = Form_PrintReal->isVisible();
    });
    EXPECT_TRUE(Guard([] { RealTab->Btn_Print_RealClick(); }));
    EXPECT_TRUE(open);
    EXPECT_TRUE(e.sawMessage(QStringLiteral("Для этого списка печати не назначен шаблон по умолчанию !")));
    EXPECT_TRUE(e.office->books.isEmpty());
}

TEST(RealPrintWindows, StatementOfTheTabsLinesAndOfAPeriodWithoutDocuments)
{
    RealPrint e;
    e.templateOf(8);
    const qint64 soup = e.dish(QStringLiteral("Суп"), {{e.product(QStringLiteral("Свёкла")), 0.2}});
    const qint64 d = e.realDoc(3, 0);
    e.realLine(d, soup, 2, 50);
    RealTab->ShowDocument(d);
    bool shown = false;
    // The options dialog comes second: answer it from within the first.
    Msg::setModalHandler([&](QDialog* dialog) {
        dialog->show();
        if (dialog == Form_PrintReal) {
            Form_PrintReal->RG->setItemIndex(0);
            Form_PrintReal->BitBtn1->click();
        } else {
            shown = true;
            EXPECT_EQ(Form_Svod->windowTitle(), QStringLiteral("Печать ведомости реализованной/произведённой продукции"));
            EXPECT_TRUE(Form_Svod->CB_PrintForGroup->isEnabled());
            EXPECT_FALSE(Form_Svod->GroupBox1->isEnabled());
            if (const QByteArray dir = qgetenv("TARELIA_SCREENSHOTS"); !dir.isEmpty()) {
                Form_Svod->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/svod.png"));
                Form_PrintReal->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/print_real.png"));
            }
            Form_Svod->Btn_Ok->click();
        }
        const int r = dialog->result();
        dialog->hide();
        return r;
    });
    ASSERT_TRUE(Guard([] { RealTab->Btn_Print_RealClick(); }));
    Msg::setModalHandler({});
    EXPECT_TRUE(shown);
    ASSERT_EQ(e.office->books.size(), 1);
    EXPECT_EQ(e.office->last().at(QStringLiteral("B2")), QStringLiteral("Р-%1").arg(d));
    EXPECT_EQ(e.office->last().at(QStringLiteral("B8")), QStringLiteral("Суп"));

    // The group-row choice is a presence row of the settings.
    Form_Svod->CB_PrintForGroup->click();
    EXPECT_EQ(e.count(QStringLiteral("MY_PARAM"), QStringLiteral("NAME_PARAM = 'PrintForGroup'")), 1);
    Form_Svod->CB_PrintForGroup->click();
    EXPECT_EQ(e.count(QStringLiteral("MY_PARAM"), QStringLiteral("NAME_PARAM = 'PrintForGroup'")), 0);

    // A period needs no document in the list.
    e.t().exec(QStringLiteral("DELETE FROM REAL_BLUDO"));
    e.t().exec(QStringLiteral("DELETE FROM DOCS"));
    RealTab->Open_DocsReal();
    RealTab->Q_Docs_Real->open();
    Form_Svod->RG_What->setItemIndex(1);
    Form_Svod->Date_Start->setDate(QDate(2026, 12, 1));
    Form_Svod->Date_Finish->setDate(QDate(2026, 12, 31));
    Form_Svod->UpdateSvodControls();
    EXPECT_TRUE(Form_Svod->GroupBox1->isEnabled());
    ASSERT_TRUE(Guard([] { Form_Svod->Btn_OkClick(); }));
    ASSERT_EQ(e.office->books.size(), 2);
    EXPECT_EQ(e.office->last().at(QStringLiteral("B2")), QStringLiteral("01.12.2026 / 31.12.2026"));
}

} // namespace
