#include "framework/persist/Archive.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylePtrArray.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/CGXSysColorCache.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXGridDocSerializeImp.h"
#include "grid/features/CGXGridParamCopyOperatorImp.h"
#include "grid/features/CGXSpanCellPools.h"
#include "grid/features/tests/ParamArchiveFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

class DocSerializeTest : public gxtest::ParamArchiveFixture {};

void Append(Bytes& b, std::initializer_list<std::uint8_t> more) {
    b.insert(b.end(), more);
}

// The parameter object as constructed, record by record.
Bytes DefaultParamBytes() {
    Bytes b = {0x0A, 0x00};                           // schema 10
    Append(b, {1, 1, 0, 1, 1, 1});                    // options, undo enabled, two options
    Append(b, {0, 1});                                // the third and second option again
    Append(b, {1, 1});                                // move columns, move rows
    Append(b, {0, 0, 0, 0});                          // owns nothing
    Append(b, {0, 0, 1, 1});                          // two options, two BOOL options
    Append(b, {0xFF, 0x00, 0xB2, 0x00, 0xB2, 0x00});  // selection and tracking masks
    Append(b, {0, 0, 0, 0, 0, 0, 0, 0});              // two option words
    Append(b, {0x10, 0x27, 0, 0, 0xB0, 0x04, 0, 0});  // 10000, 1200
    Append(b, {0x00});                                // empty text
    Append(b, {1, 0, 2, 0, 0, 0, 0, 0, 0, 0});        // five WORD options
    Append(b, {0, 0, 0, 0, 0, 0, 0, 0});              // two DWORD options
    for (int list = 0; list < 2; ++list) Append(b, {0x01, 0x00, 0, 0, 0, 0});  // empty lists
    Append(b, {0x01, 0x00, 0, 0, 0, 0, 0x78, 0x05, 0, 0});                     // row 0: 1400
    Append(b, {0x01, 0x00, 0, 0, 0, 0, 0x70, 0x17, 0, 0});                     // column 0: 6000
    for (int list = 0; list < 2; ++list) Append(b, {0x01, 0x00, 0, 0, 0, 0});
    Append(b, {0x01});                                            // schema 2
    Append(b, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});        // schema 3
    Append(b, {0x00, 0x00});                                      // schema 4: selection mode
    Append(b, {0x00, 0x04, 0x00, 0x00, 0x02, 0x00, 0x00});        // schema 5
    Append(b, {0, 0, 0, 0, 0});                                   // schema 6: five options
    Append(b, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // words and null pools
    Append(b, {0, 0, 0});                                         // schema 8
    Append(b, {0, 0});                                            // schema 9
    Append(b, {0});                                               // schema 10
    return b;
}
// Bytes of the options after the schema-5 part of the record.
constexpr std::size_t kAfterSchema5 = 5 + 16 + 3 + 2 + 1;

TEST_F(DocSerializeTest, ADefaultParameterObjectHasTheRecordOfItsDefaults) {
    CGXGridParam param;
    const Bytes expect = DefaultParamBytes();
    EXPECT_EQ(Store(param), expect);
    CGXGridParam back;
    back.m_wAllowSelection = 0;
    back.m_awOptions = {9, 9, 9, 9, 9};
    Load(back, expect);
    EXPECT_EQ(back.m_wAllowSelection, 0xFF);
    EXPECT_EQ(back.m_awOptions, (std::array<std::uint16_t, 5>{1, 2, 0, 0, 0}));
}

TEST_F(DocSerializeTest, AnOlderSchemaLoadsWithoutTheLaterOptions) {
    Bytes b = DefaultParamBytes();
    b.resize(b.size() - kAfterSchema5);
    b[0] = 5;
    CGXGridParam back;
    back.m_nEnterKeyAction = 3;
    back.m_bLockHeaderSize = true;
    back.m_wOption4 = 0;
    Load(back, b);
    EXPECT_EQ(back.m_nEnterKeyAction, 3);  // schema 9
    EXPECT_TRUE(back.m_bLockHeaderSize);   // schema 6
    EXPECT_EQ(back.m_wOption4, 4);         // schema 5 is read
}

TEST_F(DocSerializeTest, ASchemaAboveTheCurrentOneIsRefused) {
    struct Case {
        const char* what;
        std::function<void(fw::Archive&)> load;
        std::uint8_t schema;
    };
    CGXGridParam param;
    CGXStylesMap map;
    CGXProperties props;
    CGXData data;
    const Case cases[] = {
        {"parameter", [&](fw::Archive& ar) { param.Serialize(ar); }, 11},
        {"styles map", [&](fw::Archive& ar) { map.Serialize(ar); }, 3},
        {"properties", [&](fw::Archive& ar) { props.Serialize(ar); }, 5},
        {"cell store", [&](fw::Archive& ar) { data.Serialize(ar); }, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes b = {c.schema, 0x00, 0, 0, 0, 0, 0, 0, 0, 0};
        fw::Archive ar(fw::LoadFrom{b});
        try {
            c.load(ar);
            ADD_FAILURE() << "loaded";
        } catch (const fw::ArchiveException& e) {
            EXPECT_EQ(e.cause, fw::ArchiveCause::BadSchema);
        }
    }
}

TEST_F(DocSerializeTest, ACellArrayWritesOnlyItsSetElements) {
    CGXStylePtrArrayPtrArray cells;
    cells.SetSize(6);
    cells.ElementAt(0) = std::make_unique<CGXStylePtrArray>();
    cells.ElementAt(5) = std::make_unique<CGXStylePtrArray>();
    const Bytes empty = {0x01, 0x00, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    Bytes expect = {0x01, 0x00, 0x06, 0, 0, 0, 0, 0, 0, 0};
    expect.insert(expect.end(), empty.begin(), empty.end());
    Append(expect, {0x05, 0, 0, 0});
    expect.insert(expect.end(), empty.begin(), empty.end());
    Append(expect, {0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(Store(cells), expect);

    CGXStylePtrArrayPtrArray back;
    Load(back, expect);
    EXPECT_EQ(back.GetSize(), 6u);
    EXPECT_NE(back.GetAt(0), nullptr);
    EXPECT_EQ(back.GetAt(3), nullptr);
    EXPECT_NE(back.GetAt(5), nullptr);
}

TEST_F(DocSerializeTest, CountsAndIndexesOutsideTheirBoundsAreRefused) {
    struct Case {
        const char* what;
        Bytes bytes;
        fw::ArchiveCause cause;
    };
    const Case cases[] = {
        // An index at the announced count would write past the array.
        {"index at count", {0x01, 0x00, 0x02, 0, 0, 0, 0x02, 0, 0, 0}, fw::ArchiveCause::BadIndex},
        // Four billion rows announced by six bytes.
        {"huge count",
         {0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFE, 0, 0, 0, 0},
         fw::ArchiveCause::TooLarge},
        {"no end mark", {0x01, 0x00, 0x02, 0, 0, 0}, fw::ArchiveCause::EndOfFile},
        {"bad schema",
         {0x02, 0x00, 0x02, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF},
         fw::ArchiveCause::BadSchema},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CGXStylePtrArrayPtrArray cells;
        fw::Archive ar(fw::LoadFrom{c.bytes});
        try {
            cells.Serialize(ar);
            ADD_FAILURE() << "loaded";
        } catch (const fw::ArchiveException& e) {
            EXPECT_EQ(e.cause, c.cause);
        }
    }
}

// A parameter object that owns everything and has something in every part.
std::unique_ptr<CGXGridParam> FullParam() {
    auto p = std::make_unique<CGXGridParam>();
    auto map = std::make_unique<CGXStylesMap>();
    map->CreateStandardStyles();
    CGXStyle mine;
    mine.SetValue("base").SetInterior(CGXBrush().SetColor(fw::Rgb(1, 2, 3)));
    const std::uint16_t mineId = map->RegisterStyle("Mine", mine, false);
    map->m_strSection = "MyStyles";
    p->SetStylesMap(map.release());

    auto data = std::make_unique<CGXData>();
    data->SetRowCount(200);
    data->SetColCount(30);
    CGXStyle cell;
    cell.SetValue("r7c3").SetBaseStyle(mineId);
    data->StoreStyleAt(7, 3, &cell, gxOverride, 0);
    CGXStyle row;
    row.SetTextColor(fw::Rgb(200, 0, 0));
    data->StoreStyleAt(5, 0, &row, gxOverride, gxRowColStyle);
    p->SetData(data.release());

    auto props = std::make_unique<CGXProperties>();
    props->m_nTopMargin = 77;
    props->m_nFirstPage = 3;
    props->m_bPrintColHeaders = false;
    props->SetZoom(150);
    props->m_userProperties[7] = {"Owner", std::make_unique<CGXStyle>()};
    props->m_userProperties[7].style->SetValue("me");
    CGXStyle header;
    header.SetValue("Page $P");
    props->m_pHeader->SetRowCount(1);
    props->m_pHeader->SetColCount(3);
    props->m_pHeader->StoreStyleAt(1, 2, &header, gxOverride, 0);
    p->SetProperties(props.release());
    p->SetPrintDevice(new CGXPrintDevice());

    p->m_CoveredCells.AddTail(CGXRange(2, 2, 3, 4));
    p->m_SelRects.AddTail(CGXRange(10, 1, 12, 5));
    p->m_RowHeights[9] = 2500;
    p->m_ColWidths[4] = 333;
    p->m_sSheetName = "Nodes";
    p->m_bAllowMoveRows = false;
    p->m_wSelectionMode = GX_SELSINGLE;
    p->m_nEnterKeyAction = 2;
    p->m_awOptions[4] = 99;
    p->m_apSpanCellPools[0] = std::make_unique<CGXSpanCellPool>();
    p->m_apDelayedRangePools[1] = std::make_unique<CGXDelayedRangePool>();
    return p;
}

void ExpectSameContent(CGXGridParam& a, CGXGridParam& b) {
    ASSERT_NE(b.GetStylesMap(), nullptr);
    ASSERT_NE(b.GetData(), nullptr);
    ASSERT_NE(b.GetProperties(), nullptr);
    EXPECT_NE(b.GetPrintDevice(), nullptr);
    EXPECT_TRUE(b.m_bOwnStylesMap && b.m_bOwnData && b.m_bOwnProperties && b.m_bOwnPrintDevice);
    CGXStylesMap& map = *b.GetStylesMap();
    EXPECT_EQ(map.m_strSection, "MyStyles");
    const std::uint16_t mineId = map.GetStyleIdFromName("Mine");
    const CGXStyle* mine = nullptr;
    ASSERT_TRUE(map.LookupStyle(mineId, mine));
    EXPECT_EQ(mine->GetValue(), "base");
    EXPECT_EQ(mine->GetInterior().GetColor(), fw::Rgb(1, 2, 3));
    EXPECT_EQ(map.m_wStyleStandard, a.GetStylesMap()->m_wStyleStandard);
    EXPECT_EQ(map.GetStyleIdFromResource(GX_IDS_STYLE_ROWHEADER),
              a.GetStylesMap()->GetStyleIdFromResource(GX_IDS_STYLE_ROWHEADER));

    CGXData& data = *b.GetData();
    EXPECT_EQ(data.GetRowCount(), 200u);
    EXPECT_EQ(data.GetColCount(), 30u);
    CGXStyle cell;
    ASSERT_TRUE(data.GetStyleAt(7, 3, cell, gxCopy, 0));
    EXPECT_EQ(cell.GetValue(), "r7c3");
    EXPECT_EQ(cell.GetBaseStyle(), mineId);
    CGXStyle row;
    ASSERT_TRUE(data.GetStyleAt(5, 0, row, gxCopy, gxRowColStyle));
    EXPECT_EQ(row.GetTextColor(), fw::Rgb(200, 0, 0));

    CGXProperties& props = *b.GetProperties();
    EXPECT_EQ(props.m_nTopMargin, 77);
    EXPECT_EQ(props.m_nLeftMargin, 96);
    EXPECT_EQ(props.m_nFirstPage, 3);
    EXPECT_FALSE(props.m_bPrintColHeaders);
    EXPECT_EQ(props.GetZoom(), 150);
    ASSERT_EQ(props.m_userProperties.count(7), 1u);
    EXPECT_EQ(props.m_userProperties[7].name, "Owner");
    EXPECT_EQ(props.m_userProperties[7].style->GetValue(), "me");
    CGXStyle header;
    ASSERT_TRUE(props.m_pHeader->GetStyleAt(1, 2, header, gxCopy, 0));
    EXPECT_EQ(header.GetValue(), "Page $P");

    ASSERT_EQ(b.m_CoveredCells.GetCount(), 1u);
    EXPECT_EQ(b.m_CoveredCells.GetHead().bottom, 3u);
    EXPECT_EQ(b.m_CoveredCells.GetHead().right, 4u);
    ASSERT_EQ(b.m_SelRects.GetCount(), 1u);
    std::int32_t h = 0;
    EXPECT_TRUE(b.m_RowHeights.Lookup(9, h));
    EXPECT_EQ(h, 2500);
    EXPECT_TRUE(b.m_ColWidths.Lookup(4, h));
    EXPECT_EQ(h, 333);
    EXPECT_TRUE(b.m_ColWidths.Lookup(0, h));
    EXPECT_EQ(h, 6000);
    EXPECT_EQ(b.m_sSheetName, "Nodes");
    EXPECT_FALSE(b.m_bAllowMoveRows);
    EXPECT_EQ(b.m_wSelectionMode, GX_SELSINGLE);
    EXPECT_EQ(b.m_nEnterKeyAction, 2);
    EXPECT_EQ(b.m_awOptions[4], 99);
    EXPECT_NE(b.m_apSpanCellPools[0], nullptr);
    EXPECT_EQ(b.m_apSpanCellPools[2], nullptr);
    EXPECT_NE(b.m_apDelayedRangePools[1], nullptr);
}

TEST_F(DocSerializeTest, AWholeParameterObjectRoundTrips) {
    std::unique_ptr<CGXGridParam> p = FullParam();
    // As a loaded pool will be: the whole table still to be evaluated.
    static_cast<CGXDelayedRangePool&>(*p->m_apDelayedRangePools[1])
        .AddDelayedRange(CGXRange(0, 0, ROWCOL(-2), ROWCOL(-2)));
    const Bytes bytes = Store(*p);
    CGXGridParam back;
    Load(back, bytes);
    ExpectSameContent(*p, back);
    auto* delayed = dynamic_cast<CGXDelayedRangePool*>(back.m_apDelayedRangePools[1].get());
    ASSERT_NE(delayed, nullptr);
    ASSERT_EQ(delayed->m_entries.size(), 1u);
    EXPECT_EQ(delayed->m_entries[0].range.bottom, ROWCOL(-2));
    // Storing what was loaded gives the same bytes.
    EXPECT_EQ(Store(back), bytes);
}

TEST_F(DocSerializeTest, EveryTruncatedArchiveIsRefused) {
    std::unique_ptr<CGXGridParam> p = FullParam();
    const Bytes bytes = Store(*p);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        const Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        CGXGridParam back;
        fw::Archive ar(fw::LoadFrom{cut});
        EXPECT_THROW(back.Serialize(ar), fw::ArchiveException) << "length " << n;
    }
}

TEST_F(DocSerializeTest, EveryByteFlippedLoadsOrIsRefusedWithoutACrash) {
    std::unique_ptr<CGXGridParam> p = FullParam();
    const Bytes bytes = Store(*p);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
            Bytes mutated = bytes;
            mutated[i] ^= flip;
            CGXGridParam back;
            fw::Archive ar(fw::LoadFrom{mutated});
            try {
                back.Serialize(ar);
            } catch (const fw::ArchiveException&) {
            }
        }
    }
}

TEST_F(DocSerializeTest, AStyleOfAnUnknownResourceIdIsNamedByIt) {
    CGXStylesMap map;
    map.RegisterStyleFromResource(999, CGXStyle(), false);
    CGXStylesMap back;
    Load(back, Store(map));
    EXPECT_EQ(back.GetStyleIdFromName("STYLE999"), back.GetStyleIdFromResource(999));
    unsigned resourceId = 0;
    EXPECT_EQ(back.GetStyleName(back.GetStyleIdFromResource(999), resourceId), "STYLE999");
    EXPECT_EQ(resourceId, 999u);
}

TEST_F(DocSerializeTest, ACopiedParameterObjectIsDeepAndOwnsItsCopies) {
    std::unique_ptr<CGXGridParam> p = FullParam();
    CGXGridParam copy;
    copy = *p;
    ExpectSameContent(*p, copy);
    EXPECT_NE(copy.GetData(), p->GetData());
    EXPECT_NE(copy.GetStylesMap(), p->GetStylesMap());
    CGXStyle changed;
    changed.SetValue("changed");
    p->GetData()->StoreStyleAt(7, 3, &changed, gxOverride, 0);
    p->GetProperties()->m_pHeader->DeleteContents();
    CGXStyle cell;
    ASSERT_TRUE(copy.GetData()->GetStyleAt(7, 3, cell, gxCopy, 0));
    EXPECT_EQ(cell.GetValue(), "r7c3");
    CGXStyle header;
    EXPECT_TRUE(copy.GetProperties()->m_pHeader->GetStyleAt(1, 2, header, gxCopy, 0));

    // A source that only shares its cell store still gives a copy the target owns.
    CGXData shared;
    CGXGridParam sharing;
    sharing.SetData(&shared, false);
    CGXGridParam second;
    second = sharing;
    EXPECT_NE(second.GetData(), &shared);
    EXPECT_TRUE(second.m_bOwnData);
}

}  // namespace
