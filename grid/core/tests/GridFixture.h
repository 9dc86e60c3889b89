// A grid core in a real (offscreen) framework window, with the library started with the control
// factory and the standard font set to the bundled DejaVu Sans, so that sizes and pixels are
// the same on every machine.
#pragma once

#include "grid/controls/CGXControlFactory.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXLibraryState.h"
#include "grid/examples/GridHostWindow.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>

#include <cstdlib>
#include <memory>

inline void SetTestStandardFont(CGXGridCore& core) {
    CGXStyle font;
    font.SetFont(CGXFont().SetFaceName("DejaVu Sans").SetSize(9));
    core.ChangeStandardStyle(font, gxOverride, 0);
}

// Images compare equal when no pixel differs by more than `tolerance` in any channel,
// except at most `allowed` pixels (anti-aliased text may shift by a shade).
inline int CountDiffering(const QImage& a, const QImage& b, int tolerance = 48) {
    if (a.size() != b.size())
        return a.width() * a.height() + 1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > tolerance ||
                std::abs(qGreen(p) - qGreen(q)) > tolerance ||
                std::abs(qBlue(p) - qBlue(q)) > tolerance)
                ++n;
        }
    return n;
}

template <class CoreT>
class GridFixtureT : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXInitWithControlFactory();
        wnd_ = std::make_unique<GridHost<CoreT>>();
        wnd_->Create(nullptr, {0, 0, width_, height_}, 0, fw::WS_VISIBLE);
        Core().OnGridInitialUpdate();
        SetTestStandardFont(Core());
    }
    void TearDown() override {
        wnd_.reset();
        GXTerminateLibrary();
    }
    CoreT& Core() { return wnd_->GetCore(); }
    CGXGridParam& Param() { return *Core().GetParam(); }
    // Paints what is invalid and answers the window's image.
    QImage Paint() {
        // Pending window events first (the first show, sizes), as a running program has them.
        QCoreApplication::processEvents();
        // A paint that shows or hides a scroll bar asks for another one.
        for (int i = 0; i < 3 && wnd_->GetUpdateRect(nullptr); ++i) wnd_->UpdateWindow();
        return wnd_->BackingImage().copy();
    }
    QImage RepaintAll() {
        wnd_->Invalidate();
        return Paint();
    }

    int width_ = 400;
    int height_ = 300;
    std::unique_ptr<GridHost<CoreT>> wnd_;
};

using GridFixture = GridFixtureT<CGXGridCore>;
