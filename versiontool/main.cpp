// quillon: lists the devices on the lighting network with their network and application
// versions, and sends them the update and discovery commands.
#include <QApplication>

#include "versiontool/VersionToolApp.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    quillon::CVersionToolApp app;
    return app.Run();
}
