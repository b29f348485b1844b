// Temporary: screenshots of the catalogue windows (not part of the suite).
#include "CatalogueFixture.h"

#include "Unit_Firma.h"
#include "Unit_Ing.h"
#include "Unit_ProductsTab.h"
#include "Unit_StructureBox.h"
#include "Unit_Otdel.h"
#include "Unit_Ed.h"
#include "Unit_GrToSklad.h"
#include "Unit_MoveIng.h"
#include "Unit_NSection.h"
#include "Unit_SelectFirma.h"
#include "Unit_GrIng.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Timers.h"

#include <QTabWidget>
#include <QScreen>
#include <QPixmap>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>

#include <gtest/gtest.h>

static void pump(int ms = 300)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

static void shot(QWidget* w, const QString& name)
{
    pump();
    QPixmap p;
    if (qEnvironmentVariable("QT_QPA_PLATFORM") == QStringLiteral("xcb") && w->isWindow())
        p = w->screen()->grabWindow(w->winId());
    else
        p = w->grab();
    p.save(QStringLiteral("/tmp/shots/") + name + QStringLiteral(".png"));
}

TEST(ZZShot, Windows)
{
    CatEnv env;
    const qint64 kg = env.unit();
    env.unit(QStringLiteral("штука"), QStringLiteral("шт"));
    env.unit(QStringLiteral("литр"), QStringLiteral("л"));
    const qint64 veg = env.group(QStringLiteral("Овощи"));
    const qint64 milk = env.group(QStringLiteral("Молочные продукты"));
    env.group(QStringLiteral("Мясо и птица"));
    const qint64 firma = env.firma(QStringLiteral("ООО \"Ромашка\""), QStringLiteral("Кухня"), QStringLiteral("Основной склад"));
    env.firma(QStringLiteral("Поставщик овощей"), {}, {}, false);
    const qint64 otdel = env.mainOtdel(firma);
    structure::CreateOtdel(firma, QStringLiteral("ООО \"Ромашка\""), QStringLiteral("Бар"), QString());
    structure::CreateSklad(firma, otdel, QString(), QString(), QStringLiteral("Холодильник"), QString());
    for (const char* n : {"Картофель", "Лук репчатый", "Морковь", "Свёкла столовая", "Капуста белокочанная"})
        env.ing(QString::fromUtf8(n), veg, kg);
    const qint64 soup = env.ing(QStringLiteral("Борщ украинский"), veg, kg);
    env.t().exec(QStringLiteral("UPDATE ING SET MY_LEVEL = 2, VIHOD_BLUDA = '250/25' WHERE KOD = %1").arg(soup));
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 12.5, CENA = 25.3, MY_CENA = 35 WHERE KOLVO = 0 AND KOD_ING IN (SELECT KOD FROM ING WHERE NAME STARTING 'К')"));
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = -2 WHERE KOD_ING IN (SELECT KOD FROM ING WHERE NAME STARTING 'Л')"));
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET OPEN_CLOSE = 1 WHERE KOD_ING IN (SELECT KOD FROM ING WHERE NAME STARTING 'С')"));
    env.ing(QStringLiteral("Молоко 3,2%"), milk, kg);

    Form_Main->show();
    Form_Main->SetActivePage(Form_Main->Sheet_All_Ing);
    pump(600);
    ProductsTab->CB_Closed1->setChecked(true);
    CatEnv::at(Form_Base->Q_Otdel, otdel);
    pump(1200);
    CatEnv::at(Form_Base->Q_GrIng, veg);
    pump(800);
    shot(Form_Main, QStringLiteral("products_all"));
    Form_Main->SetActivePage(Form_Main->Sheet_Sklad_Ing);
    pump(600);
    ProductsTab->CB_Closed2->setChecked(true);
    ProductsTab->CB_Context_IngSkladClick();
    pump(500);
    shot(Form_Main, QStringLiteral("products_sklad"));
    Form_Main->SetActivePage(Form_Main->Sheet_Setup);
    pump(800);
    shot(Form_Main, QStringLiteral("setup"));

    Form_Firma->NewMode = 1;
    Form_Firma->show();
    shot(Form_Firma, QStringLiteral("firma"));
    Form_Firma->hide();
    Form_Main->SetActivePage(Form_Main->Sheet_All_Ing);
    pump(600);
    Form_Ing->NewMode = 1;
    Form_Ing->show();
    shot(Form_Ing, QStringLiteral("ing"));
    Form_Ing->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{Form_Otdel, Form_Ed, Form_GrIng, Form_NSection}) {
        w->show();
        shot(w, w->metaObject()->className());
        w->hide();
    }
    Form_SelectFirma->Prepare(QStringLiteral("Выбор предприятия"), 3);
    Form_SelectFirma->show();
    shot(Form_SelectFirma, QStringLiteral("selectfirma"));
    Form_SelectFirma->hide();
    Form_Main->hide();
}
