// The list-box cell (control id 52522, "Listbox"): it shows the lines of the cell's choice list
// inside the cell, the line equal to the cell's value inverted and scrolled into view; the active
// current cell is a real framework list box over the cell, and the cell's value is the selected
// line's text. Only a change of the selection by the user marks the cell modified: showing or
// refilling the list does not, so visiting a cell never writes its unchanged value back.
//
// Keys in the list window: Ctrl combinations, Tab, Enter, Escape, Left, Right, Delete and the
// function keys are the grid's (Left and Right leave the cell); the others move in the list.
#pragma once

#include "framework/controls/ListBox.h"
#include "grid/controls/CGXControl.h"

#include <memory>
#include <string>
#include <vector>

inline constexpr unsigned GX_IDS_CTRL_LISTBOX = 52522;

class CGXListBox;

// The window part of the list box: its key messages go to the control first.
class CGXListBoxWnd : public fw::ListBox {
public:
    explicit CGXListBoxWnd(CGXListBox* control) : control_(control) {}

protected:
    fw::LRESULT WindowProc(fw::Message& msg) override;

private:
    CGXListBox* control_;
};

class CGXListBox : public CGXControl {
public:
    static const CGXControlClassInfo kClassInfo;

    CGXListBox(CGXGridCore* grid, unsigned id = GX_IDS_CTRL_LISTBOX);
    ~CGXListBox() override;
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    fw::Window* GetWnd() const;
    CGXListBoxWnd* GetListWnd() const { return m_pWnd.get(); }

    void SetActive(bool active) override { m_bActive = active && m_pWnd; }
    bool IsActive() override { return m_bActive; }
    void SetModify(bool modified) override { m_bModified = modified; }
    bool GetModify() override { return m_bModified; }
    void Init(ROWCOL row, ROWCOL col) override;
    // Stores the selected line (once, when the user changed the selection).
    bool Store() override;

    // The text rectangle less the list's margins.
    fw::Rect GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect = nullptr,
                         const CGXStyle* style = nullptr) override;
    fw::Size AddBorders(fw::Size size, const CGXStyle& style) override;
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
    void Hide() override;

    void GetCurrentText(std::string& text) override;
    void SetCurrentText(const std::string& text) override;

    // A click activates the cell and selects the line under the pointer.
    bool LButtonUp(unsigned flags, fw::Point point, unsigned hit) override;
    bool LButtonDblClk(unsigned flags, fw::Point point) override;
    // A key-down on the inactive cell activates it (keys that leave the cell stay the grid's).
    bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) override;
    // LBN_SELCHANGE of the list window marks the cell modified.
    bool OnCommand(fw::WPARAM wParam, fw::LPARAM lParam) override;

    // The window side: refills the list from the choice list and selects the value's line.
    virtual void FillListBox();
    virtual bool CreateListBox();
    // Keys in the list window; nonzero: taken.
    virtual fw::LRESULT OnListKeyDown(unsigned key, unsigned repeat, unsigned flags);
    virtual fw::LRESULT OnListForwardKey(unsigned message, unsigned key, unsigned repeat,
                                         unsigned flags);

    // The text margin: half the sizing frame when that is at least 3, else 2.
    static int Margin();
    // The first choice line drawn in an inactive cell: lines before the value's line are
    // skipped as long as the value's line would end below the cell.
    int FirstDrawnLine(const std::vector<std::string>& lines, const std::string& value,
                       int lineHeight, const fw::Rect& text) const;

protected:
    // Activates the inactive cell and selects the line under the point.
    bool ActivateAt(fw::Point point);
    static std::vector<std::string> Lines(const CGXStyle& style);
    int LineHeight(fw::DeviceContext& dc) const;

    unsigned m_nId;
    bool m_bFilling = false;  // selection changes while filling are not the user's
    COLORREF m_rgbBackground = 0xFFFFFF;
    std::unique_ptr<CGXListBoxWnd> m_pWnd;
    fw::WindowHandle m_hWnd{};
};
