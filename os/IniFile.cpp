#include "os/IniFile.h"

#include <algorithm>
#include <mutex>

#include "os/FileIo.h"
#include "os/Text.h"

namespace os {
namespace {

enum class LineKind { Other, Section, Entry };

struct IniLine {
    std::string text;    // without its line ending
    std::string ending;  // "\n", "\r\n" or "" for a last line without one
    LineKind kind = LineKind::Other;
    std::string name;   // section name or key
    std::string value;  // entry value
};

IniLine MakeLine(std::string text, std::string ending) {
    IniLine line;
    line.text = std::move(text);
    line.ending = std::move(ending);
    return line;
}

bool IsPassedOver(std::string_view text) {
    if (text.size() > IniFile::kMaxLine) {
        return true;
    }
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; });
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// Sets kind, name and value from line.text.
void Classify(IniLine& line, bool first) {
    std::string_view text = line.text;
    if (first && text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);  // UTF-8 byte order mark
    }
    if (IsPassedOver(text)) {
        return;
    }
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '[') {
        line.kind = LineKind::Section;
        line.name = TrimBlanks(text.substr(1, text.find(']') - 1));
        return;
    }
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return;
    }
    const std::string_view key = TrimBlanks(text.substr(0, equals));
    if (key.empty() || key.front() == ';') {
        return;
    }
    line.kind = LineKind::Entry;
    line.name = key;
    line.value = Unquote(TrimBlanks(text.substr(equals + 1)));
}

std::vector<IniLine> SplitLines(std::string_view bytes) {
    std::vector<IniLine> lines;
    while (!bytes.empty()) {
        const size_t newline = bytes.find('\n');
        std::string_view text = bytes.substr(0, newline);
        std::string ending = newline == std::string_view::npos ? "" : "\n";
        bytes.remove_prefix(newline == std::string_view::npos ? bytes.size() : newline + 1);
        if (!ending.empty() && !text.empty() && text.back() == '\r') {
            text.remove_suffix(1);
            ending = "\r\n";
        }
        lines.push_back(MakeLine(std::string(text), std::move(ending)));
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        Classify(lines[i], i == 0);
    }
    return lines;
}

// The file's lines; false when it exists but cannot be read whole.
bool LoadLines(const std::filesystem::path& path, std::vector<IniLine>& lines) {
    std::string bytes;
    const ReadStatus status = ReadWholeFile(path, IniFile::kMaxFile, bytes);
    lines = SplitLines(bytes);
    return status == ReadStatus::Ok || status == ReadStatus::Missing;
}

// Calls visit(index) for each line inside a section of that name.
template <typename Visit>
void ForEachInSection(const std::vector<IniLine>& lines, std::string_view section, Visit visit) {
    bool inside = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == LineKind::Section) {
            inside = EqualsNoCase(lines[i].name, section);
        } else if (inside) {
            visit(i);
        }
    }
}

std::optional<size_t> FindEntry(const std::vector<IniLine>& lines, std::string_view section,
                                std::string_view key) {
    std::optional<size_t> found;
    ForEachInSection(lines, section, [&](size_t i) {
        if (!found && lines[i].kind == LineKind::Entry && EqualsNoCase(lines[i].name, key)) {
            found = i;
        }
    });
    return found;
}

std::string NewlineOf(const std::vector<IniLine>& lines) {
    for (const IniLine& line : lines) {
        if (!line.ending.empty()) {
            return line.ending;
        }
    }
    return "\n";
}

std::string Join(const std::vector<IniLine>& lines) {
    std::string bytes;
    for (const IniLine& line : lines) {
        bytes += line.text;
        bytes += line.ending;
    }
    return bytes;
}

bool Store(const std::filesystem::path& path, const std::vector<IniLine>& lines) {
    return !ReplaceFile(path, Join(lines));
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos ||
           text.find('\0') != std::string_view::npos;
}

bool Storable(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view trimmedKey = TrimBlanks(key);
    return !HasLineBreak(section) && !HasLineBreak(key) && !HasLineBreak(value) &&
           section.find(']') == std::string_view::npos && !trimmedKey.empty() &&
           trimmedKey.front() != '[' && trimmedKey.front() != ';' &&
           key.find('=') == std::string_view::npos;
}

// Where a new key of the section goes: after its last entry, else after its header.
std::optional<size_t> InsertionPoint(const std::vector<IniLine>& lines, std::string_view section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != LineKind::Section || !EqualsNoCase(lines[i].name, section)) {
            continue;
        }
        size_t after = i + 1;
        for (size_t j = i + 1; j < lines.size() && lines[j].kind != LineKind::Section; ++j) {
            if (lines[j].kind == LineKind::Entry) {
                after = j + 1;
            }
        }
        return after;
    }
    return std::nullopt;
}

// Serialises writers of this process; each write is one read-change-replace.
std::mutex g_writeLock;

}  // namespace

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    std::vector<IniLine> lines;
    LoadLines(path_, lines);
    const std::optional<size_t> at = FindEntry(lines, section, key);
    if (!at) {
        return std::nullopt;
    }
    return lines[*at].value;
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view defaultValue) const {
    std::optional<std::string> value = Find(section, key);
    return value ? *value : std::string(defaultValue);
}

int IniFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    const std::optional<std::string> value = Find(section, key);
    if (!value) {
        return defaultValue;
    }
    return ParseProfileInt(*value).value_or(defaultValue);
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    if (!Storable(section, key, value)) {
        return false;
    }
    std::lock_guard<std::mutex> guard(g_writeLock);
    std::vector<IniLine> lines;
    if (!LoadLines(path_, lines)) {
        return false;
    }
    const std::string newline = NewlineOf(lines);
    const std::string entry = std::string(TrimBlanks(key)) + "=" + std::string(value);
    if (const std::optional<size_t> at = FindEntry(lines, section, key)) {
        lines[*at].text = entry;
    } else if (const std::optional<size_t> insert = InsertionPoint(lines, section)) {
        if (*insert > 0 && lines[*insert - 1].ending.empty()) {
            lines[*insert - 1].ending = newline;
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*insert),
                     MakeLine(entry, newline));
    } else {
        if (!lines.empty() && lines.back().ending.empty()) {
            lines.back().ending = newline;
        }
        lines.push_back(MakeLine("[" + std::string(section) + "]", newline));
        lines.push_back(MakeLine(entry, newline));
    }
    return Store(path_, lines);
}

bool IniFile::WriteInt(std::string_view section, std::string_view key, int value) {
    return WriteString(section, key, std::to_string(value));
}

bool IniFile::DeleteKey(std::string_view section, std::string_view key) {
    std::lock_guard<std::mutex> guard(g_writeLock);
    std::vector<IniLine> lines;
    if (!LoadLines(path_, lines)) {
        return false;
    }
    std::vector<bool> drop(lines.size(), false);
    ForEachInSection(lines, section, [&](size_t i) {
        drop[i] = lines[i].kind == LineKind::Entry && EqualsNoCase(lines[i].name, key);
    });
    if (std::none_of(drop.begin(), drop.end(), [](bool d) { return d; })) {
        return true;
    }
    std::vector<IniLine> kept;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!drop[i]) {
            kept.push_back(std::move(lines[i]));
        }
    }
    return Store(path_, kept);
}

bool IniFile::DeleteSection(std::string_view section) {
    std::lock_guard<std::mutex> guard(g_writeLock);
    std::vector<IniLine> lines;
    if (!LoadLines(path_, lines)) {
        return false;
    }
    std::vector<IniLine> kept;
    bool dropping = false;
    for (IniLine& line : lines) {
        if (line.kind == LineKind::Section) {
            dropping = EqualsNoCase(line.name, section);
        }
        if (!dropping) {
            kept.push_back(std::move(line));
        }
    }
    return kept.size() == lines.size() || Store(path_, kept);
}

std::vector<std::string> IniFile::GetSectionNames() const {
    std::vector<IniLine> lines;
    LoadLines(path_, lines);
    std::vector<std::string> names;
    for (const IniLine& line : lines) {
        if (line.kind == LineKind::Section &&
            std::none_of(names.begin(), names.end(),
                         [&](const std::string& n) { return EqualsNoCase(n, line.name); })) {
            names.emplace_back(line.name);
        }
    }
    return names;
}

std::vector<std::string> IniFile::GetKeys(std::string_view section) const {
    std::vector<IniLine> lines;
    LoadLines(path_, lines);
    std::vector<std::string> keys;
    ForEachInSection(lines, section, [&](size_t i) {
        if (lines[i].kind == LineKind::Entry &&
            std::none_of(keys.begin(), keys.end(),
                         [&](const std::string& k) { return EqualsNoCase(k, lines[i].name); })) {
            keys.emplace_back(lines[i].name);
        }
    });
    return keys;
}

std::optional<int> ParseProfileInt(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty()) {
        return std::nullopt;
    }
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    uint32_t value = 0;  // wraps like the unsigned result it stands for
    for (char c : text) {
        const unsigned digit = (c >= '0' && c <= '9')   ? static_cast<unsigned>(c - '0')
                               : (c >= 'a' && c <= 'f') ? static_cast<unsigned>(c - 'a' + 10)
                               : (c >= 'A' && c <= 'F') ? static_cast<unsigned>(c - 'A' + 10)
                                                        : 99u;
        if (digit >= base) {
            break;
        }
        value = value * base + digit;
    }
    return static_cast<int>(negative ? 0u - value : value);
}

}  // namespace os
