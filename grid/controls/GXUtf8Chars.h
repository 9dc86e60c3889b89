// Character-wise views of UTF-8 texts for the cell controls that count, mask or move by
// character rather than by byte (input masks, password cells, rich-text lengths).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The byte length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
std::size_t GXUtf8SeqLen(unsigned char lead);
// The text cut into characters (a broken sequence counts byte by byte).
std::vector<std::string> GXSplitUtf8Chars(std::string_view text);
std::size_t GXUtf8CharCount(std::string_view text);
// The first `count` characters of the text.
std::string GXUtf8Left(std::string_view text, std::size_t count);
// The code point of a one-character text (0xFFFD for a broken one).
char32_t GXUtf8Decode(std::string_view ch);
std::string GXUtf8Encode(char32_t cp);
