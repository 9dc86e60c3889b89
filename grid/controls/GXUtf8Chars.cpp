#include "grid/controls/GXUtf8Chars.h"

std::size_t GXUtf8SeqLen(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2)
        return 2;
    return 1;
}

namespace {

// The length of the well-formed sequence at `pos`, 1 when it is broken.
std::size_t SeqAt(std::string_view text, std::size_t pos) {
    const std::size_t n = GXUtf8SeqLen(static_cast<unsigned char>(text[pos]));
    if (pos + n > text.size())
        return 1;
    for (std::size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80)
            return 1;
    // Over-long forms, surrogates and values past U+10FFFF are broken too.
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    const unsigned char second =
        static_cast<unsigned char>(text[pos + 1 < text.size() ? pos + 1 : pos]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
        return 1;
    return n;
}

}  // namespace

std::vector<std::string> GXSplitUtf8Chars(std::string_view text) {
    std::vector<std::string> chars;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t n = SeqAt(text, pos);
        chars.emplace_back(text.substr(pos, n));
        pos += n;
    }
    return chars;
}

std::size_t GXUtf8CharCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += SeqAt(text, pos)) ++count;
    return count;
}

std::string GXUtf8Left(std::string_view text, std::size_t count) {
    std::size_t pos = 0;
    for (; pos < text.size() && count > 0; --count) pos += SeqAt(text, pos);
    return std::string(text.substr(0, pos));
}

char32_t GXUtf8Decode(std::string_view ch) {
    if (ch.empty())
        return 0;
    const std::size_t n = SeqAt(ch, 0);
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(ch[i]); };
    if (n == 1)
        return b(0) < 0x80 ? b(0) : 0xFFFD;
    char32_t cp = b(0) & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
    for (std::size_t i = 1; i < n; ++i) cp = (cp << 6) | (b(i) & 0x3F);
    return cp;
}

std::string GXUtf8Encode(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}
