#include "framework/persist/Clipboard.h"
#include "framework/persist/StringTable.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXNumberFormattingImp.h"
#include "grid/core/CGXSysColorCache.h"
#include "grid/core/GXBitmapResources.h"
#include "grid/core/GXLibraryState.h"
#include "grid/core/tests/GridTestDib.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Tracker : CGXOwnedObject {
    explicit Tracker(int* alive) : alive_(alive) { ++*alive_; }
    ~Tracker() override { --*alive_; }
    int* alive_;
};

// A factory that records what the library asks of it.
struct TestFactory : CGXAbstractControlFactory {
    TestFactory(int* alive, std::vector<std::string>* log) : alive_(alive), log_(log) { ++*alive_; }
    ~TestFactory() override { --*alive_; }
    std::unique_ptr<CGXControl> CreateCellControl(unsigned, CGXGridCore&) override {
        return nullptr;
    }
    void InstallGridFeatures(CGXGridCore&) override {}
    void InstallApplicationComponents() override {
        log_->push_back("components");
        InstallNumberFormattingImp();
        GXGetLibraryState().AddOwnedObject(std::make_unique<Tracker>(alive_));
    }
    void RegisterControlWindowClasses() override {
        // The controls' classes come before the library's own.
        log_->push_back(GXGetClassInfo("GXWND") ? "classes late" : "classes");
        GXRegisterWndClass("GXTESTCONTROL", GX_CS_DBLCLKS);
    }
    int* alive_;
    std::vector<std::string>* log_;
};

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = std::filesystem::temp_directory_path() /
                ("grid_clipformats_" + std::to_string(::getpid()));
        fw::SetClipboardFormatFile(file_);
        GXTerminateLibrary();
    }
    void TearDown() override {
        GXTerminateLibrary();
        fw::SetClipboardFormatFile({});
        std::filesystem::remove(file_);
        GXRemoveBitmapResources();
        fw::ResetSysColors();
    }
    std::filesystem::path file_;
    int alive_ = 0;
    std::vector<std::string> log_;
};

TEST_F(LibraryTest, StartUpFillsTheState) {
    const GX_LIBRARY_STATE& state = GXGetLibraryState();
    EXPECT_FALSE(state.m_bInitDone);
    fw::SetString(20156, "Alles ersetzen");  // the program's own text wins
    GXInitLibrary(std::make_unique<TestFactory>(&alive_, &log_));

    EXPECT_TRUE(state.m_bInitDone);
    EXPECT_EQ(log_, (std::vector<std::string>{"components", "classes"}));
    EXPECT_EQ(alive_, 2);  // the factory and the component it installed
    EXPECT_NE(state.m_pNumberFormattingImp, nullptr);

    char name[32];
    std::snprintf(name, sizeof name, "Grid Styles %08x", GXGetModuleInstance());
    EXPECT_GE(state.m_nClipboardFormat, fw::kFirstPrivateFormat);
    EXPECT_EQ(fw::GetClipboardFormatName(state.m_nClipboardFormat), name);

    EXPECT_EQ(GXLibraryText(20139), "Redoing %1 ...");
    EXPECT_EQ(GXLibraryText(20162), "Move Rows");
    EXPECT_EQ(GXLibraryText(20179), "Move");
    EXPECT_EQ(GXLibraryText(20156), "Alles ersetzen");
    EXPECT_EQ(GXLibraryText(1), "");
    EXPECT_EQ(state.m_strProcessing, "Processing...");
    EXPECT_EQ(state.m_strAbortOperation, "Do you want to abort the operation?");

    unsigned style = 0;
    ASSERT_TRUE(GXGetClassInfo("GXWND", &style));
    EXPECT_EQ(style, 0x400Bu);
    ASSERT_TRUE(GXGetClassInfo("GXNDBLCLKSWND", &style));
    EXPECT_EQ(style, 0x4003u);
    ASSERT_TRUE(GXGetClassInfo("GxMdiFrame", &style));
    EXPECT_EQ(style, 0x4008u);
    EXPECT_TRUE(GXGetClassInfo("GXEDIT"));
    EXPECT_TRUE(GXGetClassInfo("GXTESTCONTROL"));
    ASSERT_TRUE(GXGetClassInfo(state.m_strPopupClass, &style));
    EXPECT_EQ(style, GX_CS_SAVEBITS);

    EXPECT_TRUE(state.m_bWin4);
    EXPECT_FALSE(state.m_bWin32s);
    EXPECT_EQ(state.m_nVersion >> 8, 5u);
    fw::SetString(20156, "Replace All");
}

TEST_F(LibraryTest, StartingTwiceReplacesTheFactoryOnly) {
    int firstAlive = 0;
    GXInitLibrary(std::make_unique<TestFactory>(&firstAlive, &log_));
    const unsigned format = GXGetLibraryState().m_nClipboardFormat;
    GXSetActivationSuppressed(true);
    GXInitLibrary(std::make_unique<TestFactory>(&alive_, &log_));
    EXPECT_EQ(firstAlive, 1);  // its factory is gone, its component stays
    EXPECT_EQ(GXGetLibraryState().m_nClipboardFormat, format);
    EXPECT_EQ(log_.back(), "classes late");  // the library's classes exist: not registered again
    EXPECT_FALSE(GXRegisterWndClass("GXWND", 0));
    EXPECT_TRUE(GXIsActivationSuppressed());
    GXSetActivationSuppressed(false);
}

TEST_F(LibraryTest, ShutDownFreesEverything) {
    GXInitLibrary(std::make_unique<TestFactory>(&alive_, &log_));
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    int grid = 0;
    state.RegisterGridObject(&alive_, reinterpret_cast<CGXGridCore*>(&grid));
    EXPECT_EQ(state.FindGridOfObject(&alive_), reinterpret_cast<CGXGridCore*>(&grid));
    GXTerminateLibrary();
    EXPECT_EQ(alive_, 0);
    EXPECT_FALSE(state.m_bInitDone);
    EXPECT_EQ(state.m_pNumberFormattingImp, nullptr);
    EXPECT_EQ(state.m_pControlFactory, nullptr);
    EXPECT_TRUE(state.m_ownedObjects.empty());
    EXPECT_EQ(state.FindGridOfObject(&alive_), nullptr);
    EXPECT_FALSE(GXGetClassInfo("GXWND"));
    // And it starts again.
    GXInitLibrary(std::make_unique<TestFactory>(&alive_, &log_));
    EXPECT_TRUE(state.m_bInitDone);
    EXPECT_EQ(alive_, 2);
}

TEST_F(LibraryTest, SharedObjectsAndTheirGrids) {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    int a = 0, b = 0, g1 = 0, g2 = 0;
    auto* grid1 = reinterpret_cast<CGXGridCore*>(&g1);
    auto* grid2 = reinterpret_cast<CGXGridCore*>(&g2);
    state.RegisterGridObject(&a, grid1);
    state.RegisterGridObject(&a, grid2);
    state.RegisterGridObject(&a, grid1);
    state.RegisterGridObject(&b, grid2);
    EXPECT_EQ(state.FindGridOfObject(&a), grid1);
    state.RemoveGrid(grid1);
    EXPECT_EQ(state.FindGridOfObject(&a), grid2);
    state.RemoveGrid(grid2);
    EXPECT_TRUE(state.m_gridsOfObject.empty());  // emptied lists are dropped
}

TEST_F(LibraryTest, SystemColourCacheAndItsBitmaps) {
    fw::SetSysColor(fw::COLOR_BTNFACE, fw::Rgb(255, 0, 0));
    const auto dib = gridtest::MakeDib24(
        3, 1, {fw::Rgb(192, 192, 192), fw::Rgb(128, 128, 128), fw::Rgb(1, 2, 3)});
    ASSERT_TRUE(GXRegisterBitmapResource(GXResourceName::Id(20028), dib));
    GXInitLibrary(std::make_unique<TestFactory>(&alive_, &log_));
    const CGXSysColorCache& cache = CGXSysColorCache::Instance();
    EXPECT_EQ(cache.GetColor(fw::COLOR_BTNFACE), fw::Rgb(255, 0, 0));
    EXPECT_EQ(cache.clrBtnFace, fw::Rgb(255, 0, 0));
    EXPECT_EQ(cache.GetColor(fw::COLOR_MENUHILIGHT), fw::GetSysColor(fw::COLOR_MENUHILIGHT));
    ASSERT_FALSE(cache.bitmap20028.IsNull());
    EXPECT_EQ(cache.bitmap20028.GetPixel(0, 0), fw::Rgb(255, 0, 0));
    EXPECT_EQ(cache.bitmap20028.GetPixel(1, 0), fw::GetSysColor(fw::COLOR_BTNSHADOW));
    EXPECT_EQ(cache.bitmap20028.GetPixel(2, 0), fw::Rgb(1, 2, 3));
    EXPECT_TRUE(cache.bitmap20211.IsNull());  // no such resource
}

}  // namespace
