// Qt's own dialogs speak Russian: the translations the program installs at start.

#include "Program.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

TEST(QtTranslations, TheFileDialogsTextsAreRussian)
{
    ASSERT_TRUE(LoadQtTranslations(*QCoreApplication::instance()))
        << "qtbase_ru.qm is missing: scripts/install-deps installs qt6-translations-l10n";
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), QStringLiteral("&Открыть"));
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder", "All other platforms"), QStringLiteral("Папка"));
    // The other tests see Qt's texts as they were.
    for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}
