// The OLE preview cell in a real grid window: its button's place, the viewer a click on it
// opens, the second click's message, the refusal of data that is not an object, Delete and
// leaving the cell, and which grids the factory makes it for.
#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/tests/GridFixture.h"
#include "grid/extras/CGXExtrasControlFactory.h"
#include "grid/extras/CGXOlePreview.h"
#include "grid/extras/tests/ExtrasTestSupport.h"

#include "framework/dialogs/MessageBox.h"
#include "framework/window/VirtualKeys.h"

#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class BrowsingGridWnd : public CGXGridWnd, public CGXOleBrowsingGrid {
public:
    std::vector<std::pair<ROWCOL, ROWCOL>> prepared;
    void PrepareOleViewer(CGXGenericViewerImpl&, ROWCOL row, ROWCOL col) override {
        prepared.emplace_back(row, col);
    }
};

GXVariant Stored(const std::string& name, const std::string& progId) {
    GXOleStoredObject o;
    o.userTypeName = name;
    o.progId = progId;
    o.objectStream = {0x01, 0x05, 0x00, 0x00};
    return GXVariant::FromBytes(GXEncodeOleObject(o));
}

class OlePreview : public ::testing::Test {
protected:
    std::vector<std::string> boxes;
    fw::MessageBoxHook oldHook;
    std::unique_ptr<BrowsingGridWnd> wnd;

    void SetUp() override {
        oldHook = fw::SetMessageBoxHook([this](const fw::MessageBoxRequest& r) {
            boxes.push_back(r.text);
            return std::optional<int>(r.DefaultAnswer());
        });
        GXTerminateLibrary();
        GXInitWithExtras();
        wnd = std::make_unique<BrowsingGridWnd>();
        wnd->Create(nullptr, {0, 0, 360, 200}, 0, fw::WS_VISIBLE);
        wnd->activateWindow();
        QApplication::setActiveWindow(wnd.get());
        wnd->Initialize();
        SetTestStandardFont(*wnd);
        wnd->SetFocus();
        wnd->SetRowCount(5);
        wnd->SetColCount(2);
        wnd->SetColWidth(1, 2, 140);
        wnd->SetRowHeight(1, 5, 22);
        wnd->SetRowHeight(4, 4, 10);
        SetObject(1, Stored("Bitmap Image", "Paint.Picture"));
        SetObject(2, GXVariant::FromBytes(std::vector<std::uint8_t>{0x16, 0x1C, 20, 0, 2, 0}));
        SetObject(3, GXVariant());
        SetObject(4, Stored("Document", "Word.Document"));
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        wnd.reset();
        GXTerminateLibrary();
        fw::SetMessageBoxHook(oldHook);
    }
    void SetObject(ROWCOL row, const GXVariant& v) {
        auto attr = GXCreateOleVarUserAttribute();
        ASSERT_TRUE(attr->SetVariant(v));
        CGXStyle style;
        style.SetControl(GX_IDS_CTRL_OLEPREVIEW)
            .SetValue(std::string("Object ") + std::to_string(row))
            .SetUserAttributePtr(GX_IDS_UA_OLEOBJECT, std::move(attr));
        wnd->SetStyleRange(CGXRange(row, 1), &style);
    }
    CGXOlePreview* Control() {
        return dynamic_cast<CGXOlePreview*>(wnd->GetRegisteredControl(GX_IDS_CTRL_OLEPREVIEW));
    }
    GXVariant CellObject(ROWCOL row) {
        std::unique_ptr<CGXStyle> s = wnd->CreateStyle();
        wnd->ComposeStyleRowCol(row, 1, s.get());
        const auto* a =
            dynamic_cast<const CGXOleVarUserAttribute*>(&s->GetUserAttribute(GX_IDS_UA_OLEOBJECT));
        return a && a->GetVariant() ? *a->GetVariant() : GXVariant();
    }
    // Makes the cell current and answers the middle of its button, placed as it is drawn.
    fw::Point Button(ROWCOL row) {
        wnd->SetCurrentCell(row, 1);
        wnd->UpdateWindow();
        const fw::Rect b = Control()->GetButton()->GetRect();
        return {(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    }
    void ClickAt(fw::Point p) {
        QTest::mouseClick(wnd.get(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
        QCoreApplication::processEvents();
    }
};

TEST_F(OlePreview, TheButtonSitsAtTheTopRightAndWidensThePreferredSize) {
    CGXOlePreview* control = Control();
    ASSERT_NE(control, nullptr);
    Button(1);
    const fw::Rect inner = control->CGXStatic::GetCellRect(1, 1);
    EXPECT_EQ(control->GetButton()->GetRect(),
              (fw::Rect{inner.right - 14, inner.top + 1, inner.right - 1, inner.top + 14}));
    EXPECT_LE(control->GetCellRect(1, 1).right, control->GetButton()->GetRect().left);
    // A cell 10 pixels high clips the button and does not move it down.
    Button(4);
    const fw::Rect low = control->CGXStatic::GetCellRect(4, 1);
    EXPECT_EQ(control->GetButton()->GetRect(),
              (fw::Rect{low.right - 14, low.top, low.right - 1, low.bottom}));
    const CGXStyle style;
    CGXStatic plain(wnd.get());
    EXPECT_EQ(control->AddBorders({50, 10}, style).cx, plain.AddBorders({50, 10}, style).cx + 13);
}

TEST_F(OlePreview, AClickOpensTheViewerAndASecondClickShowsTheMessage) {
    ClickAt(Button(1));
    CGXGenericViewerImpl* viewer = Control()->GetOpenViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(GXIsOleViewerOpen());
    EXPECT_EQ(viewer->Object().progId, "Paint.Picture");
    EXPECT_EQ(viewer->Window()->Line(), "Paint.Picture: not supported");
    ASSERT_EQ(wnd->prepared.size(), 1u);
    EXPECT_EQ(wnd->prepared[0], std::make_pair(ROWCOL{1}, ROWCOL{1}));

    ClickAt(Button(1));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "You have already spawned a viewer. Please use this for editing");
    EXPECT_EQ(Control()->GetOpenViewer(), viewer);  // the same viewer, still open

    viewer->Window()->UpdateWindow();
    QImage shot(wnd->BackingImage().width() + viewer->Window()->BackingImage().width() + 8,
                std::max(wnd->BackingImage().height(), viewer->Window()->BackingImage().height()),
                QImage::Format_RGB32);
    shot.fill(Qt::gray);
    {
        QPainter p(&shot);
        p.drawImage(0, 0, wnd->BackingImage());
        p.drawImage(wnd->BackingImage().width() + 8, 0, viewer->Window()->BackingImage());
    }
    EXPECT_TRUE(extras_test::SaveShot(shot, "olepreview"));

    // Copy, cut and paste cannot: there is no OLE clipboard.
    EXPECT_FALSE(Control()->CanCopy() || Control()->CanCut() || Control()->CanPaste());

    // Leaving the cell closes the viewer and clears the library-wide flag.
    QTest::keyClick(wnd.get(), Qt::Key_Down);
    QCoreApplication::processEvents();
    EXPECT_FALSE(viewer->IsOpen());
    EXPECT_FALSE(GXIsOleViewerOpen());
    EXPECT_EQ(Control()->GetOpenViewer(), nullptr);
}

TEST_F(OlePreview, BytesThatAreNotAnObjectAndEmptyCellsAreNotOpened) {
    ClickAt(Button(2));  // starts 16 1C, not 15 1C
    EXPECT_EQ(Control()->GetOpenViewer(), nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "The binary data is not valid.");
    boxes.clear();
    ClickAt(Button(3));
    EXPECT_EQ(Control()->GetOpenViewer(), nullptr);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(GXIsOleViewerOpen());
}

TEST_F(OlePreview, DeleteClearsTheObjectButNotWithCtrl) {
    Button(1);
    QTest::keyClick(wnd.get(), Qt::Key_Delete, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(CellObject(1).GetType(), GXVariant::VT_UI1_ARRAY);
    QTest::keyClick(wnd.get(), Qt::Key_Delete);
    QCoreApplication::processEvents();
    EXPECT_TRUE(CellObject(1).IsEmpty());
    ClickAt(Button(1));
    EXPECT_EQ(Control()->GetOpenViewer(), nullptr);
    EXPECT_TRUE(boxes.empty());
}

TEST(OlePreviewFactory, OnlyABrowsingGridMakesThePreview) {
    GXTerminateLibrary();
    GXInitWithExtras();
    {
        BrowsingGridWnd browser;
        CGXGridWnd plain;
        CGXExtrasControlFactory factory;
        EXPECT_NE(dynamic_cast<CGXOlePreview*>(
                      factory.CreateCellControl(GX_IDS_CTRL_OLEPREVIEW, browser).get()),
                  nullptr);
        const auto other = factory.CreateCellControl(GX_IDS_CTRL_OLEPREVIEW, plain);
        EXPECT_EQ(dynamic_cast<CGXOlePreview*>(other.get()), nullptr);
        EXPECT_NE(other, nullptr);
    }
    GXTerminateLibrary();
}

}  // namespace
