// The grid core without drawing: feature slots and ownership, header texts, style composition,
// the row and column operations, client-row mappings, stored sizes, hit tests and scroll units.
#include "grid/core/CGXColumnStyleCache.h"
#include "grid/core/tests/GridFixture.h"

#include <climits>
#include <string>

namespace {

// ----- the core object ----------------------------------------------------------------------

TEST(GridCoreObject, WithoutAFactoryEverySlotIsEmptyAndTheForwardersAnswerFalse) {
    GXTerminateLibrary();
    CGXGridCore core;
    for (int slot = 1; slot <= GX_FEATURE_SLOTS; ++slot)
        EXPECT_EQ(core.GetFeatureSlot(slot), nullptr) << slot;
    EXPECT_FALSE(core.Undo());
    EXPECT_FALSE(core.Redo());
    CGXSortInfoArray keys;
    EXPECT_FALSE(core.SortRows(CGXRange().SetTable(), keys));
    EXPECT_FALSE(core.FindText(true));
    EXPECT_FALSE(core.OnGridBeginPrinting());
    EXPECT_FALSE(core.Copy());
    EXPECT_FALSE(core.Paste());
    // Initialisation needs the started library.
    EXPECT_THROW(core.OnGridInitialUpdate(), CGXNotSupportedException);
}

struct Counted : CGXOwnedObject {
    explicit Counted(int* n, CGXGridCore* grid = nullptr) : n_(n), grid_(grid) { ++*n_; }
    ~Counted() override {
        --*n_;
        // A feature may still reach the grid's parameters while it goes.
        if (grid_)
            sawParameters = grid_->GetParam() && grid_->GetData();
    }
    int* n_;
    CGXGridCore* grid_;
    static inline bool sawParameters = false;
};

TEST(GridCoreObject, FeaturesGoBeforeTheParameterObject) {
    GXTerminateLibrary();
    GXInitWithControlFactory();
    int features = 0;
    Counted::sawParameters = false;
    {
        GridHostWindow w;
        w.Create(nullptr, {0, 0, 200, 100}, 0, fw::WS_VISIBLE);
        w.GetCore().OnGridInitialUpdate();
        w.GetCore().AddOwnedObject(std::make_unique<Counted>(&features, &w.GetCore()));
    }
    EXPECT_EQ(features, 0);
    EXPECT_TRUE(Counted::sawParameters);
    GXTerminateLibrary();
}

TEST(GridCoreObject, SharedParametersOutliveTheGridThatDoesNotOwnThem) {
    GXTerminateLibrary();
    GXInitWithControlFactory();
    {
        GridHostWindow owner;
        owner.Create(nullptr, {0, 0, 200, 100}, 0, fw::WS_VISIBLE);
        owner.GetCore().OnGridInitialUpdate();
        owner.GetCore().SetRowCount(5);
        int features = 0;
        {
            GridHostWindow borrower;
            borrower.Create(nullptr, {0, 0, 200, 100}, 0, fw::WS_VISIBLE);
            borrower.GetCore().SetParam(owner.GetCore().GetParam(), false);
            borrower.GetCore().OnGridInitialUpdate();
            borrower.GetCore().AddOwnedObject(std::make_unique<Counted>(&features));
            EXPECT_EQ(features, 1);
            EXPECT_EQ(borrower.GetCore().GetRowCount(), 5u);
        }
        EXPECT_EQ(features, 0);
        ASSERT_NE(owner.GetCore().GetData(), nullptr);
        EXPECT_EQ(owner.GetCore().GetRowCount(), 5u);
        EXPECT_NE(owner.GetCore().GetStylesMap(), nullptr);
        EXPECT_EQ(GXGetLibraryState().FindGridOfObject(owner.GetCore().GetParam()),
                  &owner.GetCore());
    }
    GXTerminateLibrary();
}

TEST(GridCoreObject, InitialisationRaisesTheTopRowAndDropsASavedCellBeyondTheCounts) {
    GXTerminateLibrary();
    GXInitWithControlFactory();
    auto* param = new CGXGridParam;
    param->m_nFrozenRows = 2;
    param->m_bRestoreCurrentCell = true;
    param->m_nCurrentRow = 50;  // the grid has no rows yet
    param->m_nCurrentCol = 1;
    GridHostWindow w;
    w.Create(nullptr, {0, 0, 200, 100}, 0, fw::WS_VISIBLE);
    w.GetCore().SetParam(param, true);
    w.GetCore().OnGridInitialUpdate();
    EXPECT_EQ(w.GetCore().GetTopRow(), 3u);
    ROWCOL row, col;
    EXPECT_FALSE(w.GetCore().GetCurrentCell(row, col));
    GXTerminateLibrary();
}

using GridControls = GridFixture;

TEST_F(GridControls, IdZeroIsTheDefaultAndUnknownIdsGetTheEditControlsPlace) {
    CGXControl* def = Core().GetDefaultControl();
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(Core().GetRegisteredControl(0), def);
    EXPECT_EQ(Core().GetRegisteredControl(0x10000), def);  // only the low 16 bits count
    CGXControl* stat = Core().GetRegisteredControl(GX_IDS_CTRL_STATIC);
    ASSERT_NE(stat, nullptr);
    EXPECT_TRUE(stat->IsKindOfControlClass(CGXStatic::kClassInfo));
    EXPECT_EQ(Core().GetRegisteredControl(GX_IDS_CTRL_STATIC), stat);  // registered once
    CGXControl* unknown = Core().GetRegisteredControl(20210);
    ASSERT_NE(unknown, nullptr);
    EXPECT_NE(unknown, stat);
    // Re-registering an id deletes the old control and forgets it everywhere.
    Core().RegisterControl(GX_IDS_CTRL_STATIC, std::make_unique<CGXStatic>(&Core()));
    EXPECT_NE(Core().GetRegisteredControl(GX_IDS_CTRL_STATIC), nullptr);
}

// ----- header texts and composition -----------------------------------------------------------

TEST(GridHeaderTexts, ColumnLettersCountInBase26WithoutZero) {
    const struct {
        ROWCOL col;
        const char* letters;
    } cases[] = {{1, "A"},   {2, "B"},    {26, "Z"},    {27, "AA"},     {52, "AZ"},
                 {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {18278, "ZZZ"}, {18279, "AAAA"}};
    for (const auto& c : cases) EXPECT_EQ(CGXGridCore::GetColumnLetters(c.col), c.letters) << c.col;
    EXPECT_EQ(CGXGridCore::GetColumnLetters(0), "");
    // The largest column is still at most nine letters and reads back as its number.
    for (ROWCOL col : {0xFFFFFFFDu, 0x7FFFFFFFu, 321272406u}) {
        const std::string s = CGXGridCore::GetColumnLetters(col);
        ASSERT_LE(s.size(), 9u);
        std::uint64_t n = 0;
        for (char ch : s) n = n * 26 + static_cast<std::uint64_t>(ch - 'A' + 1);
        EXPECT_EQ(n, col);
    }
}

using GridCompose = GridFixture;

TEST_F(GridCompose, HeadersShowLettersAndNumbersUnlessSwitchedOff) {
    Core().SetRowCount(30);
    Core().SetColCount(30);
    EXPECT_EQ(Core().GetValueRowCol(0, 1), "A");
    EXPECT_EQ(Core().GetValueRowCol(0, 27), "AA");
    EXPECT_EQ(Core().GetValueRowCol(7, 0), "7");
    EXPECT_EQ(Core().GetValueRowCol(0, 0), "");
    Param().m_bNumberedColHeaders = false;
    Core().FreeObjectCache();
    EXPECT_EQ(Core().GetValueRowCol(0, 1), "");
    // A stored header value wins over the letters.
    Param().m_bNumberedColHeaders = true;
    Core().SetValueRange(CGXRange(0, 2), "Name");
    EXPECT_EQ(Core().GetValueRowCol(0, 2), "Name");
}

TEST_F(GridCompose, CellOverColumnOverRowOverTableThenBaseStylesHeadersAndStandard) {
    Core().SetRowCount(5);
    Core().SetColCount(5);
    CGXStylesMap& map = *Core().GetStylesMap();
    CGXStyle based;
    based.SetMaxLength(42).SetChoiceList("base");
    const std::uint16_t baseId = map.RegisterStyle("Based", based, false);

    Core().SetStyleRange(CGXRange().SetTable(),
                         &CGXStyle().SetValue("table").SetMaxLength(1).SetChoiceList("table"));
    Core().SetStyleRange(CGXRange().SetRows(2, 2), &CGXStyle().SetValue("row").SetMaxLength(2));
    Core().SetStyleRange(CGXRange().SetCols(3, 3),
                         &CGXStyle().SetValue("col").SetBaseStyle(baseId));
    Core().SetStyleRange(CGXRange(2, 3), &CGXStyle().SetValue("cell"));

    CGXStyle s;
    Core().ComposeStyleRowCol(2, 3, &s);
    EXPECT_EQ(s.GetValue(), "cell");
    EXPECT_EQ(s.GetMaxLength(), 2);         // the row's, over the table's
    EXPECT_EQ(s.GetChoiceList(), "table");  // nothing nearer has one: the table's
    EXPECT_TRUE(s.GetIncludeFont());        // the standard style fills the rest
    s.Free();
    Core().ComposeStyleRowCol(2, 4, &s);
    EXPECT_EQ(s.GetValue(), "row");  // a row is nearer than a column
    s.Free();
    Core().ComposeStyleRowCol(4, 3, &s);
    EXPECT_EQ(s.GetValue(), "col");
    EXPECT_EQ(s.GetChoiceList(), "table");  // the table's is applied before the base style
    EXPECT_EQ(s.GetMaxLength(), 1);
    s.Free();
    Core().ComposeStyleRowCol(4, 4, &s);
    EXPECT_EQ(s.GetValue(), "table");
    // Without the standard style only what was composed is there.
    s.Free();
    Core().ComposeStyleRowCol(4, 4, &s, false);
    EXPECT_FALSE(s.GetIncludeFont());
    // A header cell takes the column-header style (bold, control 52520) and no table style.
    s.Free();
    Core().ComposeStyleRowCol(0, 2, &s);
    EXPECT_EQ(s.GetValue(), "B");
    EXPECT_EQ(s.GetControl(), GX_IDS_CTRL_HEADER);
    EXPECT_EQ(s.GetFont().GetWeight(), 700);
}

TEST_F(GridCompose, MarkedCellsGetTheGreyPatternAndNegativeNumbersTheirColour) {
    Core().SetRowCount(5);
    Core().SetColCount(5);
    Param().m_bMarkCells = true;
    Param().m_MarkedCells.AddTail(CGXRange(1, 1));
    CGXStyle s;
    Core().ComposeStyleRowCol(1, 1, &s);
    EXPECT_EQ(s.GetInterior().GetStyle(), fw::BS_PATTERN);
    EXPECT_EQ(s.GetInterior().GetPattern(), 17);
    EXPECT_EQ(s.GetInterior().GetColor() & 0xFFFFFF, 0xC0C0C0u);

    // The colour is the decimal colour word: 255 is red.
    const struct {
        const char* value;
        const char* color;
        COLORREF expected;
    } cases[] = {{"-3.5", "255", 0x0000FF}, {"0", "255", 0},   {"12", "255", 0},
                 {"-1", "junk", 0},         {"abc", "255", 0}, {"-0.001", "65280", 0x00FF00}};
    for (const auto& c : cases) {
        CGXStyle cell;
        cell.SetValue(std::string(c.value))
            .SetTextColor(0)
            .SetUserAttribute(GX_IDS_UA_NEGATIVECOLOR, c.color);
        Core().SetStyleRange(CGXRange(2, 2), &cell, gxCopy);
        s.Free();
        Core().ComposeStyleRowCol(2, 2, &s);
        EXPECT_EQ(s.GetTextColor() & 0xFFFFFF, c.expected) << c.value << " " << c.color;
    }
}

// What a composed style shows, attribute by attribute, for comparing compositions.
std::string Shown(const CGXStyle& s) {
    std::string out = std::to_string(s.GetIncludeMask());
    auto add = [&](bool included, const std::string& text) { out += included ? "|" + text : "|-"; };
    add(s.GetIncludeValue(), s.GetValue() + "/" + std::to_string(s.GetValueType()));
    add(s.GetIncludeMaxLength(), std::to_string(s.GetMaxLength()));
    add(s.GetIncludeChoiceList(), s.GetChoiceList());
    add(s.GetIncludeControl(), std::to_string(s.GetControl()));
    add(s.GetIncludeBaseStyle(), std::to_string(s.GetBaseStyle()));
    add(s.GetIncludeFont(),
        std::to_string(s.GetFont().Word0()) + "/" + std::to_string(s.GetFont().Word1()));
    add(s.GetIncludeInterior(),
        std::to_string(s.GetInterior().Word0()) + "/" + std::to_string(s.GetInterior().Word1()));
    add(s.GetIncludeTextColor(), std::to_string(s.GetTextColorRaw()));
    add(s.GetIncludeWrapText(), std::to_string(s.GetWrapText()));
    add(s.GetIncludeEnabled(), std::to_string(s.GetEnabled()));
    add(s.GetIncludeHorizontalAlignment(), std::to_string(s.GetHorizontalAlignment()));
    for (int side = 0; side < 4; ++side)
        add(s.HasBorder(side), std::to_string(s.GetBorders(side).Word0()) + "/" +
                                   std::to_string(s.GetBorders(side).Word1()));
    if (const CGXUserAttributeMap* map = s.GetUserAttributeMap();
        map && s.GetIncludeUserAttributes())
        for (int k = 0; k < map->GetCount(); ++k)
            out += "|" + std::to_string(map->GetAt(k).m_nId) + "=" + map->GetAt(k).GetValue();
    return out;
}

// While a column style cache is open every cell composes to what it composes without one,
// whatever its own, its row's, its column's and the table's styles hold (base styles named
// or not, headers, marked cells), and a column style stored meanwhile is seen at once.
TEST_F(GridCompose, TheColumnStyleCacheComposesEveryCellAsWithoutIt) {
    Core().SetRowCount(6);
    Core().SetColCount(6);
    CGXStylesMap& map = *Core().GetStylesMap();
    const std::uint16_t baseId = map.RegisterStyle(
        "Based",
        CGXStyle().SetMaxLength(42).SetChoiceList("base").SetHorizontalAlignment(fw::DT_RIGHT),
        false);
    Core().SetStyleRange(CGXRange().SetTable(),
                         &CGXStyle().SetMaxLength(1).SetTextColor(fw::Rgb(1, 2, 3)));
    Core().SetStyleRange(CGXRange().SetRows(2, 2),
                         &CGXStyle().SetValue("row").SetFont(CGXFont().SetItalic(true)));
    CGXStyle column;
    column.SetFont(CGXFont().SetSize(14))
        .SetChoiceList("a\nb")
        .SetWrapText(false)
        .SetBorders(gxBorderLeft, CGXPen().SetWidth(2))
        .SetUserAttribute(GX_IDS_UA_VALID_MIN, "5")
        .SetUserAttribute(GX_IDS_UA_NEGATIVECOLOR, "255");
    Core().SetStyleRange(CGXRange().SetCols(2, 2), &column);
    Core().SetStyleRange(CGXRange().SetCols(3, 3), &CGXStyle().SetBaseStyle(baseId));
    CGXStyle own;
    own.SetValue("-4")
        .SetFont(CGXFont().SetWeight(700))
        .SetUserAttribute(GX_IDS_UA_VALID_MAX, "9")
        .SetBorders(gxBorderTop, CGXPen().SetWidth(3));
    Core().SetStyleRange(CGXRange(3, 2), &own);
    Core().SetStyleRange(CGXRange(4, 2), &CGXStyle().SetBaseStyle(baseId));
    Core().SetStyleRange(CGXRange(5, 4), &CGXStyle().SetValue("plain"));
    Core().SetStyleRange(CGXRange(0, 2), &CGXStyle().SetValue("title"));
    Param().m_bMarkCells = true;
    Param().m_MarkedCells.AddTail(CGXRange(5, 2));

    auto composed = [&](ROWCOL row, ROWCOL col, bool standard) {
        CGXStyle s;
        Core().ComposeStyleRowCol(row, col, &s, standard);
        return Shown(s);
    };
    std::vector<std::string> without;
    for (const bool standard : {true, false})
        for (ROWCOL row = 0; row <= 6; ++row)
            for (ROWCOL col = 0; col <= 6; ++col) without.push_back(composed(row, col, standard));
    {
        CGXColumnStyleCache cache(&Core());
        std::size_t i = 0;
        for (const bool standard : {true, false})
            for (ROWCOL row = 0; row <= 6; ++row)
                for (ROWCOL col = 0; col <= 6; ++col, ++i)
                    EXPECT_EQ(composed(row, col, standard), without[i])
                        << row << "," << col << (standard ? "" : " without the standard");
        Core().SetStyleRange(CGXRange().SetCols(2, 2), &CGXStyle().SetMaxLength(7));
        CGXStyle s;
        Core().ComposeStyleRowCol(5, 2, &s);
        EXPECT_EQ(s.GetMaxLength(), 7);
    }
    // The cache, once closed, is not asked.
    EXPECT_EQ(CGXColumnStyleCache::Of(&Core()), nullptr);
}

// ----- rows and columns
// ---------------------------------------------------------------------------

using GridRowsCols = GridFixture;

TEST_F(GridRowsCols, CountsGrowAndShrinkAtTheEndAndAnEqualCountChangesNothing) {
    EXPECT_TRUE(Core().SetRowCount(10));
    Core().SetColCount(3);
    Core().SetValueRange(CGXRange(3, 1), "three");
    Core().SetValueRange(CGXRange(8, 1), "eight");
    EXPECT_TRUE(Core().SetRowCount(10));
    EXPECT_EQ(Core().GetRowCount(), 10u);
    EXPECT_TRUE(Core().SetRowCount(4));
    EXPECT_EQ(Core().GetRowCount(), 4u);
    EXPECT_EQ(Core().GetValueRowCol(3, 1), "three");
    EXPECT_TRUE(Core().SetRowCount(10));
    EXPECT_EQ(Core().GetValueRowCol(8, 1), "");  // removed rows do not come back
}

TEST_F(GridRowsCols, InsertingAboveTheCurrentCellMovesItDown) {
    Core().SetRowCount(10);
    Core().SetColCount(3);
    ASSERT_TRUE(Core().SetCurrentCell(5, 2));
    EXPECT_TRUE(Core().InsertRows(2, 3));
    ROWCOL row, col;
    ASSERT_TRUE(Core().GetCurrentCell(row, col));
    EXPECT_EQ(row, 8u);
    EXPECT_EQ(col, 2u);
    EXPECT_TRUE(Core().RemoveRows(1, 1));
    Core().GetCurrentCell(row, col);
    EXPECT_EQ(row, 7u);
}

TEST_F(GridRowsCols, TheReadOnlyLockRefusesEveryStoreAndRemovalReportsIt) {
    Core().SetRowCount(10);
    Core().SetColCount(3);
    Core().SetValueRange(CGXRange(2, 2), "kept");
    Core().ChangeReadOnly(true);
    EXPECT_TRUE(Core().QueryReadOnly());
    EXPECT_FALSE(Core().InsertRows(1, 2));
    EXPECT_FALSE(Core().RemoveRows(1, 2));  // the store's answer, not TRUE
    EXPECT_FALSE(Core().SetRowCount(3));
    EXPECT_FALSE(Core().SetColCount(1));
    EXPECT_FALSE(Core().SetFrozenRows(2, 0));
    EXPECT_FALSE(Core().SetValueRange(CGXRange(2, 2), "changed"));
    EXPECT_FALSE(Core().ChangeStandardStyle(CGXStyle().SetMaxLength(3)));
    EXPECT_EQ(Core().GetRowCount(), 10u);
    EXPECT_EQ(Core().GetValueRowCol(2, 2), "kept");
    // Without the lock switch a read-only grid still stores (the switch is what refuses).
    Param().m_bLockReadOnly = false;
    EXPECT_TRUE(Core().InsertRows(1, 2));
}

// Every structure change is a Set that stores and then updates, telling the other views (the
// create-hint flag); the read-only lock makes the store refuse, and then nothing is updated.
// Inserted columns mark the document modified as inserted rows do, or closing it would lose
// them without asking.
class UpdateRecordingCore : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    std::string log;
    void Note(const char* what, bool hint) { log += std::string(what) + (hint ? "+hint " : " "); }
    void SetModifiedFlag(bool modified) override { log += modified ? "modified " : ""; }
    void UpdateInsertRows(ROWCOL a, ROWCOL n, unsigned f, bool hint) override {
        Note("InsertRows", hint);
        CGXGridCore::UpdateInsertRows(a, n, f, hint);
    }
    void UpdateInsertCols(ROWCOL a, ROWCOL n, unsigned f, bool hint) override {
        Note("InsertCols", hint);
        CGXGridCore::UpdateInsertCols(a, n, f, hint);
    }
    void UpdateRemoveRows(ROWCOL a, ROWCOL b, unsigned f, bool hint) override {
        Note("RemoveRows", hint);
        CGXGridCore::UpdateRemoveRows(a, b, f, hint);
    }
    void UpdateRemoveCols(ROWCOL a, ROWCOL b, unsigned f, bool hint) override {
        Note("RemoveCols", hint);
        CGXGridCore::UpdateRemoveCols(a, b, f, hint);
    }
    void UpdateFrozenRows(ROWCOL a, ROWCOL b, unsigned f, bool hint) override {
        Note("FrozenRows", hint);
        CGXGridCore::UpdateFrozenRows(a, b, f, hint);
    }
    void UpdateFrozenCols(ROWCOL a, ROWCOL b, unsigned f, bool hint) override {
        Note("FrozenCols", hint);
        CGXGridCore::UpdateFrozenCols(a, b, f, hint);
    }
    // Rows, columns, frozen and header rows, frozen and header columns.
    std::string Shape() {
        return std::to_string(GetRowCount()) + "x" + std::to_string(GetColCount()) + " " +
               std::to_string(GetFrozenRows()) + "/" + std::to_string(GetHeaderRows()) + " " +
               std::to_string(GetFrozenCols()) + "/" + std::to_string(GetHeaderCols());
    }
};

using GridTriples = GridFixtureT<UpdateRecordingCore>;

TEST_F(GridTriples, EachSetStoresThenUpdatesAndARefusedStoreUpdatesNothing) {
    const struct {
        const char* name;
        bool (*set)(CGXGridCore&);
        const char* log;
        const char* shape;  // after the change, from 10x6 0/0 0/0
    } cases[] = {
        {"InsertRows", [](CGXGridCore& g) { return g.InsertRows(2, 3); },
         "modified InsertRows+hint ", "13x6 0/0 0/0"},
        {"InsertCols", [](CGXGridCore& g) { return g.InsertCols(2, 3); },
         "modified InsertCols+hint ", "10x9 0/0 0/0"},
        {"RemoveRows", [](CGXGridCore& g) { return g.RemoveRows(2, 4); },
         "modified RemoveRows+hint ", "7x6 0/0 0/0"},
        {"RemoveCols", [](CGXGridCore& g) { return g.RemoveCols(2, 4); },
         "modified RemoveCols+hint ", "10x3 0/0 0/0"},
        {"FrozenRows", [](CGXGridCore& g) { return g.SetFrozenRows(2, 1); }, "FrozenRows+hint ",
         "10x6 2/1 0/0"},
        {"FrozenCols", [](CGXGridCore& g) { return g.SetFrozenCols(2, 1); }, "FrozenCols+hint ",
         "10x6 0/0 2/1"},
    };
    for (bool readOnly : {true, false})
        for (const auto& c : cases) {
            Core().ChangeReadOnly(false);
            Core().SetRowCount(10);
            Core().SetColCount(6);
            Core().SetFrozenRows(0, 0);
            Core().SetFrozenCols(0, 0);
            ASSERT_EQ(Core().Shape(), "10x6 0/0 0/0");
            Core().ChangeReadOnly(readOnly);
            Core().log.clear();
            EXPECT_EQ(c.set(Core()), !readOnly) << c.name;
            EXPECT_EQ(Core().log, readOnly ? "" : c.log) << c.name;
            EXPECT_EQ(Core().Shape(), readOnly ? "10x6 0/0 0/0" : c.shape) << c.name;
        }
}

TEST_F(GridRowsCols, ClientRowsKeepFrozenRowsAndShiftTheRestByTheTopRow) {
    Core().SetRowCount(100);
    Core().SetColCount(100);
    Core().SetFrozenRows(2, 1);
    Core().SetFrozenCols(1, 0);
    EXPECT_EQ(Core().GetHeaderRows(), 1u);
    EXPECT_TRUE(Core().IsFrozenRow(2));
    EXPECT_FALSE(Core().IsFrozenRow(0));
    EXPECT_FALSE(Core().IsFrozenRow(3));
    Core().SetTopRow(10, 0);
    Core().SetLeftCol(5, 0);
    const struct {
        ROWCOL row, client;
    } rows[] = {{0, 0}, {1, 1}, {2, 2}, {5, 0}, {9, 0}, {10, 3}, {11, 4}, {GX_INVALID, GX_INVALID}};
    for (const auto& r : rows) {
        EXPECT_EQ(Core().GetClientRow(r.row), r.client) << r.row;
        if (r.client != 0 || r.row == 0) {
            EXPECT_EQ(Core().GetRowFromClientRow(r.client), r.row) << r.client;
        }
    }
    EXPECT_EQ(Core().GetClientCol(5), 2u);
    EXPECT_EQ(Core().GetColFromClientCol(2), 5u);
    // The top row never goes into the frozen rows, nor past the count.
    Core().SetTopRow(1, 0);
    EXPECT_EQ(Core().GetTopRow(), 3u);
    Core().SetTopRow(1000, 0);
    EXPECT_EQ(Core().GetTopRow(), 100u);
    // With the top row right after the frozen rows nothing shifts.
    Core().SetTopRow(3, 0);
    EXPECT_EQ(Core().GetClientRow(7), 7u);
}

// ----- sizes
// ----------------------------------------------------------------------------------------

class UnitGrid : public CGXGridCore {
public:
    int line = 15;
    int chars = 8;
    int GetLineHeight() override { return line; }
    int GetCharWidth() override { return chars; }
};

TEST(GridSizes, StoredSizesFollowTheFontUnitsAndANegativeSizeRestoresTheDefault) {
    UnitGrid g;
    g.SetParam(nullptr, true);
    const struct {
        int line, pixels;
        std::int32_t stored;
    } cases[] = {{15, 20, 1320}, {16, 20, 1240}, {1, 7, 7000}, {0, 20, 20000}, {2000, 20, 20}};
    for (const auto& c : cases) {
        g.line = c.line;
        ASSERT_TRUE(g.StoreRowHeight(4, c.pixels));
        std::int32_t stored = 0;
        ASSERT_TRUE(g.GetParam()->m_RowHeights.Lookup(4, stored));
        EXPECT_EQ(stored, c.stored) << c.line;
        EXPECT_EQ(g.GetRowHeight(4), c.pixels) << c.line;
    }
    g.line = 15;
    const int def = g.GetDefaultRowHeight();
    EXPECT_EQ(def, 1200 / 66);
    g.StoreRowHeight(4, -1);
    EXPECT_EQ(g.GetRowHeight(4), def);
    // Pixels times the factor saturate instead of wrapping around.
    g.StoreRowHeight(5, INT_MAX);
    std::int32_t stored = 0;
    g.GetParam()->m_RowHeights.Lookup(5, stored);
    EXPECT_EQ(stored, INT32_MAX);
    EXPECT_GT(g.GetRowHeight(5), 0);
    // Columns use the character width.
    g.chars = 8;
    g.StoreColWidth(2, 64);
    g.GetParam()->m_ColWidths.Lookup(2, stored);
    EXPECT_EQ(stored, 64 * 125);
    EXPECT_EQ(g.GetColWidth(2), 64);
    EXPECT_FALSE(g.StoreDefaultRowHeight(0));
}

using GridGeometry = GridFixture;

TEST_F(GridGeometry, SizesUpToTheEndStopAtTheLastLine) {
    Core().SetRowCount(5);
    Core().SetColCount(4);
    EXPECT_TRUE(Core().SetRowHeight(2, GX_INVALID, 25));
    EXPECT_TRUE(Core().SetColWidth(3, GX_INVALID, 40));
    EXPECT_EQ(Core().GetRowHeights(1, 5),
              (std::vector<int>{Core().GetRowHeight(1), 25, 25, 25, 25}));
    EXPECT_EQ(Core().GetColWidths(3, 4), (std::vector<int>{40, 40}));
    EXPECT_EQ(Core().GetOwnRowHeight(6), -1);
}

TEST_F(GridGeometry, PointsOnCellEdgesBelongToTheCellTheyStart) {
    Core().SetRowCount(3);
    Core().SetColCount(3);
    Core().SetColWidth(0, 0, 30);
    Core().SetColWidth(1, 3, 50);
    Core().SetRowHeight(0, 0, 20);
    Core().SetRowHeight(1, 3, 10);
    const struct {
        int x, y;
        bool inside;
        ROWCOL row, col;
    } cases[] = {
        {0, 0, true, 0, 0},
        {29, 19, true, 0, 0},
        {30, 20, true, 1, 1},
        {79, 29, true, 1, 1},
        {80, 30, true, 2, 2},
        {179, 49, true, 3, 3},
        {180, 10, false, 0, GX_INVALID},
        {10, 50, false, GX_INVALID, 0},
        {-1, 5, false, 0, 0},
    };
    for (const auto& c : cases) {
        ROWCOL row = 99, col = 99;
        fw::Rect r;
        EXPECT_EQ(Core().CalcCellFromPoint({c.x, c.y}, row, col, &r), c.inside)
            << c.x << "," << c.y;
        EXPECT_EQ(row, c.row) << c.x << "," << c.y;
        EXPECT_EQ(col, c.col) << c.x << "," << c.y;
        if (c.inside) {
            EXPECT_TRUE(r.Contains({c.x, c.y}));
            EXPECT_EQ(r, Core().CalcRectFromRowCol(row, col));
        }
    }
    EXPECT_EQ(Core().CalcClientRowFromPt({5, 50}), GX_INVALID);
    EXPECT_EQ(Core().CalcRectFromRowCol(2, 2), (fw::Rect{80, 30, 130, 40}));
    EXPECT_EQ(Core().CalcRectBelowRow(3).top, 50);
    EXPECT_EQ(Core().CalcRectRightOfCol(0).left, 30);
}

// ----- scrolling
// ------------------------------------------------------------------------------------

using GridScrollBars = GridFixture;

TEST_F(GridScrollBars, ALargeGridScrollsInUnitsThatKeepTheRangeWithinSixteenBits) {
    Core().SetRowCount(100000);
    Core().SetColCount(5);
    EXPECT_EQ(Core().GetScrollUnit(1), 4);
    Core().SetTopRow(5001, GX_INVALIDATE);
    EXPECT_EQ(Core().GetGridScrollPos(1) % 4, 0);
    EXPECT_EQ(Core().GetGridScrollPos(1), 5000);
    int lo = 0, hi = 0;
    Core().GetGridScrollRange(1, &lo, &hi);
    EXPECT_LE(hi / 4, 32767);
    EXPECT_EQ(hi, 100000);  // with the page-sized thumb the range ends at the count
    EXPECT_TRUE(wnd_->IsScrollBarVisible(fw::SB_VERT));
}

TEST_F(GridScrollBars, AGridThatFitsHidesItsBarInAutomaticModeAndKeepsItInMode1) {
    Core().SetRowCount(3);
    Core().SetColCount(2);
    Core().SetScrollBarMode(1, gxnAutomatic);
    Core().UpdateScrollbars();
    EXPECT_FALSE(wnd_->IsScrollBarVisible(fw::SB_VERT));
    Core().SetScrollBarMode(1, gxnEnabled);
    Core().UpdateScrollbars();
    EXPECT_TRUE(wnd_->IsScrollBarVisible(fw::SB_VERT));
    int lo = -1, hi = -1;
    Core().GetGridScrollRange(1, &lo, &hi);
    EXPECT_EQ(lo, hi);  // one position
    EXPECT_EQ(Core().GetScrollBarMode(7), 0);
    Core().SetScrollBarMode(1, 0);
    EXPECT_FALSE(wnd_->IsScrollBarVisible(fw::SB_VERT));
    EXPECT_EQ(Core().SetGridScrollPos(1, 10), 0);  // mode 0: nothing
}

TEST_F(GridScrollBars, CellsAreScrolledIntoViewButNeverIntoTheFrozenRows) {
    Core().SetRowCount(1000);
    Core().SetColCount(50);
    Core().SetFrozenRows(2, 0);
    EXPECT_FALSE(Core().ScrollCellInView(1, 1));
    EXPECT_EQ(Core().GetTopRow(), 3u);
    EXPECT_TRUE(Core().ScrollCellInView(500, 1));
    EXPECT_GE(500u, Core().GetTopRow());
    bool partly = false;
    const ROWCOL last = Core().GetLastVisibleRow(&partly);
    EXPECT_TRUE(last == 500u || (last == 501u && partly)) << last;
    EXPECT_FALSE(Core().ScrollCellInView(500, 1));  // in view now: nothing to do
    EXPECT_TRUE(Core().ScrollCellInView(20, 40));
    EXPECT_EQ(Core().GetTopRow(), 20u);
    EXPECT_LE(Core().GetLeftCol(), 40u);
    EXPECT_GE(Core().GetLastVisibleCol(), 40u);
    EXPECT_FALSE(Core().ScrollCellInView(1, 40));
}

TEST(GridUndoSize, WholeRowsAndColumnsCountAgainstTheGridBeforeTheyAreMultiplied) {
    const struct {
        CGXRange range;
        ROWCOL rows, cols;
        bool tooLarge;
    } cases[] = {
        {CGXRange().SetRows(1, 40000), 40000, 5, true},
        {CGXRange().SetRows(1, 100), 100, 100, false},
        {CGXRange(1, 1, 0x7FFF, 0x7FFF), 0x7FFF, 0x7FFF, false},
        {CGXRange(1, 1, 0x8000, 1), 0x8000, 1, true},
        {CGXRange().SetCols(1, 3), 1000000, 3, true},
        {CGXRange().SetTable(), 10, 10, false},
        {CGXRange().SetTable(), 0xFFFFFFF0, 0xFFFFFFF0, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CGXGridCore::IsTooLargeForUndo(c.range, c.rows, c.cols), c.tooLarge)
            << c.range.top << ".." << c.range.bottom;
}

}  // namespace
