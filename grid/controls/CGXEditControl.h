// The edit cell control (control id 52512, and the factory's default): the current cell is
// edited in a real framework edit window that lies over the cell while the control is active;
// every other cell is drawn as static text. The window is created once, as a hidden child of
// the grid window, and reused for whichever cell the control is bound to.
//
// Keys that reach the edit window are the grid's first when they move or end the edit (Tab,
// Escape, page keys, function keys, Enter, and arrows at the text's ends); typed characters go
// through the control (OnKeyFilter), which checks the text that would result against the
// length limit (characters, not bytes) and ValidateText before it types them. Derived controls
// (spin, password, hot-spot and mask edits, the combo boxes) override the control side; the
// window side calls back into the control for each message it handles.
#pragma once

#include "framework/controls/Edit.h"
#include "grid/controls/CGXControl.h"

#include <memory>
#include <string>

inline constexpr unsigned GX_IDS_CTRL_EDIT_CONTROL = 52512;
// The user attribute that makes the edit window read right to left ("1").
inline constexpr unsigned GX_IDS_UA_RTLREADING = 52570;

class CGXEditControl;

// The window part of the edit control: a framework edit whose key, mouse and focus messages go
// to its control first.
class CGXEditWnd : public fw::Edit {
public:
    explicit CGXEditWnd(CGXEditControl* control) : control_(control) {}
    // The edit's own handling of a message (what a key nobody took gets).
    fw::LRESULT Default(fw::Message& msg) { return fw::Edit::WindowProc(msg); }

protected:
    fw::LRESULT WindowProc(fw::Message& msg) override;

private:
    CGXEditControl* control_;
};

class CGXEditControl : public CGXStatic {
public:
    static const CGXControlClassInfo kClassInfo;

    CGXEditControl(CGXGridCore* grid, unsigned id);
    ~CGXEditControl() override;
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    // The window part (null until the first Init).
    fw::Window* GetWnd() const;
    CGXEditWnd* GetEditWnd() const { return m_pWnd.get(); }
    unsigned GetControlId() const { return m_nId; }

    // --- state and binding -----------------------------------------------------------------
    void SetActive(bool active) override;
    bool IsActive() override { return m_bActive; }
    // The edit window's modified flag (FALSE without a window).
    void SetModify(bool modified) override;
    bool GetModify() override;
    // Binds to the cell: creates the window on first use and loads the cell's text into it.
    void Init(ROWCOL row, ROWCOL col) override;
    // Writes a modified text as the cell's value; TRUE when there was nothing to store.
    bool Store() override;

    // --- drawing ---------------------------------------------------------------------------
    // The active current cell shows the window over the cell; other cells draw as static text.
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
    // Hides the window and moves it out of the way (the focus stays with the grid).
    void Hide() override;

    // --- values ------------------------------------------------------------------------------
    void GetCurrentText(std::string& text) override;
    void SetCurrentText(const std::string& text) override;
    bool GetValue(std::string& text) override;
    void SetValue(const std::string& text) override;
    // While active: the selected part of the window's text (FALSE when nothing is selected, with
    // the whole text); else the current text and FALSE.
    virtual bool GetSelection(std::string& text);
    void GetSelectedText(std::string& text) override { GetSelection(text); }
    // Active: replaces the window's selection (modifying the cell); inactive: the text becomes
    // the cell's value.
    virtual void ReplaceSel(const std::string& text);
    // Replaces every occurrence of `find` in the active window's text from the selection on (or
    // in the cell's display text) and stores the result; TRUE when something was replaced.
    virtual bool ReplaceAll(const std::string& find, const std::string& replacement, bool matchCase,
                            ROWCOL row, ROWCOL col);
    // ValidateText of the text that pasting `text` over the selection would give.
    virtual bool ValidatePasteText(const std::string& text);
    // The clipboard on the window's selection while active.
    virtual bool Copy();
    virtual bool Cut();
    virtual bool Paste();

    // --- input from the grid (the control not yet active) ------------------------------------
    bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) override;
    virtual bool OnGridKeyDown(unsigned key, unsigned repeat, unsigned flags);
    virtual bool OnGridChar(unsigned ch, unsigned repeat, unsigned flags);
    virtual bool OnGridCharText(const std::string& text, unsigned repeat, unsigned flags);
    bool LButtonUp(unsigned flags, fw::Point point, unsigned hit) override;
    bool LButtonDblClk(unsigned flags, fw::Point point) override;
    bool OnCommand(fw::WPARAM wParam, fw::LPARAM lParam) override;

    // --- the window side -----------------------------------------------------------------------
    // Asked for every character typed into the window: TRUE lets the window type it itself.
    virtual bool OnKeyFilter(unsigned ch, unsigned repeat, unsigned flags);
    // Creates the window (hidden) as a child of the grid window with the control id.
    virtual bool CreateEditWnd(fw::DWORD style, const fw::Rect* rect);
    // The window style for the bound cell: alignment and multi-line from the cell's style.
    virtual fw::DWORD CalcEditStyle();
    // The character index under a point of the grid window (-1 when none).
    int CalcCharFromPoint(fw::Point point);
    // Handlers of the window's messages; nonzero: taken (the window does nothing more).
    virtual fw::LRESULT OnEditKeyDown(unsigned key, unsigned repeat, unsigned flags);
    virtual fw::LRESULT OnEditKeyUp(unsigned key, unsigned repeat, unsigned flags);
    virtual fw::LRESULT OnEditChar(unsigned ch, unsigned repeat, unsigned flags);
    // Keys the window side passes on (WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR): the grid first.
    virtual fw::LRESULT OnEditForwardKey(unsigned message, unsigned key, unsigned repeat,
                                         unsigned flags);

    // A typed character that ValidateText refused (the mask edit tells the user).
    virtual void OnInvalidChar(const std::string&) {}

    // The window's selection and text, in characters.
    void GetSel(int& start, int& end) const;
    void SetSel(int start, int end);
    std::string GetWindowText() const;

    bool m_bOption = false;         // derived controls read it
    bool m_bRedrawOnly = false;     // only the window's position needs refreshing
    bool m_bReplacing = false;      // ReplaceSel runs for typed text
    bool m_bRtlReading = false;     // the window reads right to left
    bool m_bVertScrollBar = false;  // the window always has a vertical scroll bar
    int m_nLimitText = 0;           // the limit last given to the window
    int m_nLineHeight = 0;
    COLORREF m_rgbBackground = 0xFFFFFF;
    COLORREF m_rgbText = 0;
    unsigned m_nAlignment = 0;   // DT_ flags last given to the window
    std::string m_sPendingText;  // the text a typed character is about to insert
    bool m_bCaretToStart = false;

protected:
    // Places the caret (and an empty selection) at a character index; -1: after the last.
    void SetCaret(int index);
    // The window's text with the selection replaced by `text`.
    std::string TextWithSelectionReplaced(const std::string& text) const;
    bool ActivateForEditing();
    // Takes the focus into the window and scrolls the cell into view (or refreshes it).
    void FocusAndShow();

    unsigned m_nId;
    std::unique_ptr<CGXEditWnd> m_pWnd;
    fw::WindowHandle m_hWnd{};  // the window is gone with its parent when this no longer finds it
};
