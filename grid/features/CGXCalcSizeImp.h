// The size a cell needs to show its contents, for fitting row heights and column widths: a
// bitmap named by the text at its own size; otherwise the text's lines in the style's font,
// wrapped (at most 32 lines) within the cell's text rectangle when the style wraps; an empty
// cell one line of the font's widest character. The cell's borders are added.
#pragma once

#include "framework/drawing/GdiObjects.h"
#include "grid/core/CGXAbstractFeatures.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

class CGXCalcSizeImp : public CGXAbstractCalcSizeImp {
public:
    fw::Size CalcSize(CGXGridCore* grid, CGXControl* control, fw::DeviceContext& dc, ROWCOL row,
                      ROWCOL col, const CGXStyle& style, bool heightOnly) override;

    // While one lives, sizes asked for heights alone give only the height (the width is 0),
    // and what decides a height is remembered: the line height of each font, and the number
    // of lines a wrapped text takes at a width. One context measures all cells meanwhile.
    class HeightFit {
    public:
        explicit HeightFit(CGXCalcSizeImp* imp);
        ~HeightFit();
        HeightFit(const HeightFit&) = delete;
        HeightFit& operator=(const HeightFit&) = delete;

    private:
        CGXCalcSizeImp* imp_;
    };

private:
    struct Memo {
        // The font a style names (none: the context's own) and its line height.
        std::vector<std::pair<std::optional<fw::LogFont>, int>> lineHeights;
        // (font's place above, text width, format, text) to lines.
        std::map<std::tuple<std::size_t, int, unsigned, std::string>, int, std::less<>>
            wrappedLines;
    };
    int Height(CGXGridCore* grid, CGXControl* control, fw::DeviceContext& dc, ROWCOL row,
               ROWCOL col, const CGXStyle& style, const std::string& text);
    std::size_t FontIndex(CGXGridCore* grid, fw::DeviceContext& dc, const CGXStyle& style);

    std::unique_ptr<Memo> memo_;
};
