#include "grid/features/CGXGridSortImp.h"
#include "grid/features/GXSortKeyText.h"
#include "grid/features/tests/FeatureFixture.h"

#include <cmath>

namespace {

TEST(SortKeyText, NumberDetection) {
    struct Case {
        const char* text;
        bool numeric;
    } cases[] = {
        {"10", true},      {"-5", true},   {"  -5", true}, {"1-2", false},
        {"1,234.5", true}, {"1e5", true},  {"12a", false}, {"1.5 ", true},
        {"--5", false},    {"abc", false}, {"5-", false},  {"1+2", false},
    };
    for (const Case& c : cases) EXPECT_EQ(GXIsSortNumberText(c.text), c.numeric) << c.text;
}

TEST(SortKeyText, DatesAndTimes) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"1/1/1900", true, 2},         {"12/31/1899", true, 1}, {"1900-01-01", true, 2},
        {"3/1/2000", true, 36586},     {"2/29/2001", false, 0}, {"12:00", true, 0.5},
        {"6:00 PM", true, 0.75},       {"12:00 AM", true, 0},   {"1/2/03", true, 37623},
        {"1/1/1900 6:00", true, 2.25}, {"13/1/2000", false, 0}, {"hello", false, 0},
        {"2000-02-30", false, 0},      {"25:00", false, 0},
    };
    for (const Case& c : cases) {
        double v = -1;
        EXPECT_EQ(GXParseSortDateTime(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
    }
}

TEST(SortKeyText, UnconvertibleKeysTakeTheLowestPlace) {
    EXPECT_EQ(GXSortNumberValue("abc"), 0.0);
    EXPECT_EQ(GXSortNumberValue(""), 0.0);
    EXPECT_EQ(GXSortNumberValue("-2.5"), -2.5);
    EXPECT_LT(GXSortDateValue("abc"), GXSortDateValue("1/1/0100"));
    EXPECT_EQ(GXSortDateValue("abc"), GXSortDateValue("xyz"));
}

TEST(SortKeyText, TextOrder) {
    EXPECT_LT(GXCompareSortText("apple", "Banana", false), 0);
    EXPECT_EQ(GXCompareSortText("ABC", "abc", false), 0);
    EXPECT_LT(GXCompareSortText("abc", "ABC", true), 0);
    EXPECT_GT(GXCompareSortText("Abc", "abc", true), 0);
    EXPECT_LT(GXCompareSortText("ab", "abc", true), 0);
}

class SortTest : public FeatureFixture {
protected:
    std::string Column(ROWCOL col, ROWCOL rows) {
        std::string out;
        for (ROWCOL r = 1; r <= rows; ++r) out += (r > 1 ? "," : "") + Get(r, col);
        return out;
    }
    bool SortBy(ROWCOL col, std::uint32_t type, bool descending = false) {
        CGXSortInfoArray keys;
        AddKey(keys, col, type, descending);
        return Core().SortRows(CGXRange().SetTable(), keys);
    }
    static void AddKey(CGXSortInfoArray& keys, ROWCOL rc, std::uint32_t type,
                       bool descending = false) {
        keys.SetSize(keys.GetSize() + 1);
        keys[keys.GetSize() - 1].nRC = rc;
        keys[keys.GetSize() - 1].sortType = type;
        keys[keys.GetSize() - 1].sortOrder = descending;
    }
    void SetColumn(ROWCOL col, std::initializer_list<const char*> values) {
        ROWCOL r = 1;
        for (const char* v : values) Set(r++, col, v);
    }
};

TEST_F(SortTest, DetectedKeyTypes) {
    struct Case {
        std::initializer_list<const char*> values;
        const char* sorted;
        std::uint32_t detected;
    } cases[] = {
        {{"10", "9", "-5", "100"}, "-5,9,10,100", gxSortNumeric},
        {{"10", "9", "x", "100"}, "10,100,9,x", gxSortAlphanumeric},
        {{"1-2", "-5", "3"}, "-5,1-2,3", gxSortAlphanumeric},
        {{"3", "", "-1"}, "-1,,3", gxSortNumeric},
        {{"2/1/2000", "1/15/2000", "12/31/1999"}, "12/31/1999,1/15/2000,2/1/2000", gxSortDateTime},
    };
    for (const Case& c : cases) {
        SetRows(static_cast<ROWCOL>(c.values.size()));
        SetColumn(1, c.values);
        CGXSortInfoArray keys;
        AddKey(keys, 1, gxSortAutodetect);
        ASSERT_TRUE(Core().SortRows(CGXRange().SetTable(), keys));
        EXPECT_EQ(Column(1, static_cast<ROWCOL>(c.values.size())), c.sorted);
        EXPECT_EQ(keys[0].sortType, c.detected);
    }
}

TEST_F(SortTest, ExplicitNumericKeyPutsTextsAtZeroInTheirOrder) {
    SetRows(6);
    SetColumn(1, {"5", "b", "-1", "a", "0", "c"});
    SetColumn(2, {"1", "2", "3", "4", "5", "6"});
    ASSERT_TRUE(SortBy(1, gxSortNumeric));
    EXPECT_EQ(Column(1, 6), "-1,b,a,0,c,5");
    EXPECT_EQ(Column(2, 6), "3,2,4,5,6,1");
    ASSERT_TRUE(SortBy(1, gxSortDateTime));
    // Under a date key no text converts: all take the earliest date and keep their order.
    EXPECT_EQ(Column(1, 6), "-1,b,a,0,c,5");
}

TEST_F(SortTest, DescendingAndColumns) {
    SetRows(3);
    SetColumn(1, {"b", "C", "a"});
    ASSERT_TRUE(SortBy(1, gxSortAlphanumeric, true));
    EXPECT_EQ(Column(1, 3), "C,b,a");
    SetCols(3);
    Set(1, 1, "30");
    Set(1, 2, "10");
    Set(1, 3, "20");
    Set(2, 1, "x");
    Set(2, 2, "y");
    Set(2, 3, "z");
    CGXSortInfoArray keys;
    AddKey(keys, 1, gxSortNumeric);
    ASSERT_TRUE(Core().SortCols(CGXRange().SetTable(), keys));
    EXPECT_EQ(Block(1, 1, 2, 3), "10,20,30|y,z,x");
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(Block(1, 1, 2, 3), "30,10,20|x,y,z");
}

class LargeSortTest : public SortTest {
protected:
    static constexpr ROWCOL kRows = 100000;
    void SetUp() override {
        SortTest::SetUp();
        SetRows(kRows);
        SetCols(3);
        CGXData* data = Core().GetData();
        CGXStyle s;
        // Few distinct keys, so that most rows tie on the first key; column 3 numbers the rows.
        for (ROWCOL r = 1; r <= kRows; ++r) {
            s.Free();
            data->StoreStyleAt(r, 1, &s.SetValue(std::to_string((r * 7919u) % 10)), gxOverride, 0);
            s.Free();
            data->StoreStyleAt(r, 2, &s.SetValue(std::to_string((r * 104729u) % 3)), gxOverride, 0);
            s.Free();
            data->StoreStyleAt(r, 3, &s.SetValue(std::to_string(r)), gxOverride, 0);
        }
    }
    // Every row's keys are in order and equal keys keep the rows' earlier order.
    void ExpectSortedStable(std::size_t keyCount) {
        long prev[3] = {-1, -1, -1};
        for (ROWCOL r = 1; r <= kRows; ++r) {
            const long k1 = std::stol(Get(r, 1)), k2 = std::stol(Get(r, 2));
            const long id = std::stol(Get(r, 3));
            const long cur[3] = {k1, keyCount > 1 ? k2 : 0, id};
            ASSERT_TRUE(std::lexicographical_compare(prev, prev + 3, cur, cur + 3) || r == 1)
                << "row " << r;
            std::copy(cur, cur + 3, prev);
        }
    }
    void ExpectOriginalOrder() {
        for (ROWCOL r = 1; r <= kRows; r += 997) ASSERT_EQ(Get(r, 3), std::to_string(r));
        ASSERT_EQ(Get(kRows, 3), std::to_string(kRows));
    }
};

TEST_F(LargeSortTest, OneKeyIsStableAndUndoable) {
    CGXSortInfoArray keys;
    AddKey(keys, 1, gxSortAutodetect);
    ASSERT_TRUE(Core().SortRows(CGXRange().SetTable(), keys));
    ExpectSortedStable(1);
    EXPECT_EQ(UndoCount(), 1u);
    ASSERT_TRUE(Core().Undo());
    ExpectOriginalOrder();
    ASSERT_TRUE(Core().Redo());
    ExpectSortedStable(1);
}

TEST_F(LargeSortTest, TwoKeysAreStableAndUndoable) {
    CGXSortInfoArray keys;
    AddKey(keys, 1, gxSortNumeric);
    AddKey(keys, 2, gxSortNumeric);
    ASSERT_TRUE(Core().SortRows(CGXRange().SetTable(), keys));
    ExpectSortedStable(2);
    ASSERT_TRUE(Core().Undo());
    ExpectOriginalOrder();
}

TEST_F(SortTest, DoubleClickOnAColumnHeaderSortsUpThenDown) {
    SetRows(4);
    SetColumn(2, {"3", "1", "4", "2"});
    Param().m_bSortRowsByColHeader = true;
    const fw::Rect header = Core().CalcRectFromRowCol(0, 2);
    // The test host passes no mouse messages on, so the double click enters at the core.
    const fw::Point at{header.left + 10, header.top + 5};
    Core().OnGridLButtonDblClk(fw::MK_LBUTTON, at);
    EXPECT_EQ(Column(2, 4), "1,2,3,4");
    Core().OnGridLButtonDblClk(fw::MK_LBUTTON, at);
    EXPECT_EQ(Column(2, 4), "4,3,2,1");
    Param().m_bSortRowsByColHeader = false;
    Core().OnGridLButtonDblClk(fw::MK_LBUTTON, at);
    EXPECT_EQ(Column(2, 4), "4,3,2,1");
}

TEST_F(SortTest, ReadOnlyGridAndTinyGridsAreNotSorted) {
    SetRows(2);
    SetColumn(1, {"2", "1"});
    Core().SaveReadOnly(true);
    EXPECT_FALSE(SortBy(1, gxSortNumeric));
    EXPECT_EQ(Column(1, 2), "2,1");
    EXPECT_EQ(UndoCount(), 0u);
    Core().SaveReadOnly(false);
    SetRows(1);
    EXPECT_FALSE(SortBy(1, gxSortNumeric));
}

}  // namespace
