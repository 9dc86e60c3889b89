// The one main of the Qt test programs: widgets, fonts, images and the clipboard need an
// application object, created before any test runs. The offscreen platform is set here
// too, so a test run outside CTest or inside a network namespace needs no display.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
