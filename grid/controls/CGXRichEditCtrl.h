// Rich-text cells (control id 52534): the value is a document in the rich-text subset of
// GXRichText (paragraphs with an alignment, runs of formatted text). The current cell, while
// edited, shows a framework rich-edit window over the cell; every other cell is drawn by a
// hidden window of the same kind that renders the document into the cell, so that both look
// alike. The display text (and what find and the grid's text copy see) is the document's plain
// text. Text typed into a cell that is not being edited replaces its value, wrapped as a
// document of one run with the escapes the format needs; a typed character that ValidateText
// refuses is dropped (OnInvalidChar is told); the cell's maximum length counts characters. With
// the cell's AutoSize set the row grows with the document while it is edited, up to the visible
// grid height, and shrinks again no lower than it was when editing began.
#pragma once

#include "framework/controls/RichEdit.h"
#include "grid/controls/CGXControl.h"
#include "grid/controls/GXRichText.h"

#include <memory>
#include <string>
#include <vector>

inline constexpr unsigned GX_IDS_CTRL_RICHEDIT = 52534;  // "Rich Edit"

class CGXRichEditCtrl;

// The window over the edited cell: its keys and characters go to the control first.
class CGXRichEditWnd : public fw::RichEdit {
public:
    explicit CGXRichEditWnd(CGXRichEditCtrl* control) : control_(control) {}
    fw::LRESULT Default(fw::Message& msg) { return fw::RichEdit::WindowProc(msg); }

protected:
    fw::LRESULT WindowProc(fw::Message& msg) override;

private:
    CGXRichEditCtrl* control_;
};

class CGXRichEditCtrl : public CGXControl {
public:
    static const CGXControlClassInfo kClassInfo;
    explicit CGXRichEditCtrl(CGXGridCore* grid);
    ~CGXRichEditCtrl() override;
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    // Between the value's document and the window's paragraphs.
    static std::vector<fw::RichParagraph> ToWindow(const GXRichDocument& doc);
    static GXRichDocument FromWindow(const std::vector<fw::RichParagraph>& paragraphs);

    // The character format (and its mask) and the alignment a style's font, text colour and
    // horizontal alignment give; `hasAlign` tells whether the style aligns.
    static unsigned StyleToFormats(const CGXStyle& style, fw::RichCharFormat& format,
                                   fw::RichAlign& align, bool& hasAlign);
    // Stores a style into a rich-text cell: its font, text colour and alignment go into the
    // document instead of the cell's style, on the edited cell into the selection only, on any
    // other cell into the whole document; the rest of the style is stored as it is.
    bool StoreStyleRowCol(ROWCOL row, ROWCOL col, const CGXStyle& style, GXModifyType type);

    // Creates the edit window (hidden, over the grid) and the hidden drawing window.
    bool CreateWindows();
    CGXRichEditWnd* GetWindow() const { return m_pWnd.get(); }

    void Init(ROWCOL row, ROWCOL col) override;
    void Reset() override;
    void SetActive(bool active) override;
    bool IsActive() override { return m_bActive; }
    void SetModify(bool modified) override;
    bool GetModify() override;
    // Writes the edited document into the cell; TRUE when there was nothing to store.
    bool Store() override;
    fw::Size AddBorders(fw::Size size, const CGXStyle& style) override;
    // The size the value needs at the cell's width.
    fw::Size CalcSize(fw::DeviceContext& dc, ROWCOL row, ROWCOL col, const CGXStyle& style,
                      bool heightOnly);
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
    void Hide() override;

    void GetCurrentText(std::string& text) override;
    // Activates the control and makes the text (wrapped as a document) the edited value.
    void SetCurrentText(const std::string& text) override;
    bool GetValue(std::string& value) override;
    void SetValue(const std::string& value) override;
    // The plain text of the value; FALSE for a cell without one.
    bool GetControlText(std::string& text, ROWCOL row, ROWCOL col, const std::string* valueText,
                        const CGXStyle& style) override;
    // Plain text becomes a document: cut to the cell's maximum length (in characters), then
    // wrapped.
    bool ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                   const CGXStyle* style) override;
    void GetSelectedText(std::string& text) override;
    // Stores a plain text as the cell's document (the length limit cuts the text, not the
    // document); FALSE for a read-only grid or cell.
    bool SetControlText(ROWCOL row, ROWCOL col, const std::string& text, unsigned flags,
                        const CGXStyle* style) override;

    // Keys from the grid while the cell is not being edited.
    bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) override;
    bool LButtonUp(unsigned flags, fw::Point point, unsigned hit) override;
    bool LButtonDblClk(unsigned flags, fw::Point point) override;
    bool OnCommand(fw::WPARAM wParam, fw::LPARAM lParam) override;
    // A typed character that ValidateText refused (dropped).
    virtual void OnInvalidChar(const std::string&) {}

    // The window side.
    fw::LRESULT OnEditKeyDown(unsigned key, unsigned repeat, unsigned flags);
    fw::LRESULT OnEditChar(unsigned ch, unsigned repeat, unsigned flags);
    fw::LRESULT OnEditForwardKey(unsigned message, unsigned key, unsigned repeat, unsigned flags);

    bool m_bRememberRowHeight = true;
    int m_nRememberedRowHeight = 0;

private:
    bool OnGridKeyDown(unsigned key);
    bool OnGridCharText(const std::string& text);
    bool Activate();
    // The row follows the document's height while AutoSize is set.
    void GrowRow();
    // The cell's font as the windows' default font.
    void ApplyDefaultFont(fw::RichEdit& wnd, const CGXStyle& style);

    std::unique_ptr<CGXRichEditWnd> m_pWnd;
    std::unique_ptr<fw::RichEdit> m_pDrawWnd;
    std::string m_sDrawValue;  // the value the drawing window holds
    bool m_bDrawValueSet = false;
    bool m_bGrow = false;
    bool m_bQuiet = false;  // the control changes the window itself: no resize, no modify
};
