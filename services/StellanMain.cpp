#include "services/Stellan.h"

int main(int argc, char** argv) {
    return StellanMain(argc, argv);
}
