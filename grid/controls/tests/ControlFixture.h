// A grid in a real offscreen window whose host routes real mouse and key events to the cell
// controls, as the grid window does: a button press makes the cell under it current and hands
// the press to that cell's control, moves and releases go to the current cell's control, and
// keys to the current cell's control. Golden images are compared with a tolerance.
#pragma once

#include "grid/controls/CGXCellTip.h"
#include "grid/core/tests/GridFixture.h"

#include <QElapsedTimer>

#include <QDir>
#include <QFileInfo>
#include <QTest>

namespace gxtest {

class RoutingHost : public GridHost<CGXGridCore> {
public:
    CGXCellTips* tips = nullptr;  // handed the mouse moves when set

    // The cell under a client point; false outside every cell.
    bool CellAt(fw::Point p, ROWCOL& row, ROWCOL& col) {
        CGXGridCore& core = GetCore();
        for (ROWCOL r = 0; r <= core.GetRowCount(); ++r)
            for (ROWCOL c = 0; c <= core.GetColCount(); ++c)
                if (core.CalcRectFromRowCol(r, c).Contains(p)) {
                    row = r;
                    col = c;
                    return true;
                }
        return false;
    }
    CGXControl* Current() {
        ROWCOL r, c;
        if (!GetCore().GetCurrentCell(r, c))
            return nullptr;
        return GetCore().GetControl(r, c);
    }

protected:
    void OnLButtonDown(fw::UINT flags, fw::Point p) override {
        ROWCOL row, col;
        if (!CellAt(p, row, col))
            return;
        if (!GetCore().IsCurrentCell(row, col))
            GetCore().SetCurrentCell(row, col);
        SetCapture();
        if (CGXControl* c = Current())
            c->LButtonDown(flags, p, 0);
    }
    void OnLButtonUp(fw::UINT flags, fw::Point p) override {
        ReleaseCapture();
        if (CGXControl* c = Current())
            c->LButtonUp(flags, p, 0);
    }
    void OnLButtonDblClk(fw::UINT flags, fw::Point p) override {
        if (CGXControl* c = Current())
            c->LButtonDblClk(flags, p);
    }
    void OnMouseMove(fw::UINT flags, fw::Point p) override {
        if (tips)
            tips->OnGridMouseMove(p);
        if (CGXControl* c = Current())
            c->MouseMove(flags, p);
    }
    bool OnKeyDown(fw::UINT vk, fw::UINT repeat, fw::UINT flags) override {
        CGXControl* c = Current();
        return c && c->ProcessKeys(fw::WM_KEYDOWN, vk, repeat, flags);
    }
    bool OnSysKeyDown(fw::UINT vk, fw::UINT repeat, fw::UINT flags) override {
        CGXControl* c = Current();
        return c && c->ProcessKeys(fw::WM_SYSKEYDOWN, vk, repeat, flags);
    }
    bool OnChar(fw::UINT ch, fw::UINT repeat, fw::UINT flags) override {
        CGXControl* c = Current();
        return c && c->ProcessKeys(fw::WM_CHAR, ch, repeat, flags);
    }
};

class ControlFixture : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXInitWithControlFactory();
        wnd_ = std::make_unique<RoutingHost>();
        wnd_->Create(nullptr, {0, 0, width_, height_}, 0, fw::WS_VISIBLE);
        wnd_->activateWindow();
        QApplication::setActiveWindow(wnd_.get());
        wnd_->SetFocus();
        Core().OnGridInitialUpdate();
        SetTestStandardFont(Core());
    }
    void TearDown() override {
        wnd_.reset();
        GXTerminateLibrary();
    }
    CGXGridCore& Core() { return wnd_->GetCore(); }
    QImage Paint() {
        QCoreApplication::processEvents();
        for (int i = 0; i < 3 && wnd_->GetUpdateRect(nullptr); ++i) wnd_->UpdateWindow();
        return wnd_->BackingImage().copy();
    }
    QImage RepaintAll() {
        wnd_->Invalidate();
        return Paint();
    }
    QPoint At(fw::Point p) const { return QPoint(p.x, p.y); }
    fw::Rect Cell(ROWCOL row, ROWCOL col) { return Core().CalcRectFromRowCol(row, col); }
    // The cell's style composed now (the grid's lookup keeps styles until its next paint).
    std::unique_ptr<CGXStyle> Style(ROWCOL row, ROWCOL col) {
        std::unique_ptr<CGXStyle> s = Core().CreateStyle();
        Core().ComposeStyleRowCol(row, col, s.get());
        return s;
    }
    std::string Value(ROWCOL row, ROWCOL col) {
        const std::unique_ptr<CGXStyle> s = Style(row, col);
        return s->GetIncludeValue() ? s->GetValue() : std::string();
    }
    void Click(fw::Point p) {
        QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(p));
        QCoreApplication::processEvents();
    }

    int width_ = 400;
    int height_ = 300;
    std::unique_ptr<RoutingHost> wnd_;
};

// Runs the event loop until `done` holds, at most `ms` milliseconds; true when it held.
inline bool PumpUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Compares with the stored image under controls/tests/golden; with IXO_UPDATE_GOLDEN set (or no
// image yet) writes it. What the run rendered goes to the build folder.
inline void ExpectGolden(const QImage& image, const char* name) {
    const QString path = QString(GRID_SOURCE_DIR) + "/controls/tests/golden/" + name + ".png";
    const QString seen = QString(GRID_BUILD_DIR) + "/grid_controls_golden_" + name + ".png";
    image.save(seen);
    if (qEnvironmentVariableIsSet("IXO_UPDATE_GOLDEN") || !QFile::exists(path)) {
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(image.save(path)) << path.toStdString();
        if (!qEnvironmentVariableIsSet("IXO_UPDATE_GOLDEN"))
            ADD_FAILURE() << "no golden image yet; written to " << path.toStdString();
        return;
    }
    const QImage golden = QImage(path).convertToFormat(image.format());
    const int differing = CountDiffering(image, golden);
    EXPECT_LE(differing, image.width() * image.height() / 300)
        << name << ": " << differing << " pixels differ; see " << seen.toStdString();
}

}  // namespace gxtest
