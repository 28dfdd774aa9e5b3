#include <gtest/gtest.h>

#include <QApplication>

#include "support/ui/testenv.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new TUiTestEnvironment);
    return RUN_ALL_TESTS();
}
