// Header cells (raised 3-D frame, bitmaps named by their text) and bitmap cells that draw a
// picture held in a variant attribute in record-browsing grids and fall back to text elsewhere.
#include "grid/controls/CGXHeader.h"
#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/controls/tests/ControlFixture.h"
#include "grid/controls/tests/TestBitmaps.h"
#include "grid/core/GXBitmapResources.h"

#include <map>

namespace {

using gxtest::ControlFixture;

class Header : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        Core().SetRowCount(3);
        Core().SetColCount(3);
        Core().SetColWidth(0, 3, 60);
        Core().SetRowHeight(0, 3, 24);
    }
};

TEST_F(Header, HeaderCellsAreRaisedWhenThePropertiesAskFor3dHeaders) {
    ASSERT_NE(Core().GetRegisteredControl(GX_IDS_CTRL_HEADER), nullptr);
    EXPECT_TRUE(Core()
                    .GetRegisteredControl(GX_IDS_CTRL_HEADER)
                    ->IsKindOfControlClass(CGXHeader::kClassInfo));
    Core().GetProperties()->Set3dButtons(true);
    QImage image = RepaintAll();
    const fw::Rect h = Cell(0, 2);
    const QRgb light = image.pixel(h.left + 5, h.top);
    EXPECT_GT(qGray(light), 240);  // the highlight along the top
    gxtest::ExpectGolden(image, "header_3d");
    Core().GetProperties()->Set3dButtons(false);
    image = RepaintAll();
    EXPECT_NE(image.pixel(h.left + 5, h.top), light);
}

TEST_F(Header, AHeaderTextNamingAPoolBitmapShowsTheBitmap) {
    const std::vector<std::uint8_t> file = gxtest::BitmapFile(8, 8, 0x0000FF);
    ASSERT_TRUE(GXRegisterBitmapResource(GXResourceName::Id(7002),
                                         std::span<const std::uint8_t>(file).subspan(14)));
    Core().SetStyleRange(CGXRange(0, 1), &CGXStyle().SetValue(std::string("#BMP(7002)")));
    const QImage image = RepaintAll();
    const fw::Rect h = Cell(0, 1);
    EXPECT_EQ(image.pixel((h.left + h.right) / 2, (h.top + h.bottom) / 2) & 0xFFFFFF, 0xFF0000u);
}

// A record-browsing grid that caches the decoded pictures per cell.
class BrowserGrid : public CGXGridCore, public CGXBrowserBitmapCache {
public:
    using CGXGridCore::CGXGridCore;
    const fw::Dib* GetCellBitmap(ROWCOL row, ROWCOL col) override {
        ++asked;
        auto it = cache.find({row, col});
        return it == cache.end() ? nullptr : &it->second;
    }
    bool TakeCellBitmap(ROWCOL row, ROWCOL col, fw::Dib bitmap) override {
        ++taken;
        cache[{row, col}] = std::move(bitmap);
        return true;
    }
    std::map<std::pair<ROWCOL, ROWCOL>, fw::Dib> cache;
    int asked = 0;
    int taken = 0;
};

template <class Core>
QImage PaintPictureCell(GridHost<Core>& wnd, fw::Rect& cell) {
    wnd.Create(nullptr, {0, 0, 200, 100}, 0, fw::WS_VISIBLE);
    Core& core = wnd.GetCore();
    core.OnGridInitialUpdate();
    SetTestStandardFont(core);
    core.SetRowCount(2);
    core.SetColCount(2);
    core.SetColWidth(1, 1, 80);
    core.SetRowHeight(1, 1, 40);
    auto picture = GXCreateOleVarUserAttribute();
    picture->SetVariant(GXVariant::FromBytes(gxtest::BitmapFile(10, 10, 0x00FF00)));
    CGXStyle style;
    style.SetControl(static_cast<std::uint16_t>(GX_IDS_CTRL_DAOBITMAP))
        .SetValue(std::string("text"))
        .SetHorizontalAlignment(fw::DT_CENTER)
        .SetVerticalAlignment(fw::DT_VCENTER)
        .SetUserAttributePtr(GX_IDS_UA_DAOBITMAP, std::move(picture));
    core.SetStyleRange(CGXRange(1, 1), &style);
    cell = core.CalcRectFromRowCol(1, 1);
    wnd.Invalidate();
    QCoreApplication::processEvents();
    wnd.UpdateWindow();
    return wnd.BackingImage().copy();
}

TEST(DaoBitmap, DrawsThePictureInABrowsingGridAndTextElsewhere) {
    GXTerminateLibrary();
    GXInitWithControlFactory();
    fw::Rect cell;
    {
        GridHost<BrowserGrid> wnd;
        const QImage image = PaintPictureCell(wnd, cell);
        const QPoint centre((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        EXPECT_EQ(image.pixel(centre) & 0xFFFFFF, 0x00FF00u);
        ASSERT_GE(wnd.GetCore().taken, 1);
        ASSERT_EQ(wnd.GetCore().cache.size(), 1u);
        // The grid's cached picture is what the next paint draws.
        auto blue = fw::Dib::ParseFile(gxtest::BitmapFile(10, 10, 0xFF0000));
        ASSERT_TRUE(blue);
        wnd.GetCore().cache.begin()->second = blue.dib;
        wnd.Invalidate();
        wnd.UpdateWindow();
        EXPECT_EQ(wnd.BackingImage().pixel(centre) & 0xFFFFFF, 0x0000FFu);
    }
    {
        GridHost<CGXGridCore> plain;
        const QImage image = PaintPictureCell(plain, cell);
        const QPoint centre((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        EXPECT_NE(image.pixel(centre) & 0xFFFFFF, 0x00FF00u);
        int dark = 0;  // the text "text" is drawn instead
        for (int x = cell.left; x < cell.right; ++x)
            for (int y = cell.top; y < cell.bottom; ++y)
                if (qGray(image.pixel(x, y)) < 100)
                    ++dark;
        EXPECT_GT(dark, 5);
    }
    GXTerminateLibrary();
}

}  // namespace
