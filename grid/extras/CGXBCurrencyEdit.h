// A self-drawn single-line edit for a money amount. The amount is kept as a number; the text is
// always its Format rendering, re-parsed and re-formatted after every change, and edited digit
// by digit (typing, pasting, deleting, sign toggling, one-level undo). The drop button opens the
// pop-up calculator (F2 too), which answers with message 2019 to the window that owns the
// control's cell; the grid's currency cell control handles that. Notifies the parent with
// EN_SETFOCUS, EN_KILLFOCUS, EN_UPDATE and EN_CHANGE. The text is drawn in the edit's font
// (SetFont). User-interface thread.
#pragma once

#include "grid/extras/CGXBCurrencyFormat.h"
#include "grid/extras/CGXBDropEdit.h"

#include "framework/base/MenuDef.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CGXBPopupCalculator;

class CGXBCurrencyEdit : public CGXBDropEdit {
    Q_OBJECT

public:
    using Format = CGXBCurrencyFormat;

    // One entry of the context menu: the item and whether it is greyed.
    struct MenuItem {
        fw::MenuDef item;
        bool greyed = false;
    };
    // Tests answer the context menu through this hook (the chosen id, 0 for none); without it
    // the menu is shown with the toolkit at the point.
    static std::function<unsigned(const std::vector<MenuItem>&)> menuHook;

    CGXBCurrencyEdit();
    ~CGXBCurrencyEdit() override;

    bool Create(fw::DWORD style, const fw::Rect& rect, fw::Window* parent, UINT id);

    void SetValue(double value, bool redraw = true);
    double GetValue() const { return negative_ ? -magnitude_ : magnitude_; }
    bool IsNegative() const { return negative_; }
    void SetFormat(const Format& format);
    void GetFormat(Format& out) const { out.CopyFrom(*format_); }
    const Format& GetFormatRef() const { return *format_; }

    void SetAlignment(int alignment);  // 0 left, 1 centre, 2 right
    int GetAlignment() const;
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const;
    bool SetSel(int start, int end);
    void GetSel(int& start, int& end) const { start = selStart_, end = selEnd_; }
    int GetCaret() const { return caret_; }
    bool ToggleOverwrite();
    bool IsOverwrite() const { return overwrite_; }
    void SetShiftInFraction(bool on) { shiftInFraction_ = on; }
    bool CanUndo() const { return undoAvailable_; }
    void SetWindowText(std::string_view text) override;
    std::string GetWindowText() const override { return text_; }

    // Virtual operations added after the drop edit's.
    virtual bool ShowCalculator();
    virtual std::string PreparePasteText(const std::string& text);
    virtual std::vector<MenuItem> CreateContextMenu();
    virtual void DeleteContextMenu() {}
    virtual void Backspace();
    virtual void DeleteChars();
    virtual void InsertText(const std::string& text);
    virtual void EraseBackground(fw::DeviceContext& dc);
    virtual void SaveUndo(const std::string& text, int caret);
    virtual void CreateCaretForFont() {}
    virtual void DestroyCaretAndSelection();
    virtual void DrawDecimalLine(fw::DeviceContext& dc, const fw::Rect& textRect, int x);
    virtual void ToggleSign();
    void OnButtonClicked() override;

    // The calculator last opened (owned by the control), for tests.
    CGXBPopupCalculator* Calculator() const { return calculator_.get(); }

protected:
    LRESULT DefWindowProc(fw::Message& msg) override;
    void OnPaint() override;
    bool OnChar(UINT ch, UINT repeat, UINT flags) override;
    bool OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
    bool OnSysKeyDown(UINT vk, UINT repeat, UINT flags) override;
    UINT OnGetDlgCode() override;
    void OnLButtonDown(UINT flags, fw::Point p) override;
    void OnMouseMove(UINT flags, fw::Point p) override;
    void OnLButtonUp(UINT flags, fw::Point p) override;
    void OnLButtonDblClk(UINT flags, fw::Point p) override;
    void OnRButtonUp(UINT flags, fw::Point p) override;
    void OnSetFocus(fw::Window* old) override;
    void OnKillFocus(fw::Window* next) override;
    bool OnCommand(fw::WPARAM wParam, fw::LPARAM lParam) override;

    // Sets the text without parsing it.
    void SetRawWindowText(const std::string& text);
    void SetAmount(double magnitude, bool negative, bool redraw);
    bool SetTextParsed(const std::string& text);
    void Copy();
    void Cut();
    void Paste();
    void Clear();
    void Undo();

private:
    bool HasSelection() const { return selStart_ >= 0 && selStart_ != selEnd_; }
    void SelectionBounds(int& a, int& b) const;
    bool SelectionCoversSpan() const;
    void MoveCaret(int to, bool extend);
    int CharIndexAt(int x) const;
    fw::Rect TextRect() const;
    int TextLeft(const fw::LogFont& font) const;
    void AfterEdit(const std::string& oldText, int oldCaret);
    void ReformatKeepingDigits(int digitsBefore);
    void Notify(UINT code) { NotifyParentCommand(code); }

    std::unique_ptr<Format> format_;
    std::string text_;
    bool shiftInFraction_ = false;
    bool negative_ = false;
    double magnitude_ = 0;
    bool undoAvailable_ = false;
    std::string undoText_;
    int undoCaret_ = -1;
    int undoSelStart_ = -1;
    int undoSelEnd_ = 0;
    bool parseOnSetText_ = true;
    bool redraw_ = true;
    bool mouseSelecting_ = false;
    bool overwrite_ = false;
    int caret_ = 0;
    int selStart_ = -1;
    int selEnd_ = 0;
    int leftMargin_ = 0;
    int rightMargin_ = 0;
    std::unique_ptr<CGXBPopupCalculator> calculator_;
};
