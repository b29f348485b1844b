// The costing card print dialog with the program's windows: the enterprise
// and department choice with its refusals, and the card printed into the
// in-memory office.

#include "CatalogueFixture.h"

#include "Printing.h"
#include "ProgramOffice.h"
#include "automation/RecordingOffice.h"
#include "support/PickersStub.h"
#include "support/TemplateFixture.h"
#include "ui/RadioGroup.h"
#include "util/Unit_Util.h"

#include <QLabel>

using namespace templates;

namespace {

TEST(KartaPrint, DepartmentAfterEnterpriseThenTheCardInBothModes)
{
    CatEnv env;
    auto owned = std::make_unique<automation::RecordingOffice>();
    automation::RecordingOffice* office = owned.get();
    automation::SetProgramOffice(std::move(owned));
    const qint64 form = InsertTemplate(env.t(), 7, TableLayout(QStringLiteral("Карта"), 707));
    InsertVariable(env.t(), form, PlacedVariable(QStringLiteral("name_i"), LocTable, QStringLiteral("B1")));
    InsertVariable(env.t(), form, PlacedVariable(QStringLiteral("otdel"), LocHeader, QStringLiteral("B3")));

    const qint64 firma = env.firma(QStringLiteral("Столовая"));
    const qint64 kitchen = env.mainOtdel(firma);
    const qint64 flour = env.ing(QStringLiteral("Мука"), 0, 0);
    const qint64 dough = env.ing(QStringLiteral("Тесто"), 0, 0);
    env.t().exec(QStringLiteral("UPDATE ING SET MY_LEVEL = 1 WHERE KOD = %1").arg(dough));
    env.t().exec(QStringLiteral("DELETE FROM KARTA WHERE KOD_ING_MASTER = %1").arg(dough));
    env.t().exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE) VALUES (%1, %2, 1, 100, 1)")
                     .arg(dough)
                     .arg(flour));
    Form_Base->TransactionRead->commit();
    Form_Base->TransactionRead->start();

    int otdelAsked = 0;
    PickersStub pickers;
    pickers.onFirma = [&](qint64& kod, QString& name) {
        kod = firma;
        name = QStringLiteral("Столовая");
        return true;
    };
    pickers.onOtdel = [&](qint64 f, PickersStub::Order order, qint64& kod, QString& name) {
        EXPECT_EQ(f, firma);
        EXPECT_EQ(order, PickersStub::Order::AsStored);  // the card print's list is not sorted by name
        if (++otdelAsked == 2)
            return false;  // cancelled: the department stays
        kod = kitchen;
        name = QStringLiteral("Кухня");
        return true;
    };
    auto run = [&](std::function<void()> steps) {
        Msg::setModalHandler([steps](QDialog* d) {
            const std::function<void()> step = steps;  // the handler goes away with the next line
            Msg::setModalHandler({});
            d->setResult(QDialog::Rejected);
            d->show();
            step();
            const int r = d->result();
            d->hide();
            return r;
        });
        printing::ShowPrintKarta(dough, 0);
    };

    run([] {
        Form_PrintKarta->Btn_Otdel->click();
        Form_PrintKarta->Btn_Ok->click();
    });
    EXPECT_EQ(env.messages.value(env.messages.size() - 2), QStringLiteral("Сначала необходимо выбрать предприятие !"));
    EXPECT_EQ(env.messages.last(), QStringLiteral("Необходимо сначала выбрать предприятие и отдел, для которого будет "
                                                  "печататься калькуляционная карточка блюда !"));
    EXPECT_TRUE(office->books.isEmpty());

    run([] {
        Form_PrintKarta->Btn_Firma->click();
        Form_PrintKarta->Btn_Otdel->click();
        Form_PrintKarta->Btn_Otdel->click();  // cancelled
        if (const QByteArray dir = qgetenv("TARELIA_SCREENSHOTS"); !dir.isEmpty())
            Form_PrintKarta->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/print_karta.png"));
        Form_PrintKarta->Btn_Ok->click();
    });
    EXPECT_EQ(Form_PrintKarta->P_Otdel->text(), QStringLiteral("Кухня"));
    ASSERT_EQ(office->books.size(), 1);
    EXPECT_EQ(office->last().at(QStringLiteral("B3")), QStringLiteral("Кухня"));
    EXPECT_EQ(office->last().at(QStringLiteral("B8")), QStringLiteral("Мука"));

    // The choices stay for the next opening; choosing the enterprise again clears the department.
    run([] {
        EXPECT_EQ(Form_PrintKarta->P_Otdel->text(), QStringLiteral("Кухня"));
        Form_PrintKarta->RadioGroup1->setItemIndex(1);
        Form_PrintKarta->Btn_Ok->click();
    });
    ASSERT_EQ(office->books.size(), 2);
    EXPECT_EQ(office->last().at(QStringLiteral("B8")), QStringLiteral("Мука"));
    run([] {
        Form_PrintKarta->Btn_Firma->click();
        EXPECT_TRUE(Form_PrintKarta->P_Otdel->text().isEmpty());
        EXPECT_EQ(Form_PrintKarta->KodOtdel, 0);
    });
    automation::SetProgramOffice(nullptr);
}

} // namespace
