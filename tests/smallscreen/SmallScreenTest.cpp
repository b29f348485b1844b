// The program on a 1024 x 768 screen: the main window's tabs and the main
// dialogs fit it.

#include "../catalogue/CatalogueFixture.h"

#include "support/ReportDialogs.h"
#include "support/WindowsFit.h"

TEST(SmallScreen, TheMainWindowEveryTabAndTheMainDialogsFitTheScreen)
{
    CatEnv env;
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(), QSize(1024, 768)) << "the screen of the test's fixture";
    env.firma(QStringLiteral("Кафе «У Д'Артаньяна» на Большой Садовой улице"));
    windowsfit::expectTabsFit();
    windowsfit::expectDialogsFit();
    windowsfit::expectDialogsFit(windowsfit::reportDialogs());
}

// The names a choice puts in a report dialog's panels can be as long as the
// database holds them: the panel cuts them, the dialog stays on the screen.
TEST(SmallScreen, LongNamesInTheReportDialogsKeepThemOnTheScreen)
{
    CatEnv env;
    const auto dialogs = windowsfit::reportDialogs();
    const QString longName = QStringLiteral("Общество с ограниченной ответственностью «Кафе "
                                            "„У Д'Артаньяна“ на Большой Садовой улице, дом 302-бис»")
                                 .repeated(3);
    for (QLabel* panel : {Form_PrintKarta->P_Firma, Form_PrintKarta->P_Otdel, Form_Stat->P_NameFirma,
                          Form_Stat->P_NameOtdel, Form_Oborotka->P_NameFirma, Form_Oborotka->P_NameOtdel,
                          Form_Oborotka->P_Ing})
        panel->setText(longName);
    windowsfit::expectDialogsFit(dialogs);
}
