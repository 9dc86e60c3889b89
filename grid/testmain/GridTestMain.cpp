// The one main of the grid test programs: fonts, images and windows need a Qt application,
// created before any test runs (on the offscreen platform under CTest).
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
