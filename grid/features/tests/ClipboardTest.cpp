#include "framework/dialogs/MessageBox.h"
#include "framework/persist/Archive.h"
#include "framework/persist/Clipboard.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/GXLongOperationState.h"
#include "grid/features/CGXGridClipboard.h"
#include "grid/features/tests/FeatureFixture.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include <unistd.h>

namespace {

std::string ClipText() {
    fw::Clipboard clip;
    return clip.GetText().value_or("<none>");
}

void SetClipText(const std::string& text) {
    fw::Clipboard clip;
    clip.Empty();
    clip.SetText(text);
}

class ClipboardTest : public FeatureFixture {
protected:
    void Select(const CGXRange& r) {
        Param().m_SelRects.DeleteAll();
        Param().m_SelRects.AddTail(r);
    }
    void TextOnly() { Core().m_nClipboardFlags = GX_DNDTEXT; }
};

TEST_F(ClipboardTest, CopiedTextIsTabSeparatedWithCrLf) {
    TextOnly();
    Fill(1, 1, 2, 2);
    Select(CGXRange(1, 1));
    ASSERT_TRUE(Core().Copy());
    EXPECT_EQ(ClipText(), "r1c1");  // one cell: no line end
    Select(CGXRange(1, 1, 2, 2));
    ASSERT_TRUE(Core().Copy());
    EXPECT_EQ(ClipText(), "r1c1\tr1c2\r\nr2c1\tr2c2\r\n");
    EXPECT_EQ(Core().m_nLastCopyRows, 2u);
    EXPECT_EQ(Core().m_nLastCopyCols, 2u);
}

TEST_F(ClipboardTest, LineBreaksAndTabsInsideCells) {
    TextOnly();
    Set(1, 1, "a\r\nb\nc\td");
    Select(CGXRange(1, 1));
    ASSERT_TRUE(Core().Copy());
    EXPECT_EQ(ClipText(), "a b c\\td");
    Core().m_nClipboardFlags |= GX_DNDEGDESCAPE;
    ASSERT_TRUE(Core().Copy());
    EXPECT_EQ(ClipText(), "a\\r\\nb\\nc\\td");
    Select(CGXRange(3, 3));
    ASSERT_TRUE(Core().Paste());
    EXPECT_EQ(Get(3, 3), "a\r\nb\nc\td");
}

TEST_F(ClipboardTest, PasteOfTextTypedElsewhere) {
    TextOnly();
    SetClipText("10.0.0.1\tnode A\r\n10.0.0.2\tnode B\n\n10.0.0.4\tnode D\r\n");
    Select(CGXRange(2, 2));
    ASSERT_TRUE(Core().Paste());
    EXPECT_EQ(Block(2, 2, 5, 3), "10.0.0.1,node A|10.0.0.2,node B|,|10.0.0.4,node D");
    EXPECT_EQ(Get(6, 2), "");  // the closing line end adds no row
}

TEST_F(ClipboardTest, PastePastLastColumnWithoutAppendingKeepsTheFirstText) {
    TextOnly();
    Core().m_nClipboardFlags |= GX_DNDNOAPPENDCOLS;
    SetClipText("first\tsecond");
    Select(CGXRange(1, 8));
    ASSERT_TRUE(Core().Paste());
    EXPECT_EQ(Get(1, 8), "first");
    EXPECT_EQ(Core().GetColCount(), 8u);
    // Without the flag the grid grows.
    Core().m_nClipboardFlags = GX_DNDTEXT;
    ASSERT_TRUE(Core().Paste());
    EXPECT_EQ(Core().GetColCount(), 9u);
    EXPECT_EQ(Get(1, 9), "second");
}

TEST_F(ClipboardTest, MultiAreaPasteShowsTheMessageAndChangesNothing) {
    TextOnly();
    SetClipText("x");
    Param().m_SelRects.AddTail(CGXRange(1, 1));
    Param().m_SelRects.AddTail(CGXRange(3, 3));
    std::vector<std::string> shown;
    fw::SetMessageBoxHook([&](const fw::MessageBoxRequest& r) -> std::optional<int> {
        shown.push_back(r.text);
        return fw::IDOK;
    });
    EXPECT_FALSE(Core().Paste());
    fw::SetMessageBoxHook({});
    EXPECT_EQ(shown,
              std::vector<std::string>{"Pasting is not possible for multi-area selections."});
    EXPECT_EQ(Get(1, 1), "");
    EXPECT_EQ(UndoCount(), 0u);
}

TEST_F(ClipboardTest, CutAndPasteMovesAndEachStepUndoes) {
    TextOnly();
    Fill(1, 1, 2, 2);
    Select(CGXRange(1, 1, 2, 2));
    ASSERT_TRUE(Core().Cut());
    EXPECT_EQ(Block(1, 1, 2, 2), ",|,");
    EXPECT_EQ(ClipText(), "r1c1\tr1c2\r\nr2c1\tr2c2\r\n");
    Select(CGXRange(5, 5));
    ASSERT_TRUE(Core().Paste());
    EXPECT_EQ(Block(5, 5, 6, 6), "r1c1,r1c2|r2c1,r2c2");
    ASSERT_EQ(UndoCount(), 2u);
    ASSERT_TRUE(Core().Undo());  // the paste
    EXPECT_EQ(Block(5, 5, 6, 6), ",|,");
    ASSERT_TRUE(Core().Undo());  // the cut
    EXPECT_EQ(Block(1, 1, 2, 2), "r1c1,r1c2|r2c1,r2c2");
    ASSERT_TRUE(Core().Redo());
    ASSERT_TRUE(Core().Redo());
    EXPECT_EQ(Block(1, 1, 2, 2), ",|,");
    EXPECT_EQ(Block(5, 5, 6, 6), "r1c1,r1c2|r2c1,r2c2");
}

TEST_F(ClipboardTest, DirectMoveLeavesCellsUntilThePaste) {
    Param().m_bDirectCutPaste = true;
    Fill(1, 1, 2, 2);
    Select(CGXRange(1, 1, 2, 2));
    ASSERT_TRUE(Core().Cut());
    EXPECT_EQ(Block(1, 1, 2, 2), "r1c1,r1c2|r2c1,r2c2");
    EXPECT_TRUE(Param().m_bCutPending);
    Select(CGXRange(4, 4));
    ASSERT_TRUE(Core().Paste());
    EXPECT_EQ(Block(1, 1, 2, 2), ",|,");
    EXPECT_EQ(Block(4, 4, 5, 5), "r1c1,r1c2|r2c1,r2c2");
    EXPECT_FALSE(Param().m_bCutPending);
    EXPECT_TRUE(Param().m_CopiedRanges.IsEmpty());
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(Block(1, 1, 2, 2), "r1c1,r1c2|r2c1,r2c2");
}

TEST_F(ClipboardTest, DirectCopyMarkerNamesProcessAndParameterObject) {
    Param().m_bDirectCopyPaste = true;
    Fill(1, 1, 1, 1);
    Select(CGXRange(1, 1));
    ASSERT_TRUE(Core().Copy());
    fw::Clipboard clip;
    auto marker = clip.GetData(GXDirectCopyFormat());
    ASSERT_TRUE(marker);
    // 32-bit process id, then the 64-bit serial, little-endian.
    ASSERT_EQ(marker->size(), 12u);
    const std::uint32_t pid = static_cast<std::uint32_t>(::getpid());
    for (int i = 0; i < 4; ++i) EXPECT_EQ((*marker)[i], (pid >> (8 * i)) & 0xFF);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ((*marker)[4 + i], (Param().m_nClipboardSerial >> (8 * i)) & 0xFF);
    CGXGridParam other;
    EXPECT_NE(GXDirectCopyMarker(other.m_nClipboardSerial), *marker);
}

TEST_F(ClipboardTest, StylesFormatCarriesWholeStyles) {
    Core().m_nClipboardFlags = GX_DNDSTYLES;
    CGXStyle s;
    s.SetValue("blue").SetInterior(CGXBrush().SetColor(0xFF0000));
    Core().SetStyleRange(CGXRange(1, 1), &s, gxOverride, 0, nullptr, 0);
    Set(1, 2, "plain");
    Select(CGXRange(1, 1, 1, 3));
    ASSERT_TRUE(Core().Copy());
    auto bytes = fw::Clipboard().GetData(GXGetLibraryState().m_nClipboardFormat);
    ASSERT_TRUE(bytes);
    // Header: rows 1, columns 3, then an array count of 3.
    ASSERT_GE(bytes->size(), 10u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes->begin(), bytes->begin() + 10),
              (std::vector<std::uint8_t>{1, 0, 0, 0, 3, 0, 0, 0, 3, 0}));
    std::uint32_t rows = 0, cols = 0;
    std::vector<std::unique_ptr<CGXStyle>> read;
    ASSERT_TRUE(GXReadStylesClipboard(*bytes, Core().GetStylesMap(), rows, cols, read));
    Select(CGXRange(4, 4));
    ASSERT_TRUE(Core().Paste());
    CGXStyle got;
    ASSERT_TRUE(Core().GetStyleRowCol(4, 4, got, gxCopy, 0));
    EXPECT_EQ(got.GetValue(), "blue");
    EXPECT_TRUE(got.GetIncludeInterior());
    EXPECT_EQ(Get(4, 5), "plain");
    EXPECT_FALSE(Core().GetStyleRowCol(4, 6, got, gxCopy, 0));
}

// Malformed styles archives: each is a failed paste that changes nothing.
struct BadArchive {
    const char* name;
    std::vector<std::uint8_t> bytes;
};
class MalformedStylesTest : public ClipboardTest,
                            public ::testing::WithParamInterface<BadArchive> {};

TEST_P(MalformedStylesTest, FailsAndChangesNothing) {
    Set(2, 2, "keep");
    std::uint32_t rows = 9, cols = 9;
    std::vector<std::unique_ptr<CGXStyle>> styles;
    const auto& bytes = GetParam().bytes;
    EXPECT_FALSE(GXReadStylesClipboard(bytes, nullptr, rows, cols, styles));
    EXPECT_TRUE(styles.empty());
    {
        fw::Clipboard clip;
        clip.Empty();
        clip.SetData(GXGetLibraryState().m_nClipboardFormat, bytes);
    }
    Select(CGXRange(2, 2));
    EXPECT_FALSE(Core().Paste());
    EXPECT_EQ(Get(2, 2), "keep");
    EXPECT_EQ(UndoCount(), 0u);
    EXPECT_EQ(Param().m_nTransactionDepth, 0);
}

std::vector<std::uint8_t> Header(std::uint32_t r, std::uint32_t c, std::uint16_t n) {
    std::vector<std::uint8_t> v;
    for (int i = 0; i < 4; ++i) v.push_back((r >> (8 * i)) & 0xFF);
    for (int i = 0; i < 4; ++i) v.push_back((c >> (8 * i)) & 0xFF);
    v.push_back(n & 0xFF);
    v.push_back(n >> 8);
    return v;
}
std::vector<std::uint8_t> WithNulls(std::vector<std::uint8_t> v, int n) {
    for (int i = 0; i < n; ++i) {
        v.push_back(0);
        v.push_back(0);
    }
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    Archives, MalformedStylesTest,
    ::testing::Values(BadArchive{"empty", {}}, BadArchive{"short_header", {1, 0, 0}},
                      BadArchive{"zero_rows", WithNulls(Header(0, 1, 0), 0)},
                      BadArchive{"rows_over_7fff", WithNulls(Header(0x8000, 1, 1), 1)},
                      BadArchive{"cols_over_7fff", WithNulls(Header(1, 0x8000, 1), 1)},
                      BadArchive{"count_not_product", WithNulls(Header(2, 2, 3), 3)},
                      BadArchive{"count_past_bytes", WithNulls(Header(2, 2, 4), 3)},
                      BadArchive{"huge_product", WithNulls(Header(0x7FFF, 0x7FFF, 4), 4)},
                      BadArchive{"bad_tag", {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0x05, 0x80}},
                      BadArchive{
                          "unknown_class",
                          {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0xFF, 0xFF, 1, 0, 3, 0, 'X', 'Y', 'Z'}}),
    [](const auto& info) { return std::string(info.param.name); });

// A grid whose cell store refuses the n-th store: stands for a store that fails midway.
class FailingStoreCore : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    bool StoreStyleRowCol(ROWCOL row, ROWCOL col, const CGXStyle* style, GXModifyType type,
                          int styleType) override {
        if (failAt > 0 && ++stores == failAt)
            return false;
        return CGXGridCore::StoreStyleRowCol(row, col, style, type, styleType);
    }
    int failAt = 0;
    int stores = 0;
};
using FailingPasteTest = FeatureFixtureT<FailingStoreCore>;

TEST_F(FailingPasteTest, AFailedStoreRollsThePasteBack) {
    Core().m_nClipboardFlags = GX_DNDTEXT;
    Set(1, 1, "old1");
    Set(2, 2, "old4");
    SetClipText("a\tb\r\nc\td\r\n");
    Param().m_SelRects.AddTail(CGXRange(1, 1));
    Core().failAt = 4;  // the last cell
    EXPECT_FALSE(Core().Paste());
    Core().failAt = 0;
    EXPECT_EQ(Block(1, 1, 2, 2), "old1,|,old4");
    EXPECT_EQ(UndoCount(), 0u);
    EXPECT_EQ(RedoCount(), 0u);
    EXPECT_EQ(Param().m_nTransactionDepth, 0);
}

// A grid that keeps the clipboard paste within its rows: Paste must go through the grid's own
// PasteFromClipboard for that to hold.
class NoAppendCore : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    bool PasteFromClipboard(const CGXRange& range) override {
        ++asked;
        const unsigned old = m_nClipboardFlags;
        m_nClipboardFlags |= GX_DNDNOAPPENDROWS;
        const bool ok = CGXGridCore::PasteFromClipboard(range);
        m_nClipboardFlags = old;
        return ok;
    }
    int asked = 0;
};
using NoAppendPasteTest = FeatureFixtureT<NoAppendCore>;

TEST_F(NoAppendPasteTest, PasteAsksTheGridsOwnClipboardPaste) {
    Core().m_nClipboardFlags = GX_DNDTEXT;
    SetClipText("a\r\nb\r\nc\r\n");
    Param().m_SelRects.AddTail(CGXRange(19, 1));
    EXPECT_TRUE(Core().Paste());
    EXPECT_EQ(Core().asked, 1);
    EXPECT_EQ(Core().GetRowCount(), 20u);
    EXPECT_EQ(Block(19, 1, 20, 1), "a|b");
}

// A paste over 10,000 cells, with the long operation's clock stepping 100 ms per look.
class BigPasteTest : public ClipboardTest {
protected:
    void SetUp() override {
        ClipboardTest::SetUp();
        GXLongOperationState& s = GXGetLibraryState().m_longOperation;
        s.tickCount = [this] { return now_ += 100; };
        CGXLongOperation::SetConfirmAbort(false);
        TextOnly();
        for (int r = 0; r < 2000; ++r) {
            for (int c = 0; c < 5; ++c) {
                text_ += "v" + std::to_string(r) + "_" + std::to_string(c);
                text_ += c < 4 ? "\t" : "\r\n";
            }
        }
        SetClipText(text_);
        Param().m_SelRects.AddTail(CGXRange(1, 1));
    }
    void PressEscape() {
        QCoreApplication::postEvent(
            wnd_.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    }
    std::uint64_t now_ = 1000;
    std::string text_;
};

TEST_F(BigPasteTest, UndoAndRedoOfTenThousandCells) {
    ASSERT_TRUE(Core().Paste());
    EXPECT_EQ(Core().GetRowCount(), 2000u);
    EXPECT_EQ(Get(2000, 5), "v1999_4");
    EXPECT_EQ(Get(1234, 3), "v1233_2");
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(Get(2000, 5), "");
    EXPECT_EQ(Get(1, 1), "");
    ASSERT_TRUE(Core().Redo());
    EXPECT_EQ(Get(1234, 3), "v1233_2");
}

TEST_F(BigPasteTest, EscapeStopsThePasteAndRollsBackWhenAsked) {
    // Abort keeps what was pasted; Retry aborts and rolls back.
    CGXLongOperation::SetConfirmAbort(true);
    std::vector<int> answers = {fw::IDABORT, fw::IDRETRY};
    fw::ScopedMessageBoxAnswers scoped(answers);
    PressEscape();
    EXPECT_FALSE(Core().Paste());
    EXPECT_TRUE(CGXLongOperation::GetAbortConfirmedState());
    EXPECT_FALSE(CGXLongOperation::GetRollbackConfirmedState());
    // Stopped part-way: the first rows are there, the last are not; one undo step remains.
    EXPECT_EQ(Get(1, 1), "v0_0");
    EXPECT_EQ(Get(2000, 5), "");
    EXPECT_EQ(UndoCount(), 1u);
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(Get(1, 1), "");

    PressEscape();
    EXPECT_FALSE(Core().Paste());
    EXPECT_EQ(scoped.asked.size(), 2u);
    EXPECT_EQ(Get(1, 1), "");
    EXPECT_EQ(Param().m_nTransactionDepth, 0);
}

}  // namespace
