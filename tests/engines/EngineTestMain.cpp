// Test entry of the engines and reports: a core application only, no widgets.

#include "engine/WriteRoad.h"
#include "support/UnnotedWrites.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // A road that writes outside the tables its kind reserves fails its test.
    WriteTransaction::refuseUnreservedWrites = true;
    ::testing::InitGoogleTest(&argc, argv);
    FailUnnotedWrites();
    return RUN_ALL_TESTS();
}
