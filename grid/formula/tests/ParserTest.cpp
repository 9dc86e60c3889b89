#include "grid/formula/Parser.h"

#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "grid/formula/ErrorMessages.h"
#include "grid/formula/FormulaText.h"
#include "grid/formula/WorksheetFunctions.h"

namespace formula::test {
namespace {

class ParserTest : public EngineTest {
protected:
    std::string RoundTrip(const std::string& text) {
        GXFormula f;
        GXParseResult r = GXParseFormulaText(&Sheet(), text, f);
        if (!r.ok) {
            return "error " + std::to_string(r.error) + " at " + std::to_string(r.position);
        }
        std::string printed = GXFormulaToText(f).value_or("<too long>");
        GXFormula again;
        EXPECT_TRUE(GXParseFormulaText(&Sheet(), printed, again).ok) << printed;
        EXPECT_EQ(GXFormulaToText(again).value_or(""), printed) << text;
        return printed;
    }
    GXParseResult Parse(const std::string& text, GXFormula& f) {
        return GXParseFormulaText(&Sheet(), text, f);
    }
};

TEST_F(ParserTest, PrintsWhatItParsedAndParsesThatAgain) {
    const std::pair<const char*, const char*> cases[] = {
        {"=1+2*3", "=1+2*3"},
        {"=(A1+$B$2)*2", "=(A1+$B$2)*2"},
        {"=A1=B1", "=A1==B1"},
        {"=A1<>B1", "=A1!=B1"},
        {"=SUM(A1:B3)", "=SUM(A1..B3)"},
        {"=sum(a1.b3, 2)", "=SUM(A1..B3,2)"},
        {"=B2:A1", "=A1..B2"},
        {"=$B$2:A1", "=A1..$B$2"},
        {"=PI()", "=PI()"},
        {"=@PI", "=PI()"},
        {"=#{1,2}", "=#{1,2}"},
        {"=#", "=#"},
        {"=#{-1}", "=#{-1}"},
        {"=10%3", "=10%3"},
        {"=10%", "=10%"},
        {"=10%+1", "=10%+1"},
        {"=-2**2", "=-2**2"},
        {"=2**3**2", "=2**3**2"},
        {"=A1>0?1:A2 #AND# 3", "=A1>0?1:A2&&3"},
        {"=!1 || ~2 && 3 | 4 ^ 5 & 6", "=!1||~2&&3|4^5&6"},
        {"=1<<2>>3", "=1<<2>>3"},
        {"=0x1f+0xFFFFFFFF", "=0x1F+0xFFFFFFFF"},
        {"=1e5+.5+1e-7", "=100000+0.5+1e-07"},
        {"=\"a\\\"b\\n\"", "=\"a\\\"b\\n\""},
        {"=\"\\x41\\101\\q\"", "=\"AAq\""},
        {"=??", "=??"},
        {"=1;A1>0", "=1;A1>0"},
        {"=A1+1\\B1,C1:C3,D4", "=A1+1\\B1,C1..C3,D4"},
        {"=1 // a note", "=1// a note"},
        {"=@@(\"A1\")", "=@@(\"A1\")"},
        {"=@sum(1)", "=SUM(1)"},
        {"=IF(A1,\"yes\",\"no\")", "=IF(A1,\"yes\",\"no\")"},
        {"=A1:SUM(B1)", "=A1:SUM(B1)"},
        {"=@PI:A1", "=PI():A1"},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(RoundTrip(in), out) << in;
    }
}

TEST_F(ParserTest, BuildsTheTreeThePrecedenceRulesSay) {
    GXFormula f;
    ASSERT_TRUE(Parse("=1+2*3", f).ok);
    const GXExprNode& root = f.nodes[f.root];
    EXPECT_EQ(root.op, GX_OP_ADD);
    EXPECT_EQ(f.nodes[root.right].op, GX_OP_MUL);
    ASSERT_TRUE(Parse("=(1+2)*3", f).ok);
    EXPECT_TRUE(f.nodes[f.nodes[f.root].left].flags & GX_NODE_PARENTHESISED);
    ASSERT_TRUE(Parse("=-2**2", f).ok);
    EXPECT_EQ(f.nodes[f.root].op, GX_OP_NEG);
    ASSERT_TRUE(Parse("=10%3", f).ok);
    EXPECT_EQ(f.nodes[f.root].op, GX_OP_MOD);
    ASSERT_TRUE(Parse("=10%", f).ok);
    EXPECT_EQ(f.nodes[f.root].op, GX_OP_PERCENT);
    ASSERT_TRUE(Parse("=$A$1", f).ok);
    EXPECT_TRUE(f.nodes[f.root].ref.absFirstRow() && f.nodes[f.root].ref.absFirstCol());
    for (const char* same : {"=A1:B2", "=A1..B2", "=A1.B2", "=B2:A1"}) {
        ASSERT_TRUE(Parse(same, f).ok) << same;
        ASSERT_EQ(f.nodes.size(), 1u) << same;
        EXPECT_EQ(f.nodes[0].kind, GX_NODE_RANGE);
        EXPECT_EQ(GXRefToText(f.nodes[0].ref), "A1..B2");
    }
    ASSERT_TRUE(Parse("=0x10", f).ok);
    EXPECT_EQ(f.nodes[0].number, 16);
    EXPECT_TRUE(f.nodes[0].flags & GX_NODE_HEX);
    ASSERT_TRUE(Parse("=0xFFFFFFFF", f).ok);
    EXPECT_EQ(f.nodes[0].number, -1);
}

// A cell keeps its formula in one block with the nodes; copies and moves between that form and
// a plain formula, and nodes that outgrow the block, keep every node and text.
TEST_F(ParserTest, CompactFormulaKeepsItsNodesThroughCopiesAndMoves) {
    const std::string text = "=IF(A1>2,\"long literal text\",B2&\"x\") ;A1>0 // note";
    GXFormula parsed;
    ASSERT_TRUE(Parse(text, parsed).ok);
    const std::string printed = GXFormulaToText(parsed).value_or("<none>");
    auto print = [](const GXFormula& f) { return GXFormulaToText(f).value_or("<none>"); };

    std::unique_ptr<GXFormula> compact = GXFormula::Compact(parsed);
    EXPECT_EQ(compact->nodes.data(), reinterpret_cast<const GXExprNode*>(compact.get() + 1));
    EXPECT_EQ(print(*compact), printed);

    GXFormula copied = *compact;  // from the block to the heap
    EXPECT_EQ(print(copied), printed);
    GXFormula moved = std::move(*compact);  // node by node out of the block
    EXPECT_EQ(print(moved), printed);
    EXPECT_TRUE(compact->nodes.empty());

    std::unique_ptr<GXFormula> other = GXFormula::Compact(std::move(copied));
    EXPECT_EQ(print(*other), printed);
    *other = std::move(moved);  // a heap array replaces the block's nodes
    EXPECT_EQ(print(*other), printed);
    *compact = *other;  // back into the emptied block
    EXPECT_EQ(compact->nodes.data(), reinterpret_cast<const GXExprNode*>(compact.get() + 1));
    EXPECT_EQ(print(*compact), printed);

    size_t n = compact->nodes.size();
    compact->nodes.resize(n + 40);  // outgrows the block
    compact->nodes.resize(n);
    EXPECT_NE(compact->nodes.data(), reinterpret_cast<const GXExprNode*>(compact.get() + 1));
    EXPECT_EQ(print(*compact), printed);
}

TEST_F(ParserTest, BadInputGivesErrorNumberAndPosition) {
    struct Case {
        std::string text;
        int error;
        int position;
    };
    std::string args101 = "=SUM(1";
    for (int i = 1; i < 101; ++i) {
        args101 += ",1";
    }
    args101 += ")";
    const Case cases[] = {
        {"==1", 274, 1},
        {"1+1", 253, 1},
        {"=1+", 274, 4},
        {"=--1", 274, 3},
        {"=A0", 226, 2},
        {"=FAO1", 281, 2},  // the scanner makes FAO1 a name: column 4096 does not exist
        {"=SUM(A1:B2", 250, 11},
        {"=NOSUCH(1)", 227, 2},
        {"=x", 281, 2},
        {"=1 2", 271, 4},
        {"=A1:+", 275, 5},
        {"=[1]", 223, 2},
        {"=SUM()", 230, 2},
        {"=ABS(1,2)", 229, 2},
        {"=IF(1,2)", 230, 2},
        {args101, 229, 2},
        {"=1e999", 282, 2},
        {"=0x123456789", 88, 2},
        {"=\"" + std::string(512, 'a') + "\"", 150, 2},
        {"=" + std::string(201, '(') + "1" + std::string(201, ')'), 139, 202},
        {"=1;", 274, 4},
        {"=1\\2", 264, 4},
        {"=#{1,2", 252, 7},
    };
    for (const Case& c : cases) {
        GXFormula f;
        GXParseResult r = Parse(c.text, f);
        EXPECT_FALSE(r.ok) << c.text;
        EXPECT_EQ(r.error, c.error) << c.text << ": " << GXErrorMessage(r.error);
        EXPECT_EQ(r.position, c.position) << c.text;
        EXPECT_TRUE(f.empty());
    }
}

TEST_F(ParserTest, NodeBufferHoldsTwoHundredNodes) {
    // "=1+1+..." with n ones needs 2n-1 nodes.
    auto sum = [](int ones) {
        std::string s = "=1";
        for (int i = 1; i < ones; ++i) {
            s += "+1";
        }
        return s;
    };
    GXFormula f;
    EXPECT_TRUE(Parse(sum(100), f).ok);
    EXPECT_EQ(f.nodes.size(), 199u);
    EXPECT_TRUE(Parse(sum(100) + "%", f).ok);
    EXPECT_EQ(f.nodes.size(), 200u);
    GXParseResult r = Parse(sum(101), f);
    EXPECT_EQ(r.error, GX_ERR_TOKEN_OVERFLOW);
}

TEST_F(ParserTest, NamesAreFoundInAnyCaseAndKindFollowsTheirReference) {
    GXRangeRef cell, range;
    ASSERT_TRUE(GXParseRef("B2", cell));
    ASSERT_TRUE(GXParseRef("B2:C3", range));
    Sheet().names.push_back(std::make_unique<GXRangeName>(GXRangeName{"Rate", cell}));
    Sheet().names.push_back(std::make_unique<GXRangeName>(GXRangeName{"Table", range}));
    GXFormula f;
    ASSERT_TRUE(Parse("=rate*SUM(TABLE)", f).ok);
    EXPECT_EQ(GXFormulaToText(f), "=Rate*SUM(Table)");
    EXPECT_EQ(f.nodes[f.nodes[f.root].left].kind, GX_NODE_NAMED_CELL);
}

TEST_F(ParserTest, ArgumentsBindToDescriptors) {
    GXFormula f;
    ASSERT_TRUE(Parse("=IF(A1,B1,C1)", f).ok);
    const GXExprNode& call = f.nodes[f.root];
    int link = call.right;
    const bool unevaluated[] = {false, true, true};
    for (bool u : unevaluated) {
        ASSERT_GE(link, 0);
        EXPECT_EQ((f.nodes[link].flags & GX_NODE_UNEVALUATED) != 0, u);
        link = f.nodes[link].right;
    }
    EXPECT_EQ(link, -1);
    // A repeating descriptor followed by one more: the last argument takes the last descriptor.
    ASSERT_TRUE(Parse("=CSUM(A1:A3,B1:B3,#>0)", f).ok);
    link = f.nodes[f.root].right;
    EXPECT_EQ(f.nodes[link].conversion, GX_ARG_RANGE);
    link = f.nodes[f.nodes[link].right].right;
    EXPECT_TRUE(f.nodes[link].flags & GX_NODE_UNEVALUATED);
    EXPECT_EQ(Parse("=CSUM(A1:A3)", f).error, GX_ERR_NOT_ENOUGH_ARGS);
}

TEST_F(ParserTest, RecordsTheOutcomeInTheEngineState) {
    GXFormula f;
    EXPECT_FALSE(GXParseFormula(sheet, "=1+", f));
    EXPECT_EQ(GXGetEngineState().errorFlag, 1);
    EXPECT_EQ(GXGetEngineState().lastError, 274);
    EXPECT_EQ(GXGetEngineState().lastErrorPos, 4);
    EXPECT_TRUE(GXParseFormula(sheet, "=1", f));
    EXPECT_EQ(GXGetEngineState().errorFlag, 0);
    EXPECT_EQ(GXGetEngineState().lastError, 0);
}

}  // namespace
}  // namespace formula::test

namespace formula::test {
namespace {

// Random formulas from pieces of the language: the parser never crashes, and whatever it
// accepts prints to a text that parses to the same print.
TEST_F(ParserTest, RandomFormulasRoundTripOrFailCleanly) {
    const char* pieces[] = {"A1", "$B$2", ":", "..", ".",   "1",    "0x1F", "2.5e3", "\"s\\\"t\"",
                            "+",  "-",    "*", "/",  "%",   "**",   "&&",   "||",    "!",
                            "~",  "&",    "|", "^",  "<<",  ">>",   "==",   "!=",    "<",
                            ">=", "?",    "(", ")",  ",",   "SUM(", "IF(",  "#",     "#{",
                            "}",  "??",   ";", "\\", "//c", " ",    "x",    "@@(",   "ABS("};
    const unsigned seed = 20261210;
    std::srand(seed);
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string text = "=";
        int n = 1 + std::rand() % 12;
        for (int k = 0; k < n; ++k) {
            text += pieces[static_cast<size_t>(std::rand()) % std::size(pieces)];
        }
        GXFormula f;
        if (!Parse(text, f).ok) {
            continue;
        }
        ++accepted;
        auto printed = GXFormulaToText(f);
        ASSERT_TRUE(printed) << text;
        GXFormula again;
        ASSERT_TRUE(Parse(*printed, again).ok)
            << "seed " << seed << ": " << text << " -> " << *printed;
        EXPECT_EQ(GXFormulaToText(again), printed) << text;
        GXValue v;
        GXEvaluateText(sheet, *printed, 5, 5, v);  // must not crash whatever it yields
    }
    EXPECT_GT(accepted, 100);
}

}  // namespace
}  // namespace formula::test
