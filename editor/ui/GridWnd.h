// The vPort table's grid window: each row one vPort, with its EDMX start, channel count and
// end, its dimmer doubling and the doubled range, and a Reset button for the factory vPorts.
// It keeps the dependent cells in step while the user types (the end follows the start and
// the count; the doubled end follows the doubled start), toggles dimmer doubling on a click,
// wraps each edit in an undo transaction, and remembers whether anything was changed. The
// document is not touched here; the dialog writes the table back on OK.
#pragma once

#include <deque>

#include "grid/core/CGXGridWnd.h"
#include "grid/core/GXColor.h"
#include "xmldom/Node.h"

class CTessalyDoc;

namespace tessaly {

// The vPort table's columns.
enum VPortColumn : ROWCOL {
    kVPortId = 0,
    kVPortStart = 1,
    kVPortChannels = 2,
    kVPortEnd = 3,
    kVPortDd = 4,
    kVPortDdStart = 5,
    kVPortDdEnd = 6,
    kVPortAffected = 7,
    kVPortReset = 8,
};

class CGridWnd : public CGXGridWnd {
    Q_OBJECT

public:
    // vPorts up to this number are the factory's; above it they are the user's.
    static constexpr unsigned kLastFactoryVPort = 64;
    static constexpr unsigned kTopAddress = 32767;
    // The highest doubled start, so that its 256 addresses end within the EDMX range.
    static constexpr unsigned kTopDdStart = kTopAddress - 255;

    static constexpr COLORREF kGrey = 0xC0C0C0;
    static constexpr COLORREF kUserDisabled = 0xC0C000;
    static constexpr COLORREF kWhite = 0xFFFFFF;
    static constexpr COLORREF kUserEditable = 0xFFFF00;
    static COLORREF EditableColor(unsigned vPort) {
        return vPort <= kLastFactoryVPort ? kWhite : kUserEditable;
    }
    static COLORREF DisabledColor(unsigned vPort) {
        return vPort <= kLastFactoryVPort ? kGrey : kUserDisabled;
    }

    CGridWnd();
    ~CGridWnd() override;

    // The features the table uses: undo transactions, selecting rows, covered header cells,
    // hidden rows and columns, column widths fitted to the contents, merged cells.
    void Initialize() override;

    bool m_bModified = false;
    bool m_bInTransaction = false;
    ROWCOL m_nHeaderLevels = 1;
    CTessalyDoc* m_pDoc = nullptr;

    bool IsDataRow(ROWCOL row) const { return row > m_nHeaderLevels; }
    ROWCOL FirstDataRow() const { return m_nHeaderLevels + 1; }
    unsigned VPortNumber(ROWCOL row);
    unsigned CellNumber(ROWCOL row, ROWCOL col);
    // The document leaf a cell was read from; null for a cell of a row added in the dialog.
    xmldom::Node Leaf(ROWCOL row, ROWCOL col);
    // Keeps a leaf handle for a cell's item data, alive as long as the window.
    xmldom::Node* Keep(xmldom::Node leaf);
    // Sets a cell's value, enabled state and colour in one step.
    void SetCell(ROWCOL row, ROWCOL col, const std::string& value, bool enabled, COLORREF color);
    void SetNumber(ROWCOL row, ROWCOL col, unsigned value);
    void SetCellState(ROWCOL row, ROWCOL col, bool enabled, COLORREF color);

    void UpdateDependentCells(ROWCOL row, ROWCOL col);
    void UpdateDimmerDoubling(ROWCOL row);
    void ResetRow(ROWCOL row);

    bool OnStartEditing(ROWCOL row, ROWCOL col) override;
    bool OnModifyCell(ROWCOL row, ROWCOL col) override;
    void OnCanceledEditing(ROWCOL row, ROWCOL col) override;
    bool OnEndEditing(ROWCOL row, ROWCOL col) override;
    void OnClickedButtonRowCol(ROWCOL row, ROWCOL col) override;
    bool OnCellMouseAction(ROWCOL pressedRow, ROWCOL pressedCol, ROWCOL row, ROWCOL col,
                           fw::Point pt, unsigned flags, unsigned action) override;

private:
    std::deque<xmldom::Node> leaves_;
};

}  // namespace tessaly
