// varoda: picks the network card that faces the lighting network and writes ixokolt.cfg.
//   varoda [file.cfg] [-checknum]
#include "adapterpicker/VarodaApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    varoda::CVarodaApp app;
    return app.Run();
}
