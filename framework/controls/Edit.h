// The edit control: single-line (or multi-line with ES_MULTILINE), password, read-only, with a
// length limit and a selection. It tells its parent EN_CHANGE whenever its text changes, also
// when the program sets it, and answers the EM_ messages as well as the member functions.
#pragma once

#include "framework/base/Color.h"
#include "framework/controls/Control.h"
#include "framework/drawing/GdiObjects.h"

class QLineEdit;
class QPlainTextEdit;

namespace fw {

class Edit : public Control {
    Q_OBJECT

public:
    Edit();
    bool Create(DWORD style, const Rect& rect, Window* parent, UINT id);

    void SetWindowText(std::string_view text) override;
    std::string GetWindowText() const override;

    // Selection in characters; end -1 selects to the end, start -1 removes the selection.
    void SetSel(int start, int end, bool noScroll = false);
    void GetSel(int& start, int& end) const;
    void ReplaceSel(std::string_view text, bool canUndo = false);
    void LimitText(int maxChars);  // 0: no limit
    int GetLimitText() const { return limit_; }
    void SetReadOnly(bool readOnly = true);
    // The horizontal alignment of the text: ES_LEFT (0), ES_CENTER or ES_RIGHT; the style's
    // alignment bits follow.
    void SetAlignment(DWORD esAlign);
    bool IsReadOnly() const;
    // The font the text is typed in, realized as a screen context draws the same logical font
    // (so that text typed here matches text drawn with it elsewhere).
    void SetFont(const LogFont& font);
    const LogFont& GetFont() const { return font_; }
    // The colours of the text and of the area behind it.
    void SetColors(ColorRef text, ColorRef background);
    ColorRef GetTextColor() const { return textColor_; }
    ColorRef GetBkColor() const { return bkColor_; }
    // Modified by the user (or SetModify) since the last SetModify(false).
    bool GetModify() const { return modified_; }
    void SetModify(bool modified = true) { modified_ = modified; }
    int GetLineCount() const;
    void LineScroll(int lines, int chars = 0);

protected:
    LRESULT DefWindowProc(Message& msg) override;

private:
    void TextChanged();
    bool Multi() const { return plain_ != nullptr; }
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* plain_ = nullptr;
    int limit_ = 0;
    LogFont font_ = DefaultGuiFont();
    ColorRef textColor_ = Rgb(0, 0, 0);
    ColorRef bkColor_ = Rgb(255, 255, 255);
    bool fontGiven_ = false;
    bool colorsGiven_ = false;
    bool modified_ = false;
    bool settingByCode_ = false;
};

}  // namespace fw
