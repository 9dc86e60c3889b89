// A grid window (CGXGridWnd) with the feature factory's features installed and an editing
// control on every cell, driven by real key and mouse events; golden images of what it shows
// are kept in grid/features/tests/golden.
#pragma once

#include "grid/core/CGXGridWnd.h"
#include "grid/core/tests/GridWndFixture.h"
#include "grid/features/GXFeatureInstall.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

class LayoutWndFixture : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXInitWithFeatures();
        wnd_ = std::make_unique<CGXGridWnd>();
        wnd_->Create(nullptr, {0, 0, 400, 240}, 0, fw::WS_VISIBLE);
        wnd_->Initialize();
        SetTestStandardFont(*wnd_);
        wnd_->SetRowCount(12, 0);
        wnd_->SetColCount(6, 0);
        auto edit = std::make_unique<TestEditControl>(wnd_.get());
        edit_ = edit.get();
        wnd_->RegisterControl(TestEditControl::kId, std::move(edit));
        CGXStyle style;
        style.SetControl(static_cast<std::uint16_t>(TestEditControl::kId));
        wnd_->SetStyleRange(CGXRange().SetTable(), &style, gxOverride, 0, nullptr, 0);
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        wnd_.reset();
        GXTerminateLibrary();
    }
    QImage Paint() {
        QCoreApplication::processEvents();
        for (int i = 0; i < 3 && wnd_->GetUpdateRect(nullptr); ++i) wnd_->UpdateWindow();
        return wnd_->BackingImage().copy();
    }
    QPoint CenterOf(ROWCOL row, ROWCOL col) {
        const fw::Rect r = wnd_->CalcRectFromRowCol(row, col);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void ExpectGolden(const QImage& image, const char* name) {
        const QString path = QString(GRID_FEATURES_SOURCE_DIR) + "/tests/golden/" + name + ".png";
        const QString seen = QString(GRID_FEATURES_BUILD_DIR) + "/grid_golden_" + name + ".png";
        image.save(seen);
        if (qEnvironmentVariableIsSet("IXO_UPDATE_GOLDEN") || !QFile::exists(path)) {
            QDir().mkpath(QFileInfo(path).path());
            ASSERT_TRUE(image.save(path));
            if (!qEnvironmentVariableIsSet("IXO_UPDATE_GOLDEN"))
                ADD_FAILURE() << "no golden image yet; written to " << path.toStdString();
            return;
        }
        const QImage golden = QImage(path).convertToFormat(image.format());
        const int differing = CountDiffering(image, golden);
        EXPECT_LE(differing, image.width() * image.height() / 300)
            << name << ": " << differing << " pixels differ; see " << seen.toStdString();
    }
    std::unique_ptr<CGXGridWnd> wnd_;
    TestEditControl* edit_ = nullptr;
};
