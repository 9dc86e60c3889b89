// The frame around the current cell follows the "Current Cell." user property of the grid's
// properties: inverted bands one or two pixels wide, a black border one or two pixels wide, or
// nothing. The cell's interior is yellow, so an inverted pixel (blue) and a border pixel
// (black) tell apart. A picture of the five choices goes to the build folder.
#include "grid/controls/tests/ControlFixture.h"
#include "grid/core/CGXProperties.h"

#include <QPainter>

namespace {

constexpr COLORREF kYellow = 0x00FFFF;  // the colour word: red and green
const QRgb kYellowPixel = qRgb(255, 255, 0);
const QRgb kInverted = qRgb(0, 0, 255);
const QRgb kBlack = qRgb(0, 0, 0);

class CurrentCellFrameTest : public gxtest::ControlFixtureT<CGXGridWnd> {
protected:
    void SetUp() override {
        ControlFixtureT::SetUp();
        Core().SetRowCount(4);
        Core().SetColCount(3);
        Core().SetStyleRange(CGXRange(1, 1, 4, 3), &CGXStyle().SetInterior(kYellow));
        Core().SetColWidth(1, 3, 80);
    }
    void Choose(const std::string& choice) {
        auto style = std::make_unique<CGXStyle>();
        style->SetValue(choice);
        CGXProperties* props = Core().GetProperties();
        props->m_userProperties[GX_IDS_UA_CURRENTCELL] = {"Current Cell.", std::move(style)};
    }
    // The two pixels inside the cell's left edge and the two above its bottom edge, at the
    // middle of the other direction.
    std::array<QRgb, 4> EdgePixels(const QImage& img, ROWCOL row, ROWCOL col) {
        fw::Rect inner = Cell(row, col);
        Core().SubtractBorders(inner, *Style(row, col), true);
        const int midY = (inner.top + inner.bottom) / 2, midX = (inner.left + inner.right) / 2;
        return {img.pixel(inner.left, midY), img.pixel(inner.left + 1, midY),
                img.pixel(midX, inner.bottom - 1), img.pixel(midX, inner.bottom - 2)};
    }
};

TEST_F(CurrentCellFrameTest, EachChoiceDrawsItsFrame) {
    const struct {
        const char* choice;
        std::array<QRgb, 4> edge;  // left edge, one further in, bottom edge, one further up
    } cases[] = {
        {"Invert Thin.", {kInverted, kYellowPixel, kInverted, kYellowPixel}},
        {"Invert Thick.", {kInverted, kInverted, kInverted, kInverted}},
        {"Thin Border.", {kBlack, kYellowPixel, kBlack, kYellowPixel}},
        {"Thick Border.", {kBlack, kBlack, kBlack, kBlack}},
        {"No Border.", {kYellowPixel, kYellowPixel, kYellowPixel, kYellowPixel}},
        {"something else", {kInverted, kYellowPixel, kInverted, kYellowPixel}},
    };
    QImage picture(5 * 140, 110, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    int shot = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.choice);
        Choose(c.choice);
        ASSERT_TRUE(Core().SetCurrentCell(2, 2));
        const QImage img = RepaintAll();
        EXPECT_EQ(EdgePixels(img, 2, 2), c.edge);
        // A cell that is not current has no frame.
        EXPECT_EQ(EdgePixels(img, 3, 3),
                  (std::array<QRgb, 4>{kYellowPixel, kYellowPixel, kYellowPixel, kYellowPixel}));
        if (shot < 5) {
            // The current cell with a margin of its neighbours.
            const fw::Rect r = Cell(2, 2);
            painter.drawImage(QPoint(shot * 140 + 4, 4),
                              img.copy(r.left - 20, r.top - 20, r.Width() + 40, r.Height() + 40));
            painter.drawText(QPoint(shot * 140 + 4, 104), c.choice);
            ++shot;
        }
    }
    painter.end();
    const QString path = QString(GRID_BUILD_DIR) + "/grid_current_cell_frames.png";
    ASSERT_TRUE(picture.save(path)) << path.toStdString();
}

}  // namespace
