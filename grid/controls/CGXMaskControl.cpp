#include "grid/controls/CGXMaskControl.h"

#include "framework/window/VirtualKeys.h"
#include "grid/controls/GXUtf8Chars.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXStylesMap.h"

const CGXControlClassInfo CGXMaskControl::kClassInfo{"CGXMaskControl", &CGXEditControl::kClassInfo};

namespace {

std::string Attr(const CGXStyle& style, std::uint16_t id) {
    return style.GetIncludeUserAttribute(id) ? style.GetUserAttribute(id).GetValue()
                                             : std::string();
}

}  // namespace

CGXMaskControl::CGXMaskControl(CGXGridCore* grid, unsigned controlId, CGXMaskDataClass maskClass)
    : CGXEditControl(grid, controlId) {
    SetMaskDataClass(maskClass ? std::move(maskClass)
                               : [] { return std::make_unique<CGXMaskData>(); });
}

void CGXMaskControl::SetMaskDataClass(CGXMaskDataClass maskClass) {
    if (!maskClass)
        return;
    m_maskClass = std::move(maskClass);
    m_pEditMask = m_maskClass();
    m_pFormatMask = m_maskClass();
}

void CGXMaskControl::AddUserAttributes(CGXStylesMap& map) {
    map.AddUserAttribute(GX_IDS_UA_INPUTMASKVALUE);
    CGXStyle prompt;
    prompt.SetMaxLength(1);
    map.AddUserAttribute(GX_IDS_UA_INPUTPROMPT, &prompt);
}

void CGXMaskControl::InitMaskData(CGXMaskData& mask, const CGXStyle& style) {
    mask.RemoveAll();
    mask.SetPrompt(Attr(style, GX_IDS_UA_INPUTPROMPT), false);
    mask.SetMask(Attr(style, GX_IDS_UA_INPUTMASKVALUE));
    mask.SetMaxLength(CGXMaskData::kNoLimit);
    if (style.GetIncludeMaxLength() && style.GetMaxLength() != 0)
        mask.SetMaxLength(static_cast<int>(style.GetMaxLength()));
}

void CGXMaskControl::SetValue(const std::string& text) {
    if (!m_pWnd || !m_bInit)
        return;
    InitMaskData(*m_pEditMask, GetStyle());
    m_pEditMask->SetInputText(text, -1, false);
    std::string shown;
    m_pEditMask->GetDisplayText(shown);
    m_pWnd->SetWindowText(shown);
}

bool CGXMaskControl::GetValue(std::string& text) {
    if (!m_bInit)
        return false;
    m_pEditMask->GetInputText(text, 0, -1, true);
    return true;
}

void CGXMaskControl::GetCurrentText(std::string& text) {
    text.clear();
    if (m_bInit)
        m_pEditMask->GetDisplayText(text);
}

bool CGXMaskControl::GetControlText(std::string& text, ROWCOL, ROWCOL, const std::string* valueText,
                                    const CGXStyle& style) {
    text.clear();
    InitMaskData(*m_pFormatMask, style);
    const std::string value = valueText                 ? *valueText
                              : style.GetIncludeValue() ? style.GetValue()
                                                        : std::string();
    if (value.empty())
        return true;
    if (m_pFormatMask->SetInputText(value, -1, false) == -1)
        return false;
    m_pFormatMask->GetDisplayText(text);
    return true;
}

bool CGXMaskControl::ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                               const CGXStyle* style) {
    std::unique_ptr<CGXStyle> composed;
    if (!style) {
        composed = m_pGrid->CreateStyle();
        m_pGrid->ComposeStyleRowCol(row, col, composed.get());
        style = composed.get();
    }
    InitMaskData(*m_pFormatMask, *style);
    bool stored =
        m_pFormatMask->SetDisplayText(text, -1, false) != -1 && m_pFormatMask->CheckContents();
    if (!stored)
        stored = m_pFormatMask->SetInputText(text, -1, false) != -1;
    if (!stored)
        return false;
    m_pFormatMask->GetInputText(text, 0, -1, true);
    return true;
}

bool CGXMaskControl::OnValidate() {
    if (m_bActive && GetModify() && !m_pEditMask->CheckContents())
        return false;
    return CGXEditControl::OnValidate();
}

bool CGXMaskControl::IsWritable() {
    return m_bInit && !IsReadOnly();
}

void CGXMaskControl::AfterChange(int caret) {
    std::string shown;
    m_pEditMask->GetDisplayText(shown);
    m_pWnd->SetWindowText(shown);
    SetCaret(caret);
    SetModify(true);
    OnModifyCell();
}

bool CGXMaskControl::OnGridCharText(const std::string& text, unsigned repeat, unsigned flags) {
    if (!m_pWnd || !IsWritable())
        return false;
    if (m_bActive)
        return OnEditChar(GXUtf8Decode(text), repeat, flags) != 0;
    const int first = m_pEditMask->NextInputPos(-1);
    std::string ch = text;
    if (first < 0 || !m_pEditMask->AcceptsChar(first, ch) || !OnStartEditing())
        return false;
    // Typing into a cell that is not being edited replaces its value.
    SetActive(true);
    m_pEditMask->FillWithPrompts();
    int next = first + 1;
    m_pEditMask->InsertChar(first, ch, next);
    AfterChange(next);
    Refresh();
    return true;
}

fw::LRESULT CGXMaskControl::OnEditChar(unsigned ch, unsigned repeat, unsigned flags) {
    if (ch < 32 || ch == 127 || !IsWritable() || !m_bActive)
        return CGXEditControl::OnEditChar(ch, repeat, flags);
    int start = 0, end = 0;
    GetSel(start, end);
    const int target = m_pEditMask->NextInputPos(start - 1);
    if (target < 0 || (end > start && target >= end)) {
        return 1;  // nowhere to type: the character is dropped
    }
    std::string text = GXUtf8Encode(ch);
    if (!m_pEditMask->AcceptsChar(target, text)) {
        OnInvalidChar(text);
        return 1;
    }
    int caret = target + 1;
    if (m_bInsertMode) {
        if (end > target)
            m_pEditMask->RemoveRange(end, target);
        if (!m_pEditMask->InsertChar(target, text, caret))
            return 1;  // the mask is full
    } else {
        if (end > target + 1)
            m_pEditMask->RemoveRange(end, target + 1);
        m_pEditMask->SetDisplayText(text, target, false);
    }
    AfterChange(caret);
    return 1;
}

fw::LRESULT CGXMaskControl::OnEditKeyDown(unsigned key, unsigned repeat, unsigned flags) {
    if (fw::IsKeyDown(fw::VK_CONTROL))
        return CGXEditControl::OnEditKeyDown(key, repeat, flags);
    int start = 0, end = 0;
    GetSel(start, end);
    CGXMaskData& m = *m_pEditMask;
    const bool sel = end > start;
    switch (key) {
        case fw::VK_BACK: {
            if (!IsWritable())
                break;
            if (sel) {
                m.RemoveRange(end, start);
                AfterChange(std::max(m.NextInputPos(start - 1), start));
            } else if (const int p = m.PrevInputPos(start); p >= 0) {
                m.RemoveRange(start, p);
                AfterChange(p);
            }
            return 1;
        }
        case fw::VK_DELETE: {
            if (!IsWritable())
                break;
            if (sel) {
                m.RemoveRange(end, start);
            } else {
                const int p = m.NextInputPos(start);
                if (p == -1)
                    m.RemoveRange(start + 1, start);
                else if (p > start && p <= m.GetDataCount())
                    m.RemoveRange(p, start);
            }
            AfterChange(start);
            return 1;
        }
        case fw::VK_HOME:
            if (!fw::IsKeyDown(fw::VK_SHIFT)) {
                SetCaret(std::max(m.NextInputPos(-1), 0));
                return 1;
            }
            break;
        case fw::VK_END:
            if (!fw::IsKeyDown(fw::VK_SHIFT)) {
                SetCaret(m.InputEndPos(m.GetDataCount()));
                return 1;
            }
            break;
        case fw::VK_LEFT:
            if (!fw::IsKeyDown(fw::VK_SHIFT) && (sel || start > 0)) {
                const int p = m.PrevInputPos(sel ? start + 1 : start);
                if (p >= 0)
                    SetCaret(p);
                return 1;
            }
            break;
        case fw::VK_RIGHT:
            if (!fw::IsKeyDown(fw::VK_SHIFT) && (sel || start < m.GetDataCount())) {
                const int p = m.NextInputPos(sel ? end - 1 : start);
                SetCaret(p >= 0 ? p : m.InputEndPos(m.GetDataCount()));
                return 1;
            }
            break;
        case fw::VK_INSERT:
            if (!fw::IsKeyDown(fw::VK_SHIFT))
                m_bInsertMode = !m_bInsertMode;
            break;
        default:
            break;
    }
    return CGXEditControl::OnEditKeyDown(key, repeat, flags);
}
