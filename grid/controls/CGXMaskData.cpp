#include "grid/controls/CGXMaskData.h"

#include "grid/controls/GXUtf8Chars.h"

#include <QChar>

#include <algorithm>

namespace {

bool IsDigit(char32_t c) {
    return QChar::isDigit(c);
}
bool IsLetter(char32_t c) {
    return QChar::isLetter(c);
}

}  // namespace

void CGXMaskData::RemoveAll() {
    m_mask.clear();
    m_literal.clear();
    m_data.clear();
}

bool CGXMaskData::IsMaskChar(const std::string& ch) const {
    return ch == "#" || ch == "&" || ch == "?" || ch == "A" || ch == "L" || ch == "U";
}

void CGXMaskData::SetMask(const std::string& mask) {
    m_mask.clear();
    m_literal.clear();
    if (mask.empty()) {
        m_nMaxLength = kNoLimit;
        return;
    }
    bool escaped = false;
    for (const std::string& ch : GXSplitUtf8Chars(mask)) {
        if (escaped) {
            m_mask.push_back(ch);
            m_literal.push_back(1);
            escaped = false;
        } else if (ch == "\\") {
            escaped = true;  // a backslash at the very end makes nothing
        } else {
            m_mask.push_back(ch);
            m_literal.push_back(IsMaskChar(ch) ? 0 : 1);
        }
    }
}

bool CGXMaskData::IsLiteralPos(int pos) const {
    if (IsFree() || pos < 0 || pos >= Length())
        return false;
    return m_literal[pos] != 0;
}

bool CGXMaskData::IsFilledInput(int pos) const {
    return pos >= 0 && pos < Length() && !m_literal[pos] && pos < GetDataCount() &&
           m_data[pos] != m_prompt;
}

bool CGXMaskData::SetPrompt(const std::string& prompt, bool replaceExisting) {
    if (GXUtf8CharCount(prompt) > 1)
        return false;
    const std::string next = prompt.empty() ? std::string("_") : prompt;
    if (replaceExisting)
        for (int i = 0; i < Length() && i < GetDataCount(); ++i)
            if (!m_literal[i] && m_data[i] == m_prompt)
                m_data[i] = next;
    m_prompt = next;
    return true;
}

bool CGXMaskData::AcceptsChar(int pos, std::string& ch) const {
    if (IsFree())
        return true;
    if (pos < 0 || pos >= Length() || m_literal[pos] || GXUtf8CharCount(ch) != 1)
        return false;
    if (ch == " ") {
        ch = m_prompt;
        return true;
    }
    if (ch == m_prompt)
        return true;
    const char32_t c = GXUtf8Decode(ch);
    const std::string& m = m_mask[pos];
    if (m == "#")
        return IsDigit(c);
    if (m == "&")
        return true;
    if (m == "?")
        return IsLetter(c);
    if (m == "A")
        return IsLetter(c) || IsDigit(c);
    if (m == "L" || m == "U") {
        if (!IsLetter(c))
            return false;
        ch = GXUtf8Encode(m == "L" ? QChar::toLower(c) : QChar::toUpper(c));
        return true;
    }
    return false;
}

int CGXMaskData::NextInputPos(int pos) const {
    const int length = IsFree() ? m_nMaxLength : Length();
    if (length < 1 || pos >= length)
        return pos;
    if (IsFree())
        return pos + 1;
    for (int i = std::max(pos + 1, 0); i < length; ++i)
        if (!m_literal[i])
            return i;
    return -1;
}

int CGXMaskData::PrevInputPos(int pos) const {
    const int length = IsFree() ? GetDataCount() + 1 : Length();
    if (length < 1)
        return pos;
    if (pos <= 0)
        return pos - 1;
    if (IsFree())
        return pos - 1;
    for (int i = std::min(pos - 1, length - 1); i >= 0; --i)
        if (!m_literal[i])
            return i;
    return -1;
}

int CGXMaskData::InputEndPos(int pos) const {
    if (IsFree())
        return std::min(pos, GetDataCount());
    const int length = Length();
    if (length < 1)
        return pos;
    pos = std::max(pos, 0);
    if (pos >= length) {
        if (pos != 0 && IsFilledInput(length - 1))
            return length;
        pos = length - 1;
    }
    const int probe = m_literal[pos] ? NextInputPos(pos) : pos;
    if (IsFilledInput(probe))
        return pos;
    const int start = m_literal[pos] ? PrevInputPos(pos) : pos;
    for (int i = start; i > 0; --i)
        if (IsFilledInput(i))
            return i + 1;
    if (IsFilledInput(0))
        return 1;
    return NextInputPos(-1);
}

void CGXMaskData::FillWithPrompts() {
    m_data.clear();
    if (IsFree())
        return;
    for (int i = 0; i < Length(); ++i) m_data.push_back(m_literal[i] ? m_mask[i] : m_prompt);
}

int CGXMaskData::SetInputText(const std::string& text, int first, bool insert) {
    if (IsFree())
        return SetDisplayText(text, first, insert);
    if (first == -1) {
        FillWithPrompts();
        first = 0;
    }
    if (m_mask.empty() || first < 0 || first >= Length() || NextInputPos(first - 1) == -1)
        return -1;
    if (GetDataCount() != Length())
        FillWithPrompts();
    int pos = first;
    int after = first;  // the position after the last character stored
    for (const std::string& original : GXSplitUtf8Chars(text)) {
        while (pos < Length() && m_literal[pos]) ++pos;
        if (pos >= Length())
            break;
        std::string ch = original;
        if (!AcceptsChar(pos, ch))
            break;
        if (insert) {
            int next = 0;
            if (!InsertChar(pos, ch, next))
                break;
        } else {
            m_data[pos] = ch;
        }
        after = ++pos;
    }
    return after;
}

int CGXMaskData::SetDisplayText(const std::string& text, int first, bool insert) {
    if (first == -1) {
        FillWithPrompts();
        first = 0;
    }
    const std::vector<std::string> chars = GXSplitUtf8Chars(text);
    if (IsFree()) {
        first = std::clamp(first, 0, GetDataCount());
        const int count = static_cast<int>(chars.size());
        // Overwriting keeps what stands behind the written characters.
        if (!insert && GetDataCount() < first + count)
            m_data.resize(first + count);
        for (int i = 0; i < count; ++i) {
            if (insert)
                m_data.insert(m_data.begin() + first + i, chars[i]);
            else
                m_data[first + i] = chars[i];
        }
        if (GetDataCount() > m_nMaxLength)
            m_data.resize(std::max(m_nMaxLength, 0));
        return std::min(first + count, GetDataCount());
    }
    if (first < 0)
        return -1;
    if (GetDataCount() != Length())
        FillWithPrompts();
    int pos = first;
    for (const std::string& original : chars) {
        if (pos >= Length())
            break;
        if (m_literal[pos]) {
            if (original != m_mask[pos])
                return -1;
            ++pos;
            continue;
        }
        std::string ch = original;
        if (!AcceptsChar(pos, ch))
            return -1;
        if (insert) {
            int next = 0;
            if (!InsertChar(pos, ch, next))
                return -1;
        } else {
            m_data[pos] = ch;
        }
        ++pos;
    }
    return pos;
}

void CGXMaskData::GetDisplayText(std::string& out, int first, int last) const {
    out.clear();
    const int end = last < 0 ? GetDataCount() - 1 : std::min(last, GetDataCount() - 1);
    for (int i = std::max(first, 0); i <= end; ++i) out += m_data[i];
}

void CGXMaskData::GetInputText(std::string& out, int first, int last, bool trim) const {
    if (IsFree()) {
        GetDisplayText(out, first, last);
        return;
    }
    out.clear();
    const int count = std::min(GetDataCount(), Length());
    const int end = last < 0 ? count - 1 : std::min(last, count - 1);
    for (int i = std::max(first, 0); i <= end; ++i) {
        if (m_literal[i])
            continue;
        out += m_data[i] == m_prompt ? std::string(" ") : m_data[i];
    }
    if (trim)
        while (!out.empty() && (out.back() == ' ' || out.back() == '\t' || out.back() == '\r' ||
                                out.back() == '\n'))
            out.pop_back();
}

bool CGXMaskData::InsertChar(int pos, const std::string& ch, int& newPos) {
    if (IsFree()) {
        if (GetDataCount() >= m_nMaxLength)
            return false;
        pos = std::clamp(pos, 0, GetDataCount());
        m_data.insert(m_data.begin() + pos, ch);
        newPos = pos + 1;
        return true;
    }
    const int lastInput = PrevInputPos(Length());
    if (lastInput < 0 || pos < 0 || pos >= Length() || m_literal[pos] ||
        GetDataCount() != Length() || m_data[lastInput] != m_prompt)
        return false;
    for (int i = lastInput; i > pos;) {
        const int prev = PrevInputPos(i);
        m_data[i] = m_data[prev];
        i = prev;
    }
    m_data[pos] = ch;
    const int next = NextInputPos(pos);
    newPos = next == -1 ? pos + 1 : next;
    return true;
}

void CGXMaskData::RemoveRange(int end, int start) {
    if (IsFree()) {
        start = std::clamp(start, 0, GetDataCount());
        end = std::clamp(end, start, GetDataCount());
        m_data.erase(m_data.begin() + start, m_data.begin() + end);
        return;
    }
    const int length = Length();
    if (end < 0 || end > length || GetDataCount() != length)
        return;
    start = std::max(start, 0);
    if (start < length && m_literal[start]) {
        start = NextInputPos(start);
        if (start == -1 || start > end)
            return;
    }
    if (start >= end)
        return;
    if (end < length && m_literal[end]) {
        end = NextInputPos(end);
        if (end == -1)
            end = length;
    }
    int src = end;
    for (int dst = start; dst < length; ++dst) {
        if (m_literal[dst])
            continue;
        while (src < length && m_literal[src]) ++src;
        m_data[dst] = src < length ? m_data[src] : m_prompt;
        if (src < length)
            ++src;
    }
}

bool CGXMaskData::CheckContents() const {
    if (IsFree())
        return GetDataCount() <= m_nMaxLength;
    if (GetDataCount() != Length())
        return false;
    for (int i = 0; i < Length(); ++i) {
        if (m_literal[i]) {
            if (m_data[i] != m_mask[i])
                return false;
            continue;
        }
        std::string ch = m_data[i];
        if (!AcceptsChar(i, ch))
            return false;
    }
    return true;
}

int CGXMaskData::CharToByteIndex(int chars) const {
    if (chars < 0)
        return chars;
    int bytes = 0;
    for (int i = 0; i < chars; ++i)
        bytes += i < GetDataCount() ? static_cast<int>(m_data[i].size()) : 1;
    return bytes;
}

int CGXMaskData::ByteToCharIndex(int bytes) const {
    if (bytes < 0)
        return bytes;
    int sum = 0;
    int i = 0;
    for (; i < GetDataCount() && sum < bytes; ++i) sum += static_cast<int>(m_data[i].size());
    return i + std::max(bytes - sum, 0);
}
