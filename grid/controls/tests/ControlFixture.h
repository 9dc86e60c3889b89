// Cell controls in a real grid window (CGXGridWnd, shown offscreen): real mouse and key events
// go through the grid's own input handling to the controls, as in a program. The window also
// hands its mouse moves to a cell-tip helper when a test sets one. Golden images are compared
// with a tolerance.
#pragma once

#include "grid/controls/CGXCellTip.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/tests/GridFixture.h"
#include "testsupport/EventLoopWait.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <functional>

namespace gxtest {

template <class Wnd = CGXGridWnd>
class TestGridWnd : public Wnd {
public:
    CGXCellTips* tips = nullptr;  // handed the mouse moves when set
    bool OnGridMouseMove(unsigned flags, fw::Point pt) override {
        if (tips)
            tips->OnGridMouseMove(pt);
        return Wnd::OnGridMouseMove(flags, pt);
    }
};

template <class Wnd>
class ControlFixtureT : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXInitWithControlFactory();
        wnd_ = std::make_unique<TestGridWnd<Wnd>>();
        wnd_->Create(nullptr, {0, 0, width_, height_}, 0, fw::WS_VISIBLE);
        wnd_->activateWindow();
        QApplication::setActiveWindow(wnd_.get());
        wnd_->Initialize();
        SetTestStandardFont(*wnd_);
        wnd_->SetFocus();
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        wnd_.reset();
        GXTerminateLibrary();
    }
    Wnd& Core() { return *wnd_; }
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
    // Where the keyboard is: the window with the focus (a cell's own window while the cell is
    // edited), else the grid.
    QWidget* Focus() {
        QWidget* w = QApplication::focusWidget();
        return w ? w : wnd_.get();
    }
    // A key, or the keys of each character, sent to where the keyboard is, one at a time.
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(Focus(), key, mods);
        QCoreApplication::processEvents();
    }
    void Type(const char* text) {
        for (const char* p = text; *p; ++p) {
            QTest::keyClick(Focus(), *p);
            QCoreApplication::processEvents();
        }
    }

    int width_ = 400;
    int height_ = 300;
    std::unique_ptr<TestGridWnd<Wnd>> wnd_;
};

using ControlFixture = ControlFixtureT<CGXGridWnd>;

// Runs the event loop until `done` holds, woken by the events that come; true when it
// held within `ms`.
using ixo::testsupport::PumpUntil;

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
