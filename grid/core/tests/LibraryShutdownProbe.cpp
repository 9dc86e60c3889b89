// The library shuts itself down while the Qt application object is being destroyed, so nothing it
// holds outlives the toolkit. This runs in a program of its own because it makes and destroys
// its own application object.
#include "grid/core/GXLibraryState.h"

#include <gtest/gtest.h>

#include <QApplication>

namespace {

struct SeesTheApplication : CGXOwnedObject {
    explicit SeesTheApplication(int* seen) : seen_(seen) {}
    ~SeesTheApplication() override { *seen_ = QCoreApplication::instance() ? 1 : 2; }
    int* seen_;
};

struct Factory : CGXAbstractControlFactory {
    explicit Factory(int* seen) : seen_(seen) {}
    std::unique_ptr<CGXControl> CreateCellControl(unsigned, CGXGridCore&) override {
        return nullptr;
    }
    void InstallGridFeatures(CGXGridCore&) override {}
    void InstallApplicationComponents() override {
        GXGetLibraryState().AddOwnedObject(std::make_unique<SeesTheApplication>(seen_));
    }
    void RegisterControlWindowClasses() override {}
    int* seen_;
};

TEST(LibraryShutdown, RunsBeforeTheApplicationIsGone) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    for (int round = 0; round < 2; ++round) {  // and the library starts again afterwards
        int seen = 0;
        {
            int argc = 1;
            char name[] = "probe";
            char* argv[] = {name, nullptr};
            QApplication app(argc, argv);
            GXInitLibrary(std::make_unique<Factory>(&seen));
            EXPECT_TRUE(GXGetLibraryState().m_bInitDone);
            EXPECT_EQ(seen, 0);
        }
        EXPECT_EQ(seen, 1) << round;
        EXPECT_FALSE(GXGetLibraryState().m_bInitDone);
        EXPECT_EQ(GXGetLibraryState().m_pControlFactory, nullptr);
    }
}

}  // namespace
