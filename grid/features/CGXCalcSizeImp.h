// The size a cell needs to show its contents, for fitting row heights and column widths: a
// bitmap named by the text at its own size; otherwise the text's lines in the style's font,
// wrapped (at most 32 lines) within the cell's text rectangle when the style wraps; an empty
// cell one line of the font's widest character. The cell's borders are added.
#pragma once

#include "framework/drawing/GdiObjects.h"
#include "grid/core/CGXAbstractFeatures.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
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
        // Before each row's cells: the heights of the rows fitted so far may have changed.
        void StartRow();
        // The cell about to be measured is known to be covered by no other.
        void Uncovered(ROWCOL row, ROWCOL col);

    private:
        CGXCalcSizeImp* imp_;
        bool owner_ = true;
    };

private:
    // A wrapped text's place in the memory: (font's place, text width, format, text).
    struct WrapKey {
        std::size_t font;
        int width;
        unsigned format;
        std::string_view text;
    };
    struct WrapKeyHash {
        using is_transparent = void;
        std::size_t operator()(const WrapKey& k) const;
    };
    struct WrapKeyEqual {
        using is_transparent = void;
        bool operator()(const WrapKey& a, const WrapKey& b) const {
            return a.font == b.font && a.width == b.width && a.format == b.format &&
                   a.text == b.text;
        }
    };
    struct Memo {
        // The font record a style names (none: the context's own), its line height and its
        // widest character; equal records name the same font.
        struct FontSizes {
            std::optional<std::uint64_t> record;
            int lineHeight = 0;
            int maxCharWidth = 0;
        };
        std::vector<FontSizes> fonts;
        // The lines of each wrapped text; the keys view the texts kept beside them.
        std::unordered_map<WrapKey, int, WrapKeyHash, WrapKeyEqual> wrappedLines;
        std::deque<std::string> texts;
        // Column widths do not change while rows are fitted (-1: not yet asked); a row's
        // height not while its cells are measured.
        std::vector<int> colWidths;
        ROWCOL heightRow = GX_INVALID;
        int rowHeight = 0;
        ROWCOL uncoveredRow = GX_INVALID, uncoveredCol = GX_INVALID;
    };
    int Height(CGXGridCore* grid, CGXControl* control, fw::DeviceContext& dc, ROWCOL row,
               ROWCOL col, const CGXStyle& style, const std::string& text);
    std::size_t FontIndex(CGXGridCore* grid, fw::DeviceContext& dc, const CGXStyle& style);
    fw::Rect FitSpanRect(CGXGridCore* grid, ROWCOL row, ROWCOL col);

    std::unique_ptr<Memo> memo_;
};
