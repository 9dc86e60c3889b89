// Cell text layout: splitting a text into lines that fit a cell, and drawing them aligned.
#include "grid/core/CGXDrawingAndFormatting.h"

#include <algorithm>
#include <array>

namespace {

bool IsBreak(char c) {
    return c == '\r' || c == '\n';
}

// The byte after the UTF-8 character at i (never past the end).
std::size_t NextChar(std::string_view s, std::size_t i) {
    if (i >= s.size())
        return s.size();
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    return i;
}

int Width(fw::DeviceContext& dc, std::string_view s) {
    return s.empty() ? 0 : dc.GetTextExtent(s).cx;
}

// The line step of a font: height plus external leading, one pixel less above 19 pixels.
int LineStep(const fw::TextMetrics& tm) {
    const int h = tm.height + tm.externalLeading;
    return h > 19 ? h - 1 : h;
}

struct Layout {
    std::array<int, CGXDrawingAndFormatting::kMaxLines> starts{};
    std::array<int, CGXDrawingAndFormatting::kMaxLines> lengths{};
    int count = 0;
    fw::Rect rect;  // top moved for vertical alignment
};

Layout Split(CGXDrawingAndFormatting& df, fw::DeviceContext& dc, std::string_view text,
             const fw::Rect& rect, unsigned format) {
    Layout l;
    l.rect = rect;
    l.count = df.SplitTextLines(dc, text, l.rect, format, l.starts, l.lengths);
    return l;
}

int LineX(const fw::Rect& rect, unsigned format, int width) {
    int x = rect.left;
    if (format & fw::DT_RIGHT)
        x = rect.right - width;
    else if (format & fw::DT_CENTER)
        x = rect.left + (rect.Width() - width) / 2;
    return std::max(x, rect.left);
}

// Writes one line; a single character wider than the cell is clipped or moved into view.
void WriteLine(fw::DeviceContext& dc, std::string_view line, const fw::Rect& rect,
               const fw::Rect* clip, unsigned format, int y) {
    const int w = Width(dc, line);
    int x = LineX(rect, format, w);
    const bool single = NextChar(line, 0) == line.size();
    if (single && clip && w > clip->Width()) {
        const int saved = dc.SaveDC();
        dc.IntersectClipRect(*clip);
        dc.TextOut(x, y, line);
        dc.RestoreDC(saved);
        return;
    }
    if (single && clip && w > rect.Width())
        x = std::min(clip->right - w, rect.left);
    dc.TextOut(x, y, line);
}

// Mode 1: the line followed by "...", shortened until it fits.
std::string DotLine(fw::DeviceContext& dc, std::string_view line, int width) {
    std::string_view body = line;
    while (NextChar(body, 0) < body.size()) {
        if (Width(dc, std::string(body) + "...") <= width)
            return std::string(body) + "...";
        std::size_t cut = 0;
        for (std::size_t i = 0; i < body.size(); i = NextChar(body, i)) cut = i;
        body = body.substr(0, cut);
    }
    for (std::string_view dots : {"...", "..", "."})
        if (Width(dc, std::string(body) + std::string(dots)) <= width)
            return std::string(body) + std::string(dots);
    return std::string(body);
}

}  // namespace

int CGXDrawingAndFormatting::SplitTextLines(fw::DeviceContext& dc, std::string_view text,
                                            fw::Rect& rect, unsigned format, std::span<int> starts,
                                            std::span<int> lengths) {
    const int maxLines = static_cast<int>(std::min(starts.size(), lengths.size()));
    const fw::TextMetrics tm = dc.GetTextMetrics();
    const int lineH = std::max(1, tm.height + tm.externalLeading);
    const bool wrap = (format & fw::DT_WORDBREAK) != 0;
    const int width = rect.Width() + 1;
    const int height = rect.Height();
    int allowed = 1;
    if (lineH < height - lineH / 3)
        allowed = std::max(1, height / lineH);

    const std::size_t n = text.size();
    std::size_t start = 0;
    int lines = 0;
    int used = 0;
    while (lines < maxLines) {
        std::size_t pos = start;
        int words = 0;
        bool tooWide = false;
        while (true) {
            std::size_t p = pos;
            while (p < n && text[p] == ' ') ++p;
            while (p < n && text[p] != ' ' && !IsBreak(text[p])) p = NextChar(text, p);
            while (p < n && text[p] == ' ') ++p;
            if (p == pos)
                break;  // at a line break or the end
            if (Width(dc, text.substr(start, p - start)) > width) {
                tooWide = true;
                break;
            }
            ++words;
            pos = p;
            if (p >= n || IsBreak(text[p]))
                break;
        }
        const bool moreAllowed = wrap && lines + 1 < allowed && lines + 1 < maxLines;
        std::size_t end = pos;
        std::size_t next = pos;
        bool emptyLast = false;
        if (tooWide && !(words >= 1 && moreAllowed)) {
            // Cut between characters at the last one that still fits (at least one).
            end = NextChar(text, start);
            for (std::size_t e = end; e < n && !IsBreak(text[e]);) {
                const std::size_t f = NextChar(text, e);
                if (Width(dc, text.substr(start, f - start)) > width)
                    break;
                end = e = f;
            }
            next = end;
        } else if (!tooWide && pos < n && IsBreak(text[pos])) {
            next = pos + ((text[pos] == '\r' && pos + 1 < n && text[pos + 1] == '\n') ? 2 : 1);
            emptyLast = next >= n;
        }
        starts[static_cast<std::size_t>(lines)] = static_cast<int>(start);
        lengths[static_cast<std::size_t>(lines)] = static_cast<int>(end - start);
        ++lines;
        used += tm.height + 1;
        start = next;
        if (!wrap || lines >= allowed || (start >= n && !emptyLast))
            break;
        if (emptyLast && lines < maxLines) {
            starts[static_cast<std::size_t>(lines)] = static_cast<int>(n);
            lengths[static_cast<std::size_t>(lines)] = 0;
            ++lines;
            used += tm.height + 1;
            break;
        }
    }
    if (used < height) {
        if (format & fw::DT_VCENTER)
            rect.top += (height + tm.externalLeading - used) / 2;
        else if (format & fw::DT_BOTTOM)
            rect.top += height - used;
    }
    return lines;
}

int CGXDrawingAndFormatting::DrawTextRect(fw::DeviceContext& dc, std::string_view text,
                                          const fw::Rect& rect, unsigned format,
                                          const fw::Rect* clip) {
    const Layout l = Split(*this, dc, text, rect, format);
    const int step = LineStep(dc.GetTextMetrics());
    int y = l.rect.top;
    for (int i = 0; i < l.count; ++i) {
        const std::size_t s = static_cast<std::size_t>(l.starts[static_cast<std::size_t>(i)]);
        const std::size_t len = static_cast<std::size_t>(l.lengths[static_cast<std::size_t>(i)]);
        WriteLine(dc, text.substr(s, len), rect, clip, format, y);
        y += step;
    }
    return y - l.rect.top;
}

int CGXDrawingAndFormatting::DrawTextLines(fw::DeviceContext& dc, std::string_view text,
                                           const fw::Rect& rect, unsigned format) {
    return DrawTextRect(dc, text, rect, format, nullptr);
}

int CGXDrawingAndFormatting::DrawCellText(fw::DeviceContext& dc, std::string_view text,
                                          const fw::Rect& rect, unsigned format, int* lineCount,
                                          const fw::Rect* clip, int ellipsisMode) {
    if (ellipsisMode == gxNoEllipse) {
        if (lineCount)
            *lineCount = Split(*this, dc, text, rect, format).count;
        return DrawTextRect(dc, text, rect, format, clip);
    }
    const Layout l = Split(*this, dc, text, rect, format);
    if (lineCount)
        *lineCount = l.count;
    const fw::TextMetrics tm = dc.GetTextMetrics();
    const int step = LineStep(tm);
    int y = l.rect.top;
    for (int i = 0; i < l.count; ++i) {
        const std::size_t s = static_cast<std::size_t>(l.starts[static_cast<std::size_t>(i)]);
        const std::size_t len = static_cast<std::size_t>(l.lengths[static_cast<std::size_t>(i)]);
        const std::string_view line = text.substr(s, len);
        std::size_t rest = s + len;
        while (rest < text.size() && (text[rest] == ' ' || IsBreak(text[rest]))) ++rest;
        const bool holdsRest = rest >= text.size();
        const bool lastFitting = rect.bottom - (y + step) < tm.ascent * 3 / 4 + step;
        const bool last = i + 1 == l.count;
        const bool single = NextChar(line, 0) >= line.size();
        std::string shown(line);
        if (ellipsisMode == gxDotEllipse && (lastFitting || last) && !holdsRest && !single) {
            shown = DotLine(dc, line, rect.Width());
        } else if (ellipsisMode == gxPoundEllipse && (format & fw::DT_SINGLELINE) &&
                   (!holdsRest || (single && clip && Width(dc, line) > clip->Width()))) {
            const int hash = std::max(1, Width(dc, "#"));
            const int fit = rect.Width() / hash;
            if (fit < 1) {
                const int saved = dc.SaveDC();
                if (clip)
                    dc.IntersectClipRect(*clip);
                dc.TextOut(LineX(rect, format, hash), y, "#");
                dc.RestoreDC(saved);
                y += step;
                continue;
            }
            shown = std::string(static_cast<std::size_t>(fit), '#');
        }
        WriteLine(dc, shown, rect, clip, format, y);
        y += step;
    }
    return y - l.rect.top;
}

int CGXDrawingAndFormatting::HitTestText(fw::DeviceContext& dc, std::string_view text,
                                         const fw::Rect& rect, unsigned format, fw::Point pt,
                                         int* lineOut) {
    const Layout l = Split(*this, dc, text, rect, format);
    const fw::TextMetrics tm = dc.GetTextMetrics();
    const int step = std::max(1, LineStep(tm));
    if (pt.y < l.rect.top)
        return -1;
    const int line = (pt.y - l.rect.top) / step;
    if (line >= l.count)
        return -1;
    if (lineOut)
        *lineOut = line;
    const std::size_t s = static_cast<std::size_t>(l.starts[static_cast<std::size_t>(line)]);
    const std::size_t len = static_cast<std::size_t>(l.lengths[static_cast<std::size_t>(line)]);
    const std::string_view lineText = text.substr(s, len);
    const int x0 = LineX(rect, format, Width(dc, lineText));
    if (pt.x < x0)
        return static_cast<int>(s);
    for (std::size_t i = 0; i < lineText.size();) {
        const std::size_t next = NextChar(lineText, i);
        if (pt.x < x0 + Width(dc, lineText.substr(0, next)))
            return static_cast<int>(s + i);
        i = next;
    }
    if (pt.x > x0 + Width(dc, lineText) + tm.maxCharWidth / 3)
        return -1;
    return static_cast<int>(s + lineText.size());
}
