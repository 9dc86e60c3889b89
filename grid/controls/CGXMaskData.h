// One input mask and the text entered into it. A mask is a row of positions: placeholders
// ("#" digit, "&" any character, "?" letter, "A" letter or digit, "L" letter stored in lower
// case, "U" letter stored in upper case) and literals, which are shown but never typed over; a
// backslash makes the next mask character a literal. The stored value is the typed characters
// alone (a space where a position is empty), the display text adds the literals and shows the
// prompt in every empty position. Without a mask the data is free input limited to the maximum
// length. Positions count characters, never bytes, so a position holds one whole character.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CGXMaskData {
public:
    static constexpr int kNoLimit = 0x7FFFFFFF;

    CGXMaskData() = default;
    virtual ~CGXMaskData() = default;

    virtual void RemoveAll();
    virtual void SetMask(const std::string& mask);
    // The typed characters of positions first..last (-1 the end), a space for an empty one;
    // with `trim` without trailing white space.
    virtual void GetInputText(std::string& out, int first = 0, int last = -1,
                              bool trim = true) const;
    // Stores typed characters (no literals) from `first` (-1: a fresh mask from 0) on; answers
    // the position after the last character stored, -1 when nothing can be stored. A character
    // the mask refuses ends the text.
    virtual int SetInputText(const std::string& text, int first = -1, bool insert = false);
    virtual void GetDisplayText(std::string& out, int first = 0, int last = -1) const;
    // Stores a text that includes the literals; -1 when a character does not fit its position.
    virtual int SetDisplayText(const std::string& text, int first = -1, bool insert = false);
    // TRUE when `ch` may stand at `pos`; a space becomes the prompt, "L" and "U" change case.
    virtual bool AcceptsChar(int pos, std::string& ch) const;
    virtual int NextInputPos(int pos) const;
    virtual int PrevInputPos(int pos) const;
    // Where End puts the caret, given a position (usually the data count).
    virtual int InputEndPos(int pos) const;
    // Inserts `ch` at `pos`, shifting the characters behind it to the next input positions
    // (they are not checked again); FALSE when the last input position is filled.
    virtual bool InsertChar(int pos, const std::string& ch, int& newPos);
    // Removes the characters of [start, end); the rest moves up and the tail gets prompts.
    virtual void RemoveRange(int end, int start);
    virtual bool CheckContents() const;
    virtual bool HasNoMask() const { return m_mask.empty(); }
    virtual int GetDataCount() const { return static_cast<int>(m_data.size()); }
    // Character index to UTF-8 byte offset of the display text and back (-1 stays -1).
    virtual int CharToByteIndex(int chars) const;
    virtual int ByteToCharIndex(int bytes) const;
    virtual void FillWithPrompts();
    virtual int GetMaxLength() const { return m_nMaxLength; }
    virtual void SetMaxLength(int length) { m_nMaxLength = length; }
    virtual bool IsMaskChar(const std::string& ch) const;
    virtual bool IsLiteralPos(int pos) const;

    // One character; FALSE (prompt unchanged) for a longer text, "_" for an empty one.
    bool SetPrompt(const std::string& prompt, bool replaceExisting);
    const std::string& GetPrompt() const { return m_prompt; }
    void SetFreeInput(bool free) { m_nFreeInput = free ? 1 : 0; }

protected:
    bool IsFree() const { return m_nFreeInput != 0 && m_mask.empty(); }
    int Length() const { return static_cast<int>(m_mask.size()); }
    bool IsFilledInput(int pos) const;

    std::vector<std::string> m_mask;       // the placeholder, or the literal, per position
    std::vector<unsigned char> m_literal;  // 1 literal, 0 input position
    std::vector<std::string> m_data;       // the character now at each position
    std::string m_prompt = "_";
    int m_nFreeInput = 1;
    int m_nMaxLength = kNoLimit;
};

// How a masked edit creates its mask objects, so that a derived mask class can be supplied.
using CGXMaskDataClass = std::function<std::unique_ptr<CGXMaskData>()>;
