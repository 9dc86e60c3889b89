// Column headers in fonts turned to several angles, their texts aligned in the header cells.

#include "grid/features/tests/FeatureFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// Compares with the stored image under features/tests/golden; with IXO_UPDATE_GOLDEN set (or no
// image yet) writes it. What the run rendered goes to the build folder.
void ExpectGolden(const QImage& image, const char* name) {
    const QString path = QString(GRID_SOURCE_DIR) + "/features/tests/golden/" + name + ".png";
    const QString seen =
        QString(GRID_FEATURES_BUILD_DIR) + "/grid_features_golden_" + name + ".png";
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

class RotatedText : public FeatureFixture {
protected:
    QImage Paint() {
        QCoreApplication::processEvents();
        wnd_->Invalidate();
        for (int i = 0; i < 3 && wnd_->GetUpdateRect(nullptr); ++i) wnd_->UpdateWindow();
        return wnd_->BackingImage().copy();
    }
};

TEST_F(RotatedText, HeadersTurnedInEachQuadrantAndAligned) {
    struct Header {
        int tenths;
        unsigned horizontal;  // DT_LEFT 0, DT_CENTER 1, DT_RIGHT 2
        unsigned vertical;    // DT_TOP 0, DT_VCENTER 4, DT_BOTTOM 8
        const char* text;
    } headers[] = {
        {450, 0, 0, "Rise 45"},   {1800, 2, 4, "At 180"},   {2700, 1, 0, "Down 270"},
        {3150, 2, 8, "Fall 315"}, {1350, 1, 4, "Back 135"}, {-900, 0, 8, "Minus 90"},
    };
    Core().SetRowHeight(0, 0, 110);
    ROWCOL col = 1;
    for (const Header& h : headers) {
        CGXStyle s;
        s.SetValue(h.text)
            .SetHorizontalAlignment(h.horizontal)
            .SetVerticalAlignment(h.vertical)
            .SetFont(CGXFont().SetOrientation(h.tenths), gxApplyNew);
        Core().SetStyleRange(CGXRange(0, col), &s);
        Core().SetColWidth(col, col, 54);
        ++col;
    }
    ExpectGolden(Paint(), "rotated_headers");
}

}  // namespace
