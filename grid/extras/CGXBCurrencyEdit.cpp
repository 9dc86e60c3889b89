#include "grid/extras/CGXBCurrencyEdit.h"

#include "framework/base/CommandIds.h"
#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/PaintContext.h"
#include "framework/persist/Clipboard.h"
#include "framework/window/SystemMetrics.h"
#include "framework/window/VirtualKeys.h"
#include "grid/core/GXLibraryState.h"
#include "grid/extras/CGXBPopupCalculator.h"
#include "grid/extras/GXExtrasSupport.h"

#include <QCursor>
#include <QMenu>

#include <algorithm>

namespace {

// Edit messages the framework's own edit does not number.
constexpr fw::UINT WM_SETREDRAW = 0x000B;
constexpr fw::UINT WM_GETFONT = 0x0031;
constexpr fw::UINT WM_CUT = 0x0300;
constexpr fw::UINT WM_COPY = 0x0301;
constexpr fw::UINT WM_PASTE = 0x0302;
constexpr fw::UINT WM_CLEAR = 0x0303;
constexpr fw::UINT WM_UNDO = 0x0304;
constexpr fw::UINT EM_CANUNDO = 0x00C6;
constexpr fw::UINT EM_UNDO = 0x00C7;
constexpr fw::UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr fw::UINT EM_SETMARGINS = 0x00D3;
constexpr fw::WPARAM EC_LEFTMARGIN = 1;
constexpr fw::WPARAM EC_RIGHTMARGIN = 2;
constexpr fw::WPARAM EC_USEFONTINFO = 0xFFFF;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int CountDigits(std::string_view s) {
    return static_cast<int>(std::count_if(s.begin(), s.end(), IsDigit));
}

// The index just after the n-th digit (0: before the first digit).
int AfterDigits(const std::string& s, int n) {
    if (n <= 0) {
        for (std::size_t i = 0; i < s.size(); ++i)
            if (IsDigit(s[i]))
                return static_cast<int>(i);
        return 0;
    }
    int seen = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (IsDigit(s[i]) && ++seen == n)
            return static_cast<int>(i) + 1;
    return static_cast<int>(s.size());
}

// Steps over the continuation bytes of a UTF-8 text.
int NextChar(const std::string& s, int i) {
    ++i;
    while (i < static_cast<int>(s.size()) &&
           (static_cast<unsigned char>(s[static_cast<std::size_t>(i)]) & 0xC0) == 0x80)
        ++i;
    return std::min(i, static_cast<int>(s.size()));
}

int PrevChar(const std::string& s, int i) {
    --i;
    while (i > 0 && (static_cast<unsigned char>(s[static_cast<std::size_t>(i)]) & 0xC0) == 0x80)
        --i;
    return std::max(i, 0);
}

}  // namespace

std::function<unsigned(const std::vector<CGXBCurrencyEdit::MenuItem>&)> CGXBCurrencyEdit::menuHook;

CGXBCurrencyEdit::CGXBCurrencyEdit() : format_(std::make_unique<Format>(true)) {}

CGXBCurrencyEdit::~CGXBCurrencyEdit() = default;

bool CGXBCurrencyEdit::Create(fw::DWORD style, const fw::Rect& rect, fw::Window* parent, UINT id) {
    if (!fw::Edit::Create(style, rect, parent, id))
        return false;
    // The control draws and edits its own text: the framework's inner edit stays hidden.
    if (QWidget* inner = Inner()) {
        inner->hide();
        inner->setEnabled(false);
    }
    setFocusPolicy(Qt::StrongFocus);
    text_ = format_->FormatValue(magnitude_, negative_);
    RecalcButton();
    return true;
}

// --- value, format, selection -----------------------------------------------------------------

void CGXBCurrencyEdit::SetValue(double value, bool redraw) {
    SetAmount(value < 0 ? -value : value, value < 0, redraw);
}

void CGXBCurrencyEdit::SetAmount(double magnitude, bool negative, bool redraw) {
    const std::string formatted = format_->FormatValue(magnitude, negative);
    if (negative == negative_ && magnitude == magnitude_ && text_ == formatted)
        return;
    negative_ = negative;
    magnitude_ = magnitude;
    if (!IsCreated()) {
        text_ = formatted;
        return;
    }
    SaveUndo(text_, caret_);
    SetRawWindowText(formatted);
    if (redraw && redraw_)
        Invalidate(false);
}

void CGXBCurrencyEdit::SetFormat(const Format& format) {
    if (!format_->IsDifferent(format))
        return;
    format_->CopyFrom(format);
    SetRawWindowText(format_->FormatValue(magnitude_, negative_));
    Invalidate(false);
}

void CGXBCurrencyEdit::SetAlignment(int alignment) {
    ModifyStyle(fw::ES_CENTER | fw::ES_RIGHT,
                alignment == 2 ? fw::ES_RIGHT : (alignment == 1 ? fw::ES_CENTER : 0));
    if (redraw_)
        Invalidate(false);
}

int CGXBCurrencyEdit::GetAlignment() const {
    if (GetStyle() & fw::ES_RIGHT)
        return 2;
    return (GetStyle() & fw::ES_CENTER) ? 1 : 0;
}

void CGXBCurrencyEdit::SetReadOnly(bool readOnly) {
    ModifyStyle(readOnly ? 0 : fw::ES_READONLY, readOnly ? fw::ES_READONLY : 0);
    if (redraw_)
        Invalidate(false);
}

bool CGXBCurrencyEdit::IsReadOnly() const {
    return (GetStyle() & fw::ES_READONLY) != 0;
}

bool CGXBCurrencyEdit::SetSel(int start, int end) {
    const int len = static_cast<int>(text_.size());
    if (start == -1 && end == 0) {
        selStart_ = -1;
        selEnd_ = 0;
    } else if (start == 0 && end == -1) {
        selStart_ = 0;
        selEnd_ = len;
        caret_ = len;
    } else {
        if (start < 0 || start > len || end < 0 || end > len)
            return false;
        selStart_ = start;
        selEnd_ = end;
        caret_ = end;
    }
    if (redraw_)
        Invalidate(false);
    return true;
}

void CGXBCurrencyEdit::SelectionBounds(int& a, int& b) const {
    a = std::min(selStart_, selEnd_);
    b = std::max(selStart_, selEnd_);
}

bool CGXBCurrencyEdit::SelectionCoversSpan() const {
    int s = 0;
    int e = 0;
    if (!HasSelection() || !format_->FindDigitSpan(text_, s, e))
        return false;
    int a = 0;
    int b = 0;
    SelectionBounds(a, b);
    return a <= s && b > e;
}

bool CGXBCurrencyEdit::ToggleOverwrite() {
    overwrite_ = !overwrite_;
    return overwrite_;
}

void CGXBCurrencyEdit::SetRawWindowText(const std::string& text) {
    text_ = text;
    caret_ = std::min(caret_, static_cast<int>(text_.size()));
}

bool CGXBCurrencyEdit::SetTextParsed(const std::string& text) {
    double value = 0;
    bool neg = false;
    if (!format_->ParseText(text, value, neg))
        return false;
    negative_ = neg;
    magnitude_ = value;
    SetRawWindowText(format_->FormatValue(magnitude_, negative_));
    if (redraw_)
        Invalidate(false);
    return true;
}

void CGXBCurrencyEdit::SetWindowText(std::string_view text) {
    SendMessage(fw::WM_SETTEXT, 0, reinterpret_cast<fw::LPARAM>(std::string(text).c_str()));
}

void CGXBCurrencyEdit::SaveUndo(const std::string& text, int caret) {
    undoAvailable_ = true;
    undoText_ = text;
    undoCaret_ = caret;
    undoSelStart_ = selStart_;
    undoSelEnd_ = selEnd_;
}

void CGXBCurrencyEdit::Undo() {
    if (IsReadOnly() || !undoAvailable_)
        return;
    // One level that toggles: the saved state and the present one change places.
    const std::string restore = undoText_;
    const int restoreCaret = undoCaret_;
    const int rs = undoSelStart_;
    const int re = undoSelEnd_;
    undoText_ = text_;
    undoCaret_ = caret_;
    undoSelStart_ = selStart_;
    undoSelEnd_ = selEnd_;
    SetTextParsed(restore);
    selStart_ = rs;
    selEnd_ = re;
    if (restoreCaret >= 0 && GetFocus() == this)
        caret_ = std::min(restoreCaret, static_cast<int>(text_.size()));
    Invalidate(false);
}

// --- editing ----------------------------------------------------------------------------------

void CGXBCurrencyEdit::AfterEdit(const std::string& oldText, int oldCaret) {
    if (text_ == oldText)
        return;
    SaveUndo(oldText, oldCaret);
    Notify(fw::EN_UPDATE);
    selStart_ = -1;
    selEnd_ = 0;
    Invalidate(false);
    Notify(fw::EN_CHANGE);
}

void CGXBCurrencyEdit::InsertText(const std::string& typed) {
    if (IsReadOnly() || typed.empty())
        return;
    const std::string oldText = text_;
    const int oldCaret = caret_;
    const int n = static_cast<int>(text_.size());
    int spanStart = 0;
    int spanEnd = 0;
    const bool hasSpan = format_->FindDigitSpan(text_, spanStart, spanEnd);
    int dec = format_->FindDecimalSeparator(text_);
    if (hasSpan && (caret_ < spanStart || caret_ > spanEnd + 1))
        caret_ = dec >= 0 ? dec : spanEnd + 1;
    const bool selection = HasSelection();
    if (overwrite_ && !selection && caret_ < n) {
        const char at = text_[static_cast<std::size_t>(caret_)];
        if ((dec >= 0 && caret_ == dec) ||
            (format_->thousandsSeparator && at == format_->thousandsSeparator))
            ++caret_;
    }
    const int caret = caret_;
    const bool rightOfDecimal = dec >= 0 && caret > dec;
    std::string next = text_;
    if (selection) {
        int a = 0;
        int b = 0;
        SelectionBounds(a, b);
        next = text_.substr(0, static_cast<std::size_t>(a)) + typed +
               text_.substr(static_cast<std::size_t>(b));
    } else if (!rightOfDecimal) {
        if (overwrite_ && caret < n)
            next[static_cast<std::size_t>(caret)] = typed[0];
        else
            next.insert(static_cast<std::size_t>(caret), typed);
    } else if (hasSpan && caret > spanEnd) {
        if (!shiftInFraction_)
            return;
        // The fraction keeps its length: new digits enter from the right.
        std::string fraction = text_.substr(static_cast<std::size_t>(dec) + 1,
                                            static_cast<std::size_t>(spanEnd - dec));
        fraction += typed;
        fraction = fraction.substr(fraction.size() - static_cast<std::size_t>(spanEnd - dec));
        next = text_.substr(0, static_cast<std::size_t>(dec) + 1) + fraction +
               text_.substr(static_cast<std::size_t>(spanEnd) + 1);
    } else {
        // Inside the fraction the typed digits overwrite; the text never grows.
        for (std::size_t i = 0; i < typed.size() && caret + static_cast<int>(i) <= spanEnd; ++i)
            next[static_cast<std::size_t>(caret) + i] = typed[i];
    }
    const bool coveredSpan = selection && SelectionCoversSpan();
    int selA = 0;
    int selB = 0;
    SelectionBounds(selA, selB);
    redraw_ = false;
    const bool parsed = SetTextParsed(next);
    redraw_ = true;
    if (!parsed) {
        caret_ = oldCaret;
        return;
    }
    const int m = static_cast<int>(text_.size());
    const int newDec = format_->FindDecimalSeparator(text_);
    if (!selection) {
        if (newDec < 0 || !rightOfDecimal)
            caret_ = caret + m - n;
        else
            caret_ = std::min(caret + CountDigits(typed), m);
    } else if (coveredSpan) {
        caret_ = newDec >= 0 ? newDec : m;
        if (format_->integerDigits == 0)
            ++caret_;
    } else {
        caret_ = m - n + std::max(caret, selA);
    }
    int s = 0;
    int e = 0;
    if (format_->FindDigitSpan(text_, s, e))
        caret_ = std::min(caret_, e + 1);
    caret_ = std::clamp(caret_, 0, m);
    if (text_ == oldText)
        return;
    AfterEdit(oldText, oldCaret);
}

void CGXBCurrencyEdit::ReformatKeepingDigits(int digitsBefore) {
    const std::string raw = text_;
    if (!SetTextParsed(raw.empty() || CountDigits(raw) == 0 ? "0" : raw))
        return;
    if (magnitude_ == 0) {
        const int dec = format_->FindDecimalSeparator(text_);
        caret_ = dec >= 0 ? dec : static_cast<int>(text_.size());
        return;
    }
    caret_ = AfterDigits(text_, digitsBefore);
}

void CGXBCurrencyEdit::DeleteChars() {
    if (IsReadOnly())
        return;
    const std::string oldText = text_;
    const int oldCaret = caret_;
    int digitsBefore = 0;
    if (HasSelection()) {
        int a = 0;
        int b = 0;
        SelectionBounds(a, b);
        text_.erase(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a));
        caret_ = a;
        digitsBefore = CountDigits(std::string_view(text_).substr(0, static_cast<std::size_t>(a)));
    } else {
        const int dec = format_->FindDecimalSeparator(text_);
        int i = caret_;
        while (i < static_cast<int>(text_.size()) && !IsDigit(text_[static_cast<std::size_t>(i)]))
            ++i;
        if (i >= static_cast<int>(text_.size()))
            return;
        if (dec >= 0 && i > dec) {
            text_[static_cast<std::size_t>(i)] = '0';
            digitsBefore =
                CountDigits(std::string_view(text_).substr(0, static_cast<std::size_t>(i) + 1));
        } else {
            text_.erase(static_cast<std::size_t>(i), 1);
            digitsBefore =
                CountDigits(std::string_view(text_).substr(0, static_cast<std::size_t>(i)));
        }
    }
    if (CountDigits(text_) == 0)
        text_ = "0";
    ReformatKeepingDigits(digitsBefore);
    AfterEdit(oldText, oldCaret);
}

void CGXBCurrencyEdit::Backspace() {
    if (IsReadOnly())
        return;
    if (HasSelection()) {
        DeleteChars();
        return;
    }
    int s = 0;
    int e = 0;
    if (!format_->FindDigitSpan(text_, s, e) || caret_ <= s)
        return;
    const std::string oldText = text_;
    const int oldCaret = caret_;
    int i = std::min(caret_, e + 1) - 1;
    while (i >= s && !IsDigit(text_[static_cast<std::size_t>(i)])) --i;
    if (i < s)
        return;
    const int dec = format_->FindDecimalSeparator(text_);
    int digitsBefore = 0;
    if (dec >= 0 && i > dec) {
        // A fraction digit becomes 0 and the caret moves onto it; the integer part and so the
        // distance from the end stay as they are.
        text_[static_cast<std::size_t>(i)] = '0';
        const int fromEnd = static_cast<int>(text_.size()) - i;
        if (!SetTextParsed(text_))
            return;
        caret_ = std::max(0, static_cast<int>(text_.size()) - fromEnd);
        AfterEdit(oldText, oldCaret);
        return;
    } else {
        text_.erase(static_cast<std::size_t>(i), 1);
        digitsBefore = CountDigits(std::string_view(text_).substr(0, static_cast<std::size_t>(i)));
    }
    if (CountDigits(text_) == 0)
        text_ = "0";
    ReformatKeepingDigits(digitsBefore);
    AfterEdit(oldText, oldCaret);
}

void CGXBCurrencyEdit::ToggleSign() {
    if (IsReadOnly())
        return;
    int s = 0;
    int e = 0;
    const bool hasSpan = format_->FindDigitSpan(text_, s, e);
    int a = 0;
    int b = 0;
    SelectionBounds(a, b);
    const bool whole = HasSelection() && ((a == 0 && b == static_cast<int>(text_.size())) ||
                                          (hasSpan && a <= s && b > e && (a < s || b > e + 1)));
    const int offset = hasSpan ? caret_ - s : 0;
    negative_ = whole ? true : !negative_;
    SaveUndo(text_, caret_);
    SetRawWindowText(format_->FormatValue(magnitude_, negative_));
    if (format_->FindDigitSpan(text_, s, e)) {
        if (whole) {
            selStart_ = s;
            selEnd_ = e + 1;
            caret_ = e + 1;
        } else {
            caret_ = std::clamp(s + offset, 0, static_cast<int>(text_.size()));
        }
    }
    Invalidate(false);
}

std::string CGXBCurrencyEdit::PreparePasteText(const std::string& text) {
    if (SelectionCoversSpan())
        return text;
    std::string digits;
    for (char c : text)
        if (IsDigit(c))
            digits += c;
    return digits;
}

void CGXBCurrencyEdit::Copy() {
    if (!HasSelection())
        return;
    int a = 0;
    int b = 0;
    SelectionBounds(a, b);
    fw::Clipboard clip;
    if (!clip.IsOpen())
        return;
    clip.Empty();
    clip.SetText(text_.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a)));
}

void CGXBCurrencyEdit::Cut() {
    if (IsReadOnly() || !HasSelection())
        return;
    Copy();
    DeleteChars();
}

void CGXBCurrencyEdit::Paste() {
    if (IsReadOnly())
        return;
    std::optional<std::string> text;
    {
        fw::Clipboard clip;
        if (!clip.IsOpen())
            return;
        text = clip.GetText();
    }
    if (!text || text->empty())
        return;
    const std::string prepared = PreparePasteText(*text);
    if (!prepared.empty())
        InsertText(prepared);
}

void CGXBCurrencyEdit::Clear() {
    if (IsReadOnly())
        return;
    if (HasSelection()) {
        DeleteChars();
        return;
    }
    SetValue(0);
}

void CGXBCurrencyEdit::DestroyCaretAndSelection() {
    selStart_ = -1;
    selEnd_ = 0;
    Invalidate(false);
}

// --- calculator -------------------------------------------------------------------------------

bool CGXBCurrencyEdit::ShowCalculator() {
    GXSetActivationSuppressed(true);
    calculator_ = std::make_unique<CGXBPopupCalculator>();
    calculator_->SetValue(GetValue());
    const bool ok = calculator_->CreatePopup(fw::WS_VISIBLE, 0x10, GetWindowRect(), this);
    GXSetActivationSuppressed(false);
    if (!ok)
        calculator_.reset();
    return ok;
}

void CGXBCurrencyEdit::OnButtonClicked() {
    ShowCalculator();
}

// --- context menu -----------------------------------------------------------------------------

std::vector<CGXBCurrencyEdit::MenuItem> CGXBCurrencyEdit::CreateContextMenu() {
    const bool ro = IsReadOnly();
    const bool empty = text_.empty();
    const bool sel = HasSelection();
    bool pasteable = false;
    {
        fw::Clipboard clip;
        if (clip.IsOpen()) {
            if (const auto t = clip.GetText()) {
                double v = 0;
                bool neg = false;
                pasteable = !t->empty() && format_->ParseText(*t, v, neg);
            }
        }
    }
    return {
        {fw::MenuDef::Item("&Undo\tCtrl+Z", fw::ID_EDIT_UNDO), !undoAvailable_ || ro},
        {fw::MenuDef::Separator(), false},
        {fw::MenuDef::Item("Cu&t\tCtrl+X", fw::ID_EDIT_CUT), empty || !sel || ro},
        {fw::MenuDef::Item("&Copy\tCtrl+C", fw::ID_EDIT_COPY), empty || !sel},
        {fw::MenuDef::Item("&Paste\tCtrl+V", fw::ID_EDIT_PASTE), !pasteable || ro},
        {fw::MenuDef::Item("&Delete\tDelete", fw::ID_EDIT_CLEAR), empty || !sel || ro},
        {fw::MenuDef::Separator(), false},
        {fw::MenuDef::Item("Select &All", fw::ID_EDIT_SELECT_ALL), empty},
    };
}

void CGXBCurrencyEdit::OnRButtonUp(UINT, fw::Point p) {
    const std::vector<MenuItem> items = CreateContextMenu();
    unsigned chosen = 0;
    if (menuHook) {
        chosen = menuHook(items);
    } else {
        QMenu menu(this);
        for (const MenuItem& m : items) {
            if (m.item.separator) {
                menu.addSeparator();
                continue;
            }
            QAction* a = menu.addAction(QString::fromStdString(m.item.text));
            a->setEnabled(!m.greyed);
            a->setData(m.item.id);
        }
        if (QAction* a = menu.exec(mapToGlobal(QPoint(p.x, p.y))))
            chosen = a->data().toUInt();
    }
    DeleteContextMenu();
    if (chosen)
        OnCommand(chosen, 0);
}

bool CGXBCurrencyEdit::OnCommand(fw::WPARAM wParam, fw::LPARAM lParam) {
    switch (fw::LOWORD(wParam)) {
        case fw::ID_EDIT_UNDO:
            Undo();
            return true;
        case fw::ID_EDIT_CUT:
            Cut();
            return true;
        case fw::ID_EDIT_COPY:
            Copy();
            return true;
        case fw::ID_EDIT_PASTE:
            Paste();
            return true;
        case fw::ID_EDIT_CLEAR:
            Clear();
            return true;
        case fw::ID_EDIT_SELECT_ALL:
            SetSel(0, -1);
            return true;
        default:
            return CGXBDropEdit::OnCommand(wParam, lParam);
    }
}

// --- messages ---------------------------------------------------------------------------------

fw::LRESULT CGXBCurrencyEdit::DefWindowProc(fw::Message& msg) {
    switch (msg.id) {
        case fw::WM_SETTEXT: {
            const char* text = reinterpret_cast<const char*>(msg.lParam);
            const std::string s = text ? text : "";
            if (parseOnSetText_) {
                double v = 0;
                bool neg = false;
                if (!format_->ParseText(s, v, neg))
                    return 0;
                SetAmount(v, neg, true);
                return 1;
            }
            SetRawWindowText(s);
            Invalidate(false);
            return 1;
        }
        case WM_SETREDRAW:
            redraw_ = msg.wParam != 0;
            return 0;
        case WM_GETFONT:
            return 0;
        case fw::EM_GETSEL:
            if (msg.wParam)
                *reinterpret_cast<int*>(msg.wParam) = selStart_;
            if (msg.lParam)
                *reinterpret_cast<int*>(msg.lParam) = selEnd_;
            if (selStart_ >= 0xFFFF || selEnd_ >= 0xFFFF)
                return -1;
            return fw::MAKELPARAM(selStart_, selEnd_);
        case fw::EM_SETSEL:
            return SetSel(static_cast<int>(msg.wParam), static_cast<int>(msg.lParam));
        case fw::EM_SETREADONLY:
            SetReadOnly(msg.wParam != 0);
            return 1;
        case EM_CANUNDO:
            return undoAvailable_;
        case EM_EMPTYUNDOBUFFER:
            undoAvailable_ = false;
            return 0;
        case WM_UNDO:
        case EM_UNDO:
            Undo();
            return 1;
        case WM_CUT:
            Cut();
            return 0;
        case WM_COPY:
            Copy();
            return 0;
        case WM_PASTE:
            Paste();
            return 0;
        case WM_CLEAR:
            Clear();
            return 0;
        case EM_SETMARGINS: {
            int left = fw::LOWORD(static_cast<fw::WPARAM>(msg.lParam));
            int right = fw::HIWORD(static_cast<fw::WPARAM>(msg.lParam));
            if (msg.wParam == EC_USEFONTINFO) {
                QImage probe(1, 1, QImage::Format_ARGB32);
                fw::DeviceContext dc(&probe);
                dc.SelectFont(GetFont());
                left = right = dc.GetTextMetrics().aveCharWidth;
                leftMargin_ = left;
                rightMargin_ = right;
            } else {
                if (msg.wParam & EC_LEFTMARGIN)
                    leftMargin_ = left;
                if (msg.wParam & EC_RIGHTMARGIN)
                    rightMargin_ = right;
            }
            Invalidate(false);
            return 0;
        }
        default:
            return CGXBDropEdit::DefWindowProc(msg);
    }
}

fw::UINT CGXBCurrencyEdit::OnGetDlgCode() {
    return 129;  // arrows and characters
}

bool CGXBCurrencyEdit::OnChar(UINT ch, UINT, UINT) {
    if (ch < 0x20 || ch >= 0x7F)
        return ch == '\b';  // backspace was handled as a key
    const char c = static_cast<char>(ch);
    if (c == format_->decimalSeparator && c != 0) {
        selStart_ = -1;
        selEnd_ = 0;
        int s = 0;
        int e = 0;
        if (format_->FindDigitSpan(text_, s, e)) {
            const int dec = format_->FindDecimalSeparator(text_);
            caret_ = dec >= 0 ? dec + 1 : e + 1;
            Invalidate(false);
        }
        return true;
    }
    if (c == '-') {
        ToggleSign();
        return true;
    }
    if (IsDigit(c)) {
        InsertText(std::string(1, c));
        return true;
    }
    return true;
}

void CGXBCurrencyEdit::MoveCaret(int to, bool extend) {
    to = std::clamp(to, 0, static_cast<int>(text_.size()));
    if (extend) {
        if (selStart_ < 0) {
            selStart_ = caret_;
        }
        selEnd_ = to;
    } else {
        selStart_ = -1;
        selEnd_ = 0;
    }
    caret_ = to;
    Invalidate(false);
}

bool CGXBCurrencyEdit::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
    const bool shift = fw::IsKeyDown(fw::VK_SHIFT);
    const bool ctrl = fw::IsKeyDown(fw::VK_CONTROL);
    const bool extend = shift || mouseSelecting_;
    switch (vk) {
        case fw::VK_BACK:
            Backspace();
            return true;
        case fw::VK_END:
            MoveCaret(static_cast<int>(text_.size()), extend);
            return true;
        case fw::VK_HOME:
            MoveCaret(0, extend);
            return true;
        case fw::VK_LEFT:
            MoveCaret(PrevChar(text_, caret_), extend);
            return true;
        case fw::VK_RIGHT:
            MoveCaret(NextChar(text_, caret_), extend);
            return true;
        case fw::VK_INSERT:
            if (ctrl)
                SendMessage(WM_COPY);
            else if (shift)
                SendMessage(WM_PASTE);
            else
                ToggleOverwrite();
            return true;
        case fw::VK_DELETE:
            if (shift)
                SendMessage(WM_CUT);
            else
                DeleteChars();
            return true;
        default:
            break;
    }
    if (ctrl) {
        const fw::UINT posted = vk == 'C'   ? WM_COPY
                                : vk == 'V' ? WM_PASTE
                                : vk == 'X' ? WM_CUT
                                : vk == 'Z' ? WM_UNDO
                                            : 0;
        if (posted) {
            PostMessage(posted);
            return true;
        }
    }
    if (vk == fw::VkFunction(2)) {
        if (HasButton())
            ShowCalculator();
        return true;
    }
    return CGXBDropEdit::OnKeyDown(vk, repeat, flags);
}

bool CGXBCurrencyEdit::OnSysKeyDown(UINT vk, UINT repeat, UINT flags) {
    if (vk == fw::VkFunction(10) && fw::IsKeyDown(fw::VK_SHIFT)) {
        const fw::Rect c = GetClientRect();
        PostMessage(fw::WM_RBUTTONUP, 0, fw::MAKELPARAM(c.Width() / 2, c.Height() / 2));
        return true;
    }
    if (vk == fw::VK_BACK) {
        PostMessage(WM_UNDO);
        return true;
    }
    return CGXBDropEdit::OnSysKeyDown(vk, repeat, flags);
}

// --- mouse and focus --------------------------------------------------------------------------

int CGXBCurrencyEdit::TextLeft(const fw::LogFont& font) const {
    QImage probe(1, 1, QImage::Format_ARGB32);
    fw::DeviceContext dc(&probe);
    dc.SelectFont(font);
    const int width = dc.GetTextExtent(text_).cx;
    const fw::Rect r = TextRect();
    const int border = fw::GetSystemMetrics(fw::SM_CXBORDER);
    switch (GetAlignment()) {
        case 2:
            return r.right - border - width;
        case 1:
            return r.left + (r.Width() - width) / 2;
        default:
            return r.left + border;
    }
}

int CGXBCurrencyEdit::CharIndexAt(int x) const {
    QImage probe(1, 1, QImage::Format_ARGB32);
    fw::DeviceContext dc(&probe);
    dc.SelectFont(GetFont());
    const int left = TextLeft(GetFont());
    int i = 0;
    while (i < static_cast<int>(text_.size())) {
        const int next = NextChar(text_, i);
        const int a =
            dc.GetTextExtent(std::string_view(text_).substr(0, static_cast<std::size_t>(i))).cx;
        const int b =
            dc.GetTextExtent(std::string_view(text_).substr(0, static_cast<std::size_t>(next))).cx;
        if (left + (a + b) / 2 > x)
            return i;
        i = next;
    }
    return static_cast<int>(text_.size());
}

void CGXBCurrencyEdit::OnLButtonDown(UINT flags, fw::Point p) {
    if (IsPointOnButton(p, true)) {
        CGXBDropEdit::OnLButtonDown(flags, p);
        return;
    }
    redraw_ = false;
    SetFocus();
    redraw_ = true;
    selStart_ = -1;
    selEnd_ = 0;
    caret_ = CharIndexAt(p.x);
    mouseSelecting_ = true;
    SetCapture();
    Invalidate(false);
}

void CGXBCurrencyEdit::OnMouseMove(UINT flags, fw::Point p) {
    if (!mouseSelecting_) {
        CGXBDropEdit::OnMouseMove(flags, p);
        return;
    }
    MoveCaret(CharIndexAt(p.x), true);
}

void CGXBCurrencyEdit::OnLButtonUp(UINT flags, fw::Point p) {
    if (!mouseSelecting_) {
        CGXBDropEdit::OnLButtonUp(flags, p);
        return;
    }
    mouseSelecting_ = false;
    ReleaseCapture();
    int s = 0;
    int e = 0;
    if (!HasSelection() && format_->FindDigitSpan(text_, s, e) && (caret_ < s || caret_ > e + 1))
        SetSel(0, -1);
}

void CGXBCurrencyEdit::OnLButtonDblClk(UINT, fw::Point) {
    SetSel(0, -1);
}

void CGXBCurrencyEdit::OnSetFocus(fw::Window* old) {
    CGXBDropEdit::OnSetFocus(old);
    CreateCaretForFont();
    SetSel(0, -1);
    Notify(fw::EN_SETFOCUS);
}

void CGXBCurrencyEdit::OnKillFocus(fw::Window* next) {
    CGXBDropEdit::OnKillFocus(next);
    DestroyCaretAndSelection();
    Notify(fw::EN_KILLFOCUS);
}

// --- painting ---------------------------------------------------------------------------------

fw::Rect CGXBCurrencyEdit::TextRect() const {
    fw::Rect r = TextArea();
    r.left += leftMargin_;
    r.right -= rightMargin_;
    return r;
}

void CGXBCurrencyEdit::EraseBackground(fw::DeviceContext& dc) {
    fw::Rect r = TextArea();
    r.Inflate(1, 1);
    fw::ColorRef back = 0;
    if (!(IsWindowEnabled() && format_->GetBackgroundColor(back)))
        back = fw::GetSysColor((IsReadOnly() || !IsWindowEnabled()) ? fw::COLOR_BTNFACE
                                                                    : fw::COLOR_WINDOW);
    dc.FillSolidRect(r, back);
}

void CGXBCurrencyEdit::DrawDecimalLine(fw::DeviceContext& dc, const fw::Rect& textRect, int x) {
    const fw::ColorRef c = IsReadOnly() ? fw::GetSysColor(fw::COLOR_BTNSHADOW) : format_->lineColor;
    dc.FillSolidRect({x, textRect.top, x + 1, textRect.bottom + 1}, c);
}

void CGXBCurrencyEdit::OnPaint() {
    fw::PaintContext dc(*this);
    if (!redraw_)
        return;
    const fw::Rect client = GetClientRect();
    fw::Bitmap bmp = fw::Bitmap::Create(std::max(1, client.Width()), std::max(1, client.Height()));
    fw::DeviceContext mem;
    mem.CreateCompatibleDC(&dc);
    mem.SelectBitmap(bmp);
    EraseBackground(mem);
    fw::ColorRef color = fw::GetSysColor(fw::COLOR_WINDOWTEXT);
    if (!IsWindowEnabled())
        color = fw::GetSysColor(fw::COLOR_GRAYTEXT);
    else if (negative_)
        format_->GetNegativeColor(color);
    else
        format_->GetPositiveColor(color);
    mem.SelectFont(GetFont());
    const int lineHeight = mem.GetTextMetrics().height;
    const fw::Rect area = TextRect();
    const int top = area.top + fw::GetSystemMetrics(fw::SM_CYBORDER);
    const fw::Rect textRect{area.left, top, area.right, top + lineHeight};
    std::string shown = text_;
    const int dec = format_->FindDecimalSeparator(text_);
    if (format_->decimalLine && dec >= 0)
        shown[static_cast<std::size_t>(dec)] = ' ';
    const int left = TextLeft(GetFont());
    int a = 0;
    int b = 0;
    SelectionBounds(a, b);
    const bool sel = HasSelection() && GetFocus() == this;
    auto part = [&](int from, int to, bool selected) {
        if (to <= from)
            return;
        const int x =
            left +
            mem.GetTextExtent(std::string_view(shown).substr(0, static_cast<std::size_t>(from))).cx;
        const std::string_view piece = std::string_view(shown).substr(
            static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
        if (selected) {
            mem.SetBkMode(fw::OPAQUE);
            mem.SetBkColor(fw::GetSysColor(fw::COLOR_HIGHLIGHT));
            mem.SetTextColor(fw::GetSysColor(fw::COLOR_HIGHLIGHTTEXT));
        } else {
            mem.SetBkMode(fw::TRANSPARENT);
            mem.SetTextColor(color);
        }
        mem.TextOut(x, textRect.top, piece);
    };
    const int len = static_cast<int>(shown.size());
    if (sel) {
        part(0, a, false);
        part(a, b, true);
        part(b, len, false);
    } else {
        part(0, len, false);
    }
    if (format_->decimalLine && dec >= 0) {
        const int x0 =
            left +
            mem.GetTextExtent(std::string_view(shown).substr(0, static_cast<std::size_t>(dec))).cx;
        const int x1 = left + mem.GetTextExtent(std::string_view(shown).substr(
                                                    0, static_cast<std::size_t>(dec) + 1))
                                  .cx;
        DrawDecimalLine(mem, textRect, (x0 + x1) / 2);
    }
    if (GetFocus() == this) {
        const int x =
            left + mem.GetTextExtent(std::string_view(text_).substr(
                                         0, static_cast<std::size_t>(std::min(caret_, len))))
                       .cx;
        mem.FillSolidRect(
            {x, textRect.top, x + fw::GetSystemMetrics(fw::SM_CXBORDER), textRect.bottom},
            fw::GetSysColor(fw::COLOR_WINDOWTEXT));
    }
    PaintButtonInto(mem);
    mem.Flush();
    dc.BitBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, fw::SRCCOPY);
}
