#include "grid/formula/Scanner.h"

#include <gtest/gtest.h>

#include <string>

namespace formula {
namespace {

// Each token as "kind" or "kind:text", with "@column" appended.
std::string Tokens(const std::string& text) {
    GXScanner scanner(text);
    std::string out;
    for (;;) {
        GXToken t = scanner.NextToken();
        if (!out.empty()) {
            out += ' ';
        }
        out += std::to_string(t.kind);
        if (t.text) {
            out += ":" + *t.text;
        }
        if (t.kind == GX_TOK_ERROR) {
            out += "!" + std::to_string(t.value);
        }
        out += "@" + std::to_string(t.column);
        if (t.kind == GX_TOK_END) {
            return out;
        }
    }
}

struct Case {
    const char* text;
    const char* tokens;
};

TEST(ScannerTest, TokenStreamsWithColumns) {
    const Case cases[] = {
        {"=SUM(A1,2.5)", "22@0 34:SUM@1 18@4 33:A1@5 2@7 37:2.5@8 19@11 40@12"},
        {"A1..B2", "33:A1@0 32@2 33:B2@4 40@6"},
        {"A1.B2", "33:A1@0 42@2 33:B2@3 40@5"},
        {"A1:B2", "33:A1@0 1@2 33:B2@3 40@5"},
        {"x.y.z", "34:x.y.z@0 40@5"},
        {"AAAA1 A12345678", "34:AAAA1@0 34:A12345678@6 40@15"},
        {"$AB$12 ab1", "33:$AB$12@0 33:ab1@7 40@10"},
        {"FAN1 FAO1", "33:FAN1@0 34:FAO1@5 40@9"},
        {"'Sheet 1'!A1", "41!223@0 34:Sheet@1 37:1@7 41!223@8 14@9 33:A1@10 40@12"},
        {"1e5 1e-5 1E5", "37:1e5@0 37:1e-5@4 37:1@9 33:E5@10 40@12"},
        {"1.5E3 .5 3. 1.e2", "37:1.5@0 33:E3@3 37:.5@6 37:3.@9 37:1.e2@12 40@16"},
        {"0x1F 0X0 0x", "38:1F@0 38:0@5 37:0@9 34:x@10 40@11"},
        {"\"a\\\"b\" \"x", "36:a\\\"b@0 41!223@7 34:x@8 40@9"},
        {"@@ @SUM_1 @", "35:@@0 35:SUM_1@3 41!223@10 40@11"},
        {"1 // note", "37:1@0 39: note@2 40@9"},
        {"#and# #Or# #NOT# #", "24@0 25@6 14@11 4@17 40@18"},
        {"** && || << >> <= >= != <> == ..",
         "23@0 24@3 25@6 26@9 27@12 28@15 29@18 30@21 30@24 31@27 32@30 40@32"},
        {"; : , ? # \\ + - * / % | ^ & ! ~ < > ( ) { } = .",
         "0@0 1@2 2@4 3@6 4@8 5@10 6@12 7@14 8@16 9@18 10@20 11@22 12@24 13@26 14@28 15@30 "
         "16@32 17@34 18@36 19@38 20@40 21@42 22@44 42@46 40@47"},
        {"?? ?", "43@0 3@3 40@4"},
        {"$ _x $a.b", "34:$@0 34:_x@2 34:$a.b@5 40@9"},
        {"a\tb\nc", "34:a@0 34:b@2 34:c@4 40@5"},
        {"[]`\r\xC3", "41!223@0 41!223@1 41!223@2 41!223@3 41!223@4 40@5"},
        {"", "40@0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Tokens(c.text), c.tokens) << c.text;
    }
}

TEST(ScannerTest, SetInputStartsOver) {
    GXScanner scanner("A1 B2");
    EXPECT_EQ(scanner.NextToken().kind, GX_TOK_CELL);
    scanner.SetInput("+");
    GXToken t = scanner.NextToken();
    EXPECT_EQ(t.kind, GX_TOK_PLUS);
    EXPECT_EQ(t.column, 0);
    EXPECT_EQ(scanner.NextToken().kind, GX_TOK_END);
    EXPECT_EQ(scanner.NextToken().kind, GX_TOK_END);
}

}  // namespace
}  // namespace formula
