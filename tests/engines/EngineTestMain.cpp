// Test entry of the engines and reports: a core application only, no widgets.

#include "support/UnnotedWrites.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    FailUnnotedWrites();
    return RUN_ALL_TESTS();
}
