// The rich-text edit control: paragraphs with an alignment, made of runs of text with their own
// character format (bold, italic, underline, strike-out, face, size, colour). The program moves
// whole documents in and out as paragraphs and runs (SetContent, GetContent), formats the
// selection, and can have a document measured for a width or drawn into a device context
// without showing the window. Text positions count UTF-16 units, as the edit control's do. The
// parent hears EN_CHANGE whenever the text changes, also when the program sets it.
#pragma once

#include "framework/base/Color.h"
#include "framework/controls/Control.h"
#include "framework/drawing/GdiObjects.h"

#include <string>
#include <vector>

class QTextEdit;

namespace fw {

class DeviceContext;

// Which members of a character format count when one is applied.
inline constexpr unsigned CFM_BOLD = 0x00000001;
inline constexpr unsigned CFM_ITALIC = 0x00000002;
inline constexpr unsigned CFM_UNDERLINE = 0x00000004;
inline constexpr unsigned CFM_STRIKEOUT = 0x00000008;
inline constexpr unsigned CFM_COLOR = 0x40000000;
inline constexpr unsigned CFM_FACE = 0x20000000;
inline constexpr unsigned CFM_SIZE = 0x80000000;
inline constexpr unsigned CFM_ALL =
    CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR | CFM_FACE | CFM_SIZE;
inline constexpr ColorRef kRichAutoColor = 0xFFFFFFFFu;  // the text colour of the window

struct RichCharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::string face;                 // empty: the window's default
    int sizeTwips = 0;                // points x 20; 0: the window's default
    ColorRef color = kRichAutoColor;  // 0x00BBGGRR or automatic
    friend bool operator==(const RichCharFormat&, const RichCharFormat&) = default;
};

enum class RichAlign { Left, Center, Right };

struct RichRun {
    std::string text;  // UTF-8; "\n" is a line break inside the paragraph
    RichCharFormat format;
    friend bool operator==(const RichRun&, const RichRun&) = default;
};

struct RichParagraph {
    RichAlign align = RichAlign::Left;
    std::vector<RichRun> runs;
    friend bool operator==(const RichParagraph&, const RichParagraph&) = default;
};

class RichEdit : public Control {
    Q_OBJECT

public:
    RichEdit();
    bool Create(DWORD style, const Rect& rect, Window* parent, UINT id);

    // The whole document; set by the program, it is not a change by the user.
    void SetContent(const std::vector<RichParagraph>& paragraphs);
    std::vector<RichParagraph> GetContent() const;
    // The plain text, paragraphs joined by "\n"; setting it gives one run per paragraph.
    void SetWindowText(std::string_view text) override;
    std::string GetWindowText() const override;
    int GetTextLength() const;

    // Selection; end -1 selects to the end, start -1 removes the selection.
    void SetSel(int start, int end);
    void GetSel(int& start, int& end) const;
    std::string GetSelText() const;
    // Replaces the selection with plain text in the format at the caret.
    void ReplaceSel(std::string_view text);
    // The line (wrapped lines count) that holds a text position, and the number of lines.
    int LineFromChar(int index) const;
    int GetLineCount() const;

    // Applies the members of `mask` to the selection (or, with `all`, the whole document).
    void SetCharFormat(const RichCharFormat& format, unsigned mask, bool all = false);
    void SetAlignment(RichAlign align, bool all = false);
    RichCharFormat GetSelectionCharFormat() const;
    RichAlign GetSelectionAlignment() const;
    // The font text without a face or size of its own is shown in.
    void SetDefaultFont(const LogFont& font);
    void SetBackgroundColor(ColorRef color);
    void SetReadOnly(bool readOnly = true);
    bool IsReadOnly() const;
    // At most this many characters can be typed (0: no limit).
    void LimitText(int maxChars) { limit_ = std::max(0, maxChars); }
    int GetLimitText() const { return limit_; }
    bool GetModify() const { return modified_; }
    void SetModify(bool modified = true) { modified_ = modified; }

    // The height the document needs when laid out this wide.
    int RequiredHeight(int width) const;
    // Draws the document into r on the background colour (the window need not be shown).
    void Render(DeviceContext& dc, const Rect& r) const;

private:
    void TextChanged();
    QTextEdit* edit_ = nullptr;
    int limit_ = 0;
    ColorRef background_ = Rgb(255, 255, 255);
    bool modified_ = false;
    bool settingByCode_ = false;
};

}  // namespace fw
