// Line layout of formatted text (DeviceContext::DrawText): mnemonic prefixes, tab expansion,
// line breaks, word wrapping and end ellipsis. Pure functions over a measuring function, so the
// rules can be tested without a font.
#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <vector>

namespace fw::text {

// Width of a run of text without tabs, in device pixels.
using Measure = std::function<int(QStringView)>;

// "&x" underlines x and "&&" stands for "&"; the prefix characters are removed.
struct Prefixed {
    QString text;
    int underline = -1;  // index in text of the underlined character, -1 for none
};
Prefixed StripPrefix(const QString& text);

// Width of a run that may hold tabs: a tab moves to the next multiple of tabWidth.
int MeasureTabbed(QStringView s, const Measure& measure, int tabWidth);

struct Line {
    int start = 0;  // index into the text
    int length = 0;
    int width = 0;  // measured width (tabs expanded as asked)
};

struct LayoutOptions {
    int width = 0;            // room for a line
    bool singleLine = false;  // line breaks are not honoured
    bool wordBreak = false;   // lines wider than width wrap between words
    int tabWidth = 0;         // 0: tabs are not expanded (measured as blanks)
};

// Breaks text into lines. A line break is CR LF, CR or LF; a text ending in one has an empty
// last line. A word wider than the room is cut between characters (at least one per line).
std::vector<Line> BreakLines(const QString& text, const Measure& measure, const LayoutOptions& opt);

// The longest start of s that, followed by "...", fits width; "..." alone (or what of it
// fits) when nothing does.
QString Ellipsize(QStringView s, const Measure& measure, int width);

}  // namespace fw::text
