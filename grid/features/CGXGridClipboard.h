// The clipboard of a grid: cells as tab-separated text (rows end with CR LF, as spreadsheets
// exchange them), cells as an archive of whole styles (the library's private format), and
// direct copy and move between grids that share one parameter object.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStyle.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class CGXStylesMap;

// The clipboard flag word of the grid core (m_nClipboardFlags).
inline constexpr unsigned GX_DNDROWHEADER = 0x0001;
inline constexpr unsigned GX_DNDCOLHEADER = 0x0002;
inline constexpr unsigned GX_DNDTEXT = 0x0008;
inline constexpr unsigned GX_DNDSTYLES = 0x0010;
inline constexpr unsigned GX_DNDCOMPOSE = 0x0020;
inline constexpr unsigned GX_DNDDIFFRANGEDLG = 0x0100;
inline constexpr unsigned GX_DNDNOAPPENDROWS = 0x0200;
inline constexpr unsigned GX_DNDNOAPPENDCOLS = 0x0400;
inline constexpr unsigned GX_DNDSTYLELOOKUP = 0x0800;
inline constexpr unsigned GX_DNDEGDESCAPE = 0x1000;

// The most rows or columns, and cells, that the styles format carries.
inline constexpr std::uint32_t GX_MAXCLIPROWCOL = 0x7FFF;
inline constexpr std::uint64_t GX_MAXCLIPCELLS = 0x3FFFFFFE;

// Reads the styles format: the row and column counts and row times column styles (null where a
// cell had none). Every count is checked (each at most 0x7FFF, their product within the limit,
// the array's count equal to it and no larger than the bytes can hold); FALSE for anything
// malformed, and then `styles` is empty.
bool GXReadStylesClipboard(std::span<const std::uint8_t> bytes, const CGXStylesMap* map,
                           std::uint32_t& rows, std::uint32_t& cols,
                           std::vector<std::unique_ptr<CGXStyle>>& styles);
// Writes the styles format.
void GXWriteStylesClipboard(std::vector<std::uint8_t>& out, const CGXStylesMap* map,
                            std::uint32_t rows, std::uint32_t cols,
                            const std::vector<std::unique_ptr<CGXStyle>>& styles);
// The "GX_DIRECTCOPY" entry: the copying process's id and the parameter object's serial.
std::vector<std::uint8_t> GXDirectCopyMarker(std::uint64_t serial);
unsigned GXDirectCopyFormat();

class CGXGridTextDataExchangeImp : public CGXAbstractGridTextDataExchangeImp {
public:
    bool WriteTextToFile(CGXGridCore* grid, std::string& out, const CGXRangeList& list) override;
    std::string GetCopyTextRowCol(CGXGridCore* grid, ROWCOL row, ROWCOL col) override;
    bool PasteTextFromBuffer(CGXGridCore* grid, const char* text, std::size_t size,
                             const CGXRange& target) override;
    bool StorePastedText(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                         const std::string& text) override;
    void CalcTextBufferSize(const char* text, std::size_t size, ROWCOL& rows, ROWCOL& cols,
                            const std::string& separators) override;
};

class CGXGridStyleDataExchangeImp : public CGXAbstractGridStyleDataExchangeImp {
public:
    bool WriteStylesToArchive(CGXGridCore* grid, std::vector<std::uint8_t>& out,
                              const CGXRangeList& list) override;
    std::unique_ptr<CGXStyle> GetCopyStyleRowCol(CGXGridCore* grid, ROWCOL row, ROWCOL col);
    bool PasteStylesFromArchive(CGXGridCore* grid, const std::uint8_t* data, std::size_t size,
                                const CGXRange& target) override;
};

class CGXGridCutPasteImp : public CGXAbstractGridCutPasteImp {
public:
    bool CanCopy(CGXGridCore* grid) override;
    bool Copy(CGXGridCore* grid) override;
    bool CopyRangeList(CGXGridCore* grid, const CGXRangeList& list) override;
    bool CopyTextToClipboard(CGXGridCore* grid, const CGXRangeList& list) override;
    bool CopyStylesToClipboard(CGXGridCore* grid, const CGXRangeList& list) override;
    bool CanCut(CGXGridCore* grid) override;
    bool Cut(CGXGridCore* grid) override;
    bool CutRangeList(CGXGridCore* grid, const CGXRangeList& list, bool clearStyles) override;
    bool CanPaste(CGXGridCore* grid) override;
    bool HasClipboardData(CGXGridCore* grid) override;
    bool Paste(CGXGridCore* grid) override;
    bool PasteDirect(CGXGridCore* grid, const CGXRange& range) override;
    bool PasteFromClipboard(CGXGridCore* grid, const CGXRange& range) override;
    bool ConfirmPasteSize(CGXGridCore* grid) override;
};

// The ranges resolved to cells by the clipboard flags (header rows and columns left out unless
// the flags include them) and clipped to the grid's counts.
CGXRangeList GXResolveClipboardRanges(CGXGridCore* grid, const CGXRangeList& list);
