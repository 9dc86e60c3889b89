// The parameters of a grid that several grids may share: permissions, sizes, range lists, the
// undo and redo lists, and the styles map, cell store, properties and print device, each with a
// flag saying whether the parameter object owns (deletes) it.
#pragma once

#include "framework/persist/RuntimeClass.h"
#include "grid/core/CGXAbstractFeatures.h"
#include "grid/core/CGXCollMapDWordToLong.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/GXChoiceMaps.h"
#include "grid/core/GXTypes.h"

#include <array>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CGXData;
class CGXPrintDevice;
class CGXProperties;
class CGXStylesMap;
struct GX_LIBRARY_STATE;

// Selection permissions (bits of the selection mask).
inline constexpr std::uint16_t GX_SELROW = 0x01;  // whole rows by their header
inline constexpr std::uint16_t GX_SELCOL = 0x02;  // whole columns by their header
// Selection modes.
inline constexpr std::uint16_t GX_SELSINGLE = 0x01;    // single selection; Shift and Ctrl ignored
inline constexpr std::uint16_t GX_SELKEYSTATE = 0x02;  // Shift and Ctrl from the key state

class CGXGridParam : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    CGXGridParam();
    ~CGXGridParam() override;
    CGXGridParam(const CGXGridParam&) = delete;

    // Through the document-serialisation component (nothing without it).
    void Serialize(fw::Archive& ar) override;
    // Through the parameter-copy component (nothing without it).
    virtual CGXGridParam& operator=(const CGXGridParam& other);

    // Sub-objects: each setter takes a pointer and a must-delete flag and deletes the previous
    // object when it was owned.
    void SetProperties(CGXProperties* p, bool mustDelete = true);
    void SetStylesMap(CGXStylesMap* p, bool mustDelete = true);
    void SetData(CGXData* p, bool mustDelete = true);
    void SetPrintDevice(CGXPrintDevice* p, bool mustDelete = true);
    CGXProperties* GetProperties() const { return m_pProperties; }
    CGXStylesMap* GetStylesMap() const { return m_pStylesMap; }
    CGXData* GetData() const { return m_pData; }
    CGXPrintDevice* GetPrintDevice() const { return m_pPrintDevice; }

    // The covered-cell pool, made by the covered-cell-pool component.
    void CreateCoveredCellPool();
    void RebuildCoveredCellPool();

    using CommandList = std::list<std::unique_ptr<CGXCommand>>;  // newest first
    CommandList& GetUndoList() { return m_undoList; }
    CommandList& GetRedoList() { return m_redoList; }
    void EmptyRedoList() { m_redoList.clear(); }

    void EnableSelection(std::uint16_t mask) { m_wAllowSelection = mask; }
    bool IsEnableSelection(std::uint16_t mask) const { return (m_wAllowSelection & mask) != 0; }
    void EnableMoveCols(bool b = true) { m_bAllowMoveCols = b; }
    void EnableMoveRows(bool b = true) { m_bAllowMoveRows = b; }
    bool IsEnableMoveCols() const { return m_bAllowMoveCols; }
    bool IsEnableMoveRows() const { return m_bAllowMoveRows; }
    void EnableTrackRowHeight(std::uint16_t mask) { m_wAllowTrackRowHeight = mask; }
    void EnableTrackColWidth(std::uint16_t mask) { m_wAllowTrackColWidth = mask; }
    bool IsEnableTrackRowHeight(std::uint16_t mask) const {
        return (m_wAllowTrackRowHeight & mask) != 0;
    }
    bool IsEnableTrackColWidth(std::uint16_t mask) const {
        return (m_wAllowTrackColWidth & mask) != 0;
    }
    void SetSelectionMode(std::uint16_t mode) { m_wSelectionMode = mode; }
    bool IsSelectionMode(std::uint16_t mask) const { return (m_wSelectionMode & mask) != 0; }
    void EnableUndo(bool b = true) { m_bUndoEnabled = b; }
    bool IsEnableUndo() const { return m_bUndoEnabled; }

    // --- permissions and switches ---------------------------------------------------------
    std::uint16_t m_wAllowSelection = 0xFF;
    bool m_bAllowMoveCols = true;
    bool m_bAllowMoveRows = true;
    std::uint16_t m_wAllowTrackRowHeight = 0xB2;
    std::uint16_t m_wAllowTrackColWidth = 0xB2;
    std::uint16_t m_wSelectionMode = 0;
    bool m_bUndoEnabled = true;
    bool m_bMouseOption = true;   // read by the core's mouse handlers
    bool m_bCoreOption = true;    // read by the grid core
    bool m_bReadOnly = false;     // the grid's read-only state
    bool m_bLockReadOnly = true;  // store operations refuse while read-only
    bool m_bInitDone = false;     // a grid has initialised this object

    // --- rows and columns seen by the grid core ----------------------------------------------
    ROWCOL m_nFrozenRows = 0;  // rows 1..n stay at the top while the rest scrolls
    ROWCOL m_nFrozenCols = 0;
    ROWCOL m_nHeaderRows = 0;  // the last header row (rows 0..n get the column-header style)
    ROWCOL m_nHeaderCols = 0;
    bool m_bNumberedColHeaders = true;  // column headers show letters A, B, ...
    bool m_bNumberedRowHeaders = true;  // row headers show the row number
    bool m_bLockUpdate = false;         // update operations change nothing on screen
    bool m_bMarkCells = false;          // cells of m_MarkedCells are drawn with a grey pattern
    CGXRangeList m_MarkedCells;
    bool m_bMarkSelectionHeaders = false;  // headers of the selection are redrawn with it
    bool m_bPaintOutside = true;           // the area past the last row and column is filled
    int m_nGridLineStyle = 0;              // pen style of the grid lines (0 solid, 2 dot)
    int m_nCurrentCellDrawing = 0;         // 1: a selected current cell is inverted whole

    // --- sizes (thousandths of the core's size unit) ------------------------------------------
    std::int32_t m_nDefaultRowHeight = 1200;
    std::int32_t m_nDefaultColWidth = 10000;
    CGXCollMapDWordToLong m_RowHeights;  // row 0 preset to 1400
    CGXCollMapDWordToLong m_ColWidths;   // column 0 preset to 6000
    // Hidden rows and columns: bit n (byte n / 8, least significant bit first) set hides row
    // (column) n; bits past the end are clear.
    std::vector<std::uint8_t> m_abHiddenRows;
    std::vector<std::uint8_t> m_abHiddenCols;
    // Freezing the selection: where the frozen block went, its size and where it came from.
    ROWCOL m_nFreezeColsDest = 0, m_nFreezeColsCount = 0, m_nFreezeColsFrom = 0;
    ROWCOL m_nFreezeRowsDest = 0, m_nFreezeRowsCount = 0, m_nFreezeRowsFrom = 0;
    // Showing a hidden column again by a double click: TRUE stores its current width as its own
    // width first; FALSE (the default, always for rows) clears the hidden state and the own size.
    bool m_bShowHiddenColWithWidth = false;

    // --- range lists -----------------------------------------------------------------------------
    CGXRangeList m_SelRects;      // the selected ranges
    CGXRangeList m_CoveredCells;  // the covered cells
    CGXRangeList m_CopiedRanges;  // used by the clipboard features
    CGXRangeList m_ExtraRanges;   // used by the features

    // --- undo ------------------------------------------------------------------------------------
    CommandList m_undoList;
    CommandList m_redoList;
    std::uint32_t m_nUndoLimit = 512;
    std::int32_t m_nTransactionDepth = 0;

    // --- clipboard features -------------------------------------------------------------------
    // Direct copy and move between grids of this parameter object, the pending cut of a direct
    // move, and the number that names this object on the clipboard (with the process id).
    bool m_bDirectCopyPaste = false;
    bool m_bDirectCutPaste = false;
    bool m_bCutPending = false;
    bool m_bKeepSelection = false;  // a plain click leaves the selection as it is
    std::uint64_t m_nClipboardSerial = NextClipboardSerial();
    static std::uint64_t NextClipboardSerial() {
        static std::uint64_t serial = 0;
        return ++serial;
    }

    // --- the current cell to restore at initialisation --------------------------------------
    bool m_bRestoreCurrentCell = false;
    // Current cell and input settings.
    bool m_bSyncCurrentCell = false;           // the selection follows the current cell
    bool m_bCurrentCellHints = false;          // other views follow a move of the current cell
    bool m_bSharedZoom = false;                // every view zooms with the others, split or not
    int m_nEnterKeyAction = 0;                 // direction after Enter (0: stay; 1..4 as moves)
    bool m_bSetCurrentCellOnRelease = false;   // a click makes its cell current on the release
    bool m_bRedrawOnCancel = false;            // Escape or cancel mode redraws the whole grid
    bool m_bLockHeaderSize = false;            // header rows and columns cannot be resized
    bool m_bTrackBodyCells = false;            // rows and columns resize from body cells too
    bool m_bFocusOnClickInActiveView = false;  // a click takes the focus only in the active view
    bool m_bTrackThumb = true;                 // the grid follows the scroll-bar thumb as it moves
    bool m_bExcelLikeFill = false;             // the selection has a fill handle
    std::uint16_t m_wExcelLikeFillFlags = 0x01;  // a fill copies 0x01 values, 0x02 styles
    bool m_bExcelLikeSelectionFrame = false;     // a thick frame marks the range in progress
    ROWCOL m_nCurrentRow = 1;
    ROWCOL m_nCurrentCol = 1;

    // --- options read and written by the core, the controls and the features ----------------
    std::uint32_t m_nActivateCell = 0;     // which clicks activate the current cell's control
    std::uint32_t m_nEditFormat = 0;       // bit 0: edit windows show the raw value
    std::uint32_t m_nHideCurrentCell = 0;  // 0 always show, 2 only while focused
    std::uint32_t m_nOption1 = 1;
    std::uint32_t m_nOption2 = 1;
    std::uint32_t m_nDropDownHeight = 100;  // pixels
    std::uint32_t m_nOption3 = 0x200;
    std::uint16_t m_wOption4 = 4;
    // Sorting by a double click on a column header (rows) or row header (columns), and what the
    // last sort was by (GX_INVALID after a sort of the other kind).
    bool m_bSortRowsByColHeader = false;
    bool m_bSortColsByRowHeader = false;
    ROWCOL m_nLastSortCol = GX_INVALID;
    ROWCOL m_nLastSortRow = GX_INVALID;
    bool m_bLastSortAscending = false;
    std::uint16_t m_wMergeMode = 0;
    std::uint16_t m_wFloatMode = 0;
    std::string m_sSheetName;  // handed to the tab window at initialisation
    // Option words archived and copied with the object for features that read them.
    std::array<std::uint16_t, 5> m_awOptions{1, 2, 0, 0, 0};
    std::map<const void*, void*> m_mapObjects;
    CGXChoiceMaps m_choiceMaps;  // the shared tabbed choice lists' look-up maps

    // --- owned pools and further owned objects -------------------------------------------------
    std::unique_ptr<CGXOwnedObject> m_pCoveredCellPool;
    std::array<std::unique_ptr<CGXOwnedObject>, 3> m_apSpanCellPools;  // merge rows, cols, float
    std::array<std::unique_ptr<CGXOwnedObject>, 2> m_apDelayedRangePools;
    std::vector<std::unique_ptr<CGXOwnedObject>> m_ownedObjects;

    GX_LIBRARY_STATE* m_pAppData;

    bool m_bOwnProperties = false;
    bool m_bOwnStylesMap = false;
    bool m_bOwnData = false;
    bool m_bOwnPrintDevice = false;

private:
    CGXProperties* m_pProperties = nullptr;
    CGXStylesMap* m_pStylesMap = nullptr;
    CGXData* m_pData = nullptr;
    CGXPrintDevice* m_pPrintDevice = nullptr;
};
