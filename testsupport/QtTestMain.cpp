// The one main of the Qt test programs: widgets, fonts, images and the clipboard need an
// application object, created before any test runs. The offscreen platform is set here
// too, so a test run outside CTest or inside a network namespace needs no display.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Rendered images are compared pixel by pixel: one device pixel per logical pixel.
    qputenv("QT_SCALE_FACTOR", "1");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
