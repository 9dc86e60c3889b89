// The OLE viewer: what it opens, what it refuses, and its client site's reference counting.
#include "grid/extras/CGXOleViewer.h"
#include "grid/extras/tests/ExtrasTestSupport.h"

#include "framework/dialogs/MessageBox.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::uint8_t> StoredObject(const std::string& name, const std::string& progId) {
    GXOleStoredObject o;
    o.userTypeName = name;
    o.progId = progId;
    o.objectStream = {1, 2, 3};
    return GXEncodeOleObject(o);
}

class OleViewerTest : public ::testing::Test {
protected:
    std::vector<std::string> boxes;
    fw::MessageBoxHook old;
    void SetUp() override {
        old = fw::SetMessageBoxHook([this](const fw::MessageBoxRequest& r) -> std::optional<int> {
            boxes.push_back(r.text);
            return r.DefaultAnswer();
        });
    }
    void TearDown() override { fw::SetMessageBoxHook(old); }
};

TEST_F(OleViewerTest, ShowsTheClassNameAndNotSupported) {
    CGXGenericViewerImpl viewer;
    const GXVariant data = GXVariant::FromBytes(StoredObject("Bitmap Image", "Paint.Picture"));
    EXPECT_TRUE(CGXGenericViewerImpl::HoldsObject(data));
    ASSERT_EQ(viewer.Open(data, nullptr), CGXOleViewer::OpenResult::kOpened);
    ASSERT_NE(viewer.Window(), nullptr);
    EXPECT_EQ(viewer.Window()->Line(), "Paint.Picture: not supported");
    EXPECT_TRUE(boxes.empty());
    viewer.Window()->UpdateWindow();
    ASSERT_TRUE(extras_test::SaveShot(viewer.Window()->BackingImage().copy(), "oleviewer"));
    // A second request shows 20206 and keeps the one viewer.
    EXPECT_EQ(viewer.Open(data, nullptr), CGXOleViewer::OpenResult::kAlreadyOpen);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "You have already spawned a viewer. Please use this for editing");
    EXPECT_FALSE(viewer.CanCopy() || viewer.CanCut() || viewer.CanPaste());
    viewer.Close();
    EXPECT_FALSE(viewer.IsOpen());
}

TEST_F(OleViewerTest, EmptyNullAndInvalidData) {
    CGXGenericViewerImpl viewer;
    EXPECT_EQ(viewer.Open(GXVariant(), nullptr), CGXOleViewer::OpenResult::kNoObject);
    EXPECT_FALSE(CGXGenericViewerImpl::HoldsObject(GXVariant()));
    EXPECT_TRUE(boxes.empty());
    const std::vector<GXVariant> invalid = {
        GXVariant::FromText("not bytes"),
        GXVariant::FromBytes(std::vector<std::uint8_t>{0x16, 0x1C, 0, 0}),  // not the signature
        GXVariant::FromBytes([] {
            auto b = StoredObject("x", "Cls");
            b.resize(24);  // cut inside the program id
            return b;
        }()),
    };
    for (const GXVariant& v : invalid) {
        boxes.clear();
        EXPECT_EQ(viewer.Open(v, nullptr), CGXOleViewer::OpenResult::kInvalidData);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], "The binary data is not valid.");
        EXPECT_FALSE(viewer.IsOpen());
    }
}

TEST(OleClientSite, ReleaseAnswersZeroAfterFreeingItself) {
    const unsigned before = CGXClientSite::destroyed;
    auto* site = new CGXClientSite(nullptr);
    EXPECT_EQ(site->QueryInterface("IOleClientSite"), site);
    EXPECT_EQ(site->QueryInterface("IStorage"), nullptr);
    EXPECT_EQ(site->AddRef(), 3u);
    EXPECT_EQ(site->Release(), 2u);
    EXPECT_EQ(site->Release(), 1u);
    EXPECT_EQ(CGXClientSite::destroyed, before);
    EXPECT_EQ(site->Release(), 0u);
    EXPECT_EQ(CGXClientSite::destroyed, before + 1);

    const unsigned sinks = CGXAdviseSink::destroyed;
    CGXGenericViewerImpl viewer;
    {
        auto old = fw::SetMessageBoxHook(
            [](const fw::MessageBoxRequest& r) -> std::optional<int> { return r.DefaultAnswer(); });
        ASSERT_EQ(viewer.Open(GXVariant::FromBytes(StoredObject("", "Pkg")), nullptr),
                  CGXOleViewer::OpenResult::kOpened);
        fw::SetMessageBoxHook(old);
    }
    viewer.Close();  // the viewer lets go of its site and sink: both free themselves
    EXPECT_EQ(CGXAdviseSink::destroyed, sinks + 1);
    CGXViewerManager manager;
    EXPECT_EQ(&manager.GetViewer(3), &manager.GetViewer(3));
    EXPECT_NE(&manager.GetViewer(3), &manager.GetViewer(4));
    EXPECT_EQ(manager.GetCount(), 2u);
}

}  // namespace
