// The rich-text cells' value format: a small subset of Rich Text Format that carries what the
// cells use (paragraphs with an alignment, runs of text with bold, italic, underline, strike-out,
// a font face, a size and a colour) and nothing more. The reader accepts any bytes: unknown
// control words and destinations are skipped, braces need not balance, nesting and numbers are
// bounded. The writer escapes backslash, braces and every non-ASCII character (\uN).
// Pure code: no windows, no Qt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct GXRichCharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::string face;                   // empty: the document's default
    int sizeTwips = 0;                  // 0: the default; points x 20
    std::uint32_t color = 0xFFFFFFFFu;  // 0x00BBGGRR, or automatic
    friend bool operator==(const GXRichCharFormat&, const GXRichCharFormat&) = default;
};

struct GXRichRun {
    std::string text;  // UTF-8; a line break within the paragraph is "\n"
    GXRichCharFormat format;
    friend bool operator==(const GXRichRun&, const GXRichRun&) = default;
};

enum class GXRichAlign { Left, Center, Right };

struct GXRichParagraph {
    GXRichAlign align = GXRichAlign::Left;
    std::vector<GXRichRun> runs;
    friend bool operator==(const GXRichParagraph&, const GXRichParagraph&) = default;
};

struct GXRichDocument {
    std::vector<GXRichParagraph> paragraphs;
    friend bool operator==(const GXRichDocument&, const GXRichDocument&) = default;
    // The text of every paragraph, joined by "\n".
    std::string PlainText() const;
    // TRUE when no paragraph holds any text.
    bool Empty() const;
};

GXRichDocument GXReadRichText(std::string_view rtf);
std::string GXWriteRichText(const GXRichDocument& doc);
// Plain text as a value: "{" + the text escaped + "}" (line breaks become \par).
std::string GXWrapPlainText(std::string_view text);
// The plain text of a value.
std::string GXRichPlainText(std::string_view rtf);
