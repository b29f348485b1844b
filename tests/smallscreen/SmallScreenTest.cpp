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
