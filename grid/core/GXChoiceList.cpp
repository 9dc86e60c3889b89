#include "grid/core/GXChoiceList.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

// Takes the first line off `text`, without its break (CR, LF or CR LF); `broken` tells whether a
// break ended it.
std::string_view TakeLine(std::string_view& text, bool* broken = nullptr) {
    const std::size_t br = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, br);
    if (broken)
        *broken = br != std::string_view::npos;
    if (br == std::string_view::npos) {
        text = {};
        return line;
    }
    std::size_t next = br + 1;
    if (text[br] == '\r' && next < text.size() && text[next] == '\n')
        ++next;
    text.remove_prefix(next);
    return line;
}

// The lines of a list; a trailing line break ends the last line without adding an empty one.
std::vector<std::string> Lines(std::string_view list) {
    std::vector<std::string> out;
    while (!list.empty()) out.emplace_back(TakeLine(list));
    return out;
}

// At most `max` bytes of s, never ending inside a UTF-8 character.
std::string_view CutBytes(std::string_view s, std::size_t max) {
    if (s.size() <= max)
        return s;
    std::size_t n = max;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    return s.substr(0, n);
}

// The n-th field of a line as `GXGetTabField` gives it, viewed in place.
std::string_view TabField(std::string_view line, int n, std::size_t size = 128) {
    if (n < 0 || size == 0)
        return {};
    std::size_t start = 0;
    for (int i = 0; i < n; ++i) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos)
            return {};
        start = tab + 1;
    }
    const std::size_t end = line.find('\t', start);
    const std::string_view field =
        line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    return CutBytes(field, size - 1);
}

bool EqualNoCase(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
}

}  // namespace

int GXExtractLine(std::string& text, std::string& line) {
    std::string_view rest(text);
    bool broken = false;
    line = TakeLine(rest, &broken);
    text.erase(0, text.size() - rest.size());
    return broken ? static_cast<int>(line.size()) : -1;
}

std::string GXGetTabField(std::string_view line, int n, std::size_t size) {
    return std::string(TabField(line, n, size));
}

int GXFindChoiceIndex(std::string_view list, std::string_view key, int field, bool exact,
                      bool headerLine, std::string* lineOut) {
    // Walked in place: a combo box asks this for each cell it shows or measures, and splitting
    // the whole list into copies each time cost more than the search.
    std::size_t index = 0;
    while (!list.empty()) {
        const std::string_view line = TakeLine(list);
        if (headerLine && index == 0) {
            ++index;
            continue;
        }
        const std::string_view f = TabField(line, field);
        const bool match = exact ? f == key
                                 : f.size() >= key.size() &&
                                       std::equal(key.begin(), key.end(), f.begin(), EqualNoCase);
        if (match) {
            if (lineOut)
                lineOut->assign(line);
            return static_cast<int>(headerLine ? index - 1 : index);
        }
        ++index;
    }
    if (lineOut)
        lineOut->clear();
    return -1;
}

void GXSortChoiceList(std::string& list, int field, bool headerLine) {
    std::vector<std::string> lines = Lines(list);
    const auto first = lines.begin() + ((headerLine && !lines.empty()) ? 1 : 0);
    std::stable_sort(first, lines.end(), [field](const std::string& a, const std::string& b) {
        return GXGetTabField(a, field) < GXGetTabField(b, field);
    });
    list.clear();
    for (const std::string& l : lines) list += l + "\r\n";
}
