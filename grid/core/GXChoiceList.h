// Choice lists: texts of lines separated by CR LF (a lone CR or LF also ends a line), each line
// of fields separated by tabs.
#pragma once

#include <string>
#include <string_view>

// Removes the first line from `text` into `line`; returns its length, -1 when the text has no
// line break (then `line` receives the whole text and `text` is emptied).
int GXExtractLine(std::string& text, std::string& line);
// The n-th field (0-based) of a line, at most `size` - 1 bytes (never cutting a character);
// empty when the line has fewer fields.
std::string GXGetTabField(std::string_view line, int n, std::size_t size = 128);
// The index of the first line whose field `field` matches the key (exact: whole and case
// sensitive; else case-insensitive over the key's length), skipping a header line when asked;
// `line` receives the line. -1 (and an empty line) when none matches.
int GXFindChoiceIndex(std::string_view list, std::string_view key, int field, bool exact,
                      bool headerLine, std::string* line = nullptr);
// Sorts the lines by a field (compared as text through 128-byte buffers), keeping a header line
// first; the result has CR LF after each line.
void GXSortChoiceList(std::string& list, int field, bool headerLine);
