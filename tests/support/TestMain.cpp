// Test entry: a Qt application (headless unless a display is asked for) around GoogleTest.

#include "engine/WriteRoad.h"
#include "costing/LiteralRoad.h"
#include "support/ListTables.h"
#include "support/UnnotedWrites.h"
#include "util/Messages.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A road that writes outside the tables its kind reserves fails its test.
    WriteTransaction::refuseUnreservedWrites = true;
    // So does one that shows a message or a window while its road is open.
    Msg::refuseInsideRoad = true;
    costing::InstallLiteralRoad();
    ::testing::InitGoogleTest(&argc, argv);
    FailUnnotedWrites();
    CheckListTables();
    return RUN_ALL_TESTS();
}
