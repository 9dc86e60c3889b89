// The rich-text value format: documents that go out and come back, the bytes the writer makes,
// what the reader takes from other writers' documents, and hostile inputs.
#include "grid/controls/GXRichText.h"

#include <gtest/gtest.h>

namespace {

GXRichRun MakeRun(const char* text, GXRichCharFormat f = {}) {
    return {text, f};
}

TEST(RichTextCodec, DocumentsComeBackUnchanged) {
    GXRichCharFormat bold;
    bold.bold = true;
    GXRichCharFormat fancy;
    fancy.italic = fancy.underline = fancy.strikeOut = true;
    fancy.face = "Times New Roman";
    fancy.sizeTwips = 240;
    fancy.color = 0x0000FF;
    GXRichCharFormat other = fancy;
    other.face = "Arial";
    other.color = 0x00FF00;
    const std::vector<GXRichDocument> docs = {
        {{{GXRichAlign::Left, {MakeRun("plain")}}}},
        {{{GXRichAlign::Center, {MakeRun("a"), MakeRun("b", bold)}},
          {GXRichAlign::Right, {MakeRun("x{y}\\z", fancy), MakeRun("q", other)}}}},
        {{{GXRichAlign::Left,
           {MakeRun("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 line\nnext\ttab")}}}},
        {{{GXRichAlign::Left, {MakeRun("\x01\x1f")}}}},
    };
    for (const GXRichDocument& d : docs) {
        const std::string rtf = GXWriteRichText(d);
        EXPECT_EQ(GXReadRichText(rtf), d) << rtf;
        for (unsigned char c : rtf) EXPECT_LT(c, 0x80) << rtf;  // the writer escapes
    }
}

TEST(RichTextCodec, WriterBytes) {
    GXRichCharFormat f;
    f.bold = true;
    f.face = "Arial";
    f.sizeTwips = 200;
    f.color = 0x0080FF;  // red 255, green 128, blue 0
    const GXRichDocument d{{{GXRichAlign::Center, {MakeRun("Hi \xC3\xA9", f)}}}};
    EXPECT_EQ(GXWriteRichText(d),
              "{\\rtf1\\ansi\\uc1{\\fonttbl{\\f0 Arial;}}"
              "{\\colortbl;\\red255\\green128\\blue0;}\n"
              "\\pard\\qc {\\b\\f0\\fs20\\cf1 Hi \\u233?}}");
}

TEST(RichTextCodec, WrappedPlainTextIsEscaped) {
    const struct {
        const char* text;
        const char* value;
    } cases[] = {
        {"abc", "{abc}"},
        {"a\\b{c}", "{a\\\\b\\{c\\}}"},
        {"\xC3\xA9", "{\\u233?}"},
        {"\xE2\x82\xAC", "{\\u8364?}"},
        {"\xF0\x9F\x98\x80", "{\\u-10179?\\u-8704?}"},
        {"one\r\ntwo", "{one\\par two}"},
        {"", "{}"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GXWrapPlainText(c.text), c.value) << c.text;
        std::string back = c.text;
        if (back == "one\r\ntwo")
            back = "one\ntwo";
        EXPECT_EQ(GXRichPlainText(c.value), back) << c.value;
    }
}

TEST(RichTextCodec, ReadsWhatOtherWritersMake) {
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}"
        "{\\*\\generator Msftedit 5.41;}{\\info{\\title secret}}"
        "\\viewkind4\\uc1\\pard\\f0\\fs20 caf\\'e9 \\b bold\\b0  \\~end\\par\n}";
    const GXRichDocument d = GXReadRichText(rtf);
    ASSERT_EQ(d.paragraphs.size(), 1u);
    EXPECT_EQ(d.PlainText(),
              "caf\xC3\xA9 bold \xC2\xA0"
              "end");
    ASSERT_EQ(d.paragraphs[0].runs.size(), 3u);
    EXPECT_TRUE(d.paragraphs[0].runs[1].format.bold);
    EXPECT_EQ(d.paragraphs[0].runs[0].format.face, "Arial");
    EXPECT_EQ(d.paragraphs[0].runs[0].format.sizeTwips, 200);
}

TEST(RichTextCodec, HostileInputsAreReadSafely) {
    const std::string deep(100000, '{');
    const struct {
        std::string in;
        const char* plain;
    } cases[] = {
        {"{{{a", "a"},
        {"}}}a}}{b", "ab"},
        {deep + "x" + std::string(100000, '}') + "y", "xy"},
        {"{\\zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz99999999999999999999 t}", "t"},
        {"\\fs99999999999999999999 a\\cf99999 b\\f-5 c", "abc"},
        {"\\u99999999? \\u-99999999?x", "\xEF\xBF\xBD \xEF\xBF\xBDx"},
        {"\\", ""},
        {"\\'", ""},
        {"\\'4", "\x04"},
        {"\xff\xfe", "\xC3\xBF\xC3\xBE"},  // stray bytes read as Latin-1
        {"{\\*\\unknown {nested} text}after", "after"},
        {"{\\colortbl;\\red300;;;;}x\\cf9 y", "xy"},
        {"\\uc99 \\u65 ABCD\\b E", "AE"},  // at most 16 stand-ins, and never past a control word
    };
    for (const auto& c : cases) EXPECT_EQ(GXRichPlainText(c.in), c.plain) << c.in.substr(0, 60);
}

}  // namespace
