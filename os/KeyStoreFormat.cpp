#include "os/KeyStoreFormat.h"

#include <charconv>
#include <optional>
#include <vector>

namespace os {
namespace {

constexpr std::string_view kHeader = "ixo-keystore\t1";
constexpr char kHex[] = "0123456789abcdef";

std::string Escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::optional<std::string> Unescape(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i >= text.size()) {
            return std::nullopt;
        }
        switch (text[i]) {
            case '\\':
                out += '\\';
                break;
            case 't':
                out += '\t';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 'x': {
                const int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
                const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
                if (high < 0 || low < 0) {
                    return std::nullopt;
                }
                out += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return out;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const size_t tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) {
            return fields;
        }
        line.remove_prefix(tab + 1);
    }
}

std::string FormatValue(const KeyValue& value) {
    switch (value.type) {
        case ValueType::String:
            return "s\t" + Escape(value.text);
        case ValueType::U32:
            return "u\t" + std::to_string(value.number);
        case ValueType::Binary:
            break;
    }
    std::string out = "b\t";
    for (uint8_t byte : value.bytes) {
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    }
    return out;
}

KeyStoreParseError ParseValueData(std::string_view type, std::string_view data, KeyValue& value) {
    if (type == "s") {
        std::optional<std::string> text = Unescape(data);
        if (!text) {
            return KeyStoreParseError::BadEscape;
        }
        value = KeyValue::String(*text);
        return ValidValue(value) ? KeyStoreParseError::None : KeyStoreParseError::BadName;
    }
    if (type == "u") {
        uint32_t number = 0;
        const auto [end, ec] = std::from_chars(data.data(), data.data() + data.size(), number);
        if (data.empty() || data.size() > 10 || ec != std::errc() ||
            end != data.data() + data.size()) {
            return KeyStoreParseError::BadNumber;
        }
        value = KeyValue::U32(number);
        return KeyStoreParseError::None;
    }
    if (type != "b") {
        return KeyStoreParseError::BadType;
    }
    if (data.size() % 2 != 0 || data.size() / 2 > kMaxValueData) {
        return KeyStoreParseError::BadBinary;
    }
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < data.size(); i += 2) {
        const int high = HexDigit(data[i]);
        const int low = HexDigit(data[i + 1]);
        if (high < 0 || low < 0) {
            return KeyStoreParseError::BadBinary;
        }
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    value = KeyValue::Binary(std::move(bytes));
    return KeyStoreParseError::None;
}

// Reads one record line into the tree; `key` is the key of the last key record.
KeyStoreParseError ParseRecord(std::string_view line, std::optional<std::vector<std::string>>& key,
                               KeyTree& tree) {
    const std::vector<std::string_view> fields = SplitTabs(line);
    if (fields.size() == 2 && fields[0] == "key") {
        std::optional<std::string> path = Unescape(fields[1]);
        std::vector<std::string> components;
        if (!path) {
            return KeyStoreParseError::BadEscape;
        }
        if (!SplitKeyPath(*path, components)) {
            return KeyStoreParseError::BadName;
        }
        tree.Create(components);
        key = std::move(components);
        return KeyStoreParseError::None;
    }
    if (fields.size() != 4 || fields[0] != "value") {
        return KeyStoreParseError::BadRecord;
    }
    if (!key) {
        return KeyStoreParseError::ValueBeforeKey;
    }
    std::optional<std::string> name = Unescape(fields[1]);
    if (!name) {
        return KeyStoreParseError::BadEscape;
    }
    if (!ValidValueName(*name)) {
        return KeyStoreParseError::BadName;
    }
    KeyValue value;
    const KeyStoreParseError error = ParseValueData(fields[2], fields[3], value);
    if (error == KeyStoreParseError::None) {
        tree.Set(*key, *name, std::move(value));
    }
    return error;
}

}  // namespace

KeyStoreParseResult ParseKeyStore(std::string_view bytes, KeyTree& tree) {
    tree = KeyTree();
    std::optional<std::vector<std::string>> key;
    size_t lineNumber = 0;
    while (!bytes.empty()) {
        const size_t newline = bytes.find('\n');
        const std::string_view line = bytes.substr(0, newline);
        bytes.remove_prefix(newline == std::string_view::npos ? bytes.size() : newline + 1);
        ++lineNumber;
        KeyStoreParseError error = KeyStoreParseError::None;
        if (lineNumber == 1) {
            error = line == kHeader ? error : KeyStoreParseError::BadHeader;
        } else if (!line.empty()) {
            error = ParseRecord(line, key, tree);
        }
        if (error != KeyStoreParseError::None) {
            tree = KeyTree();
            return {error, lineNumber};
        }
    }
    return {};
}

std::string FormatKeyStore(const KeyTree& tree) {
    std::string out(kHeader);
    out += '\n';
    for (const auto& [mapKey, entry] : tree.Entries()) {
        std::string path;
        for (const std::string& component : entry.path) {
            path += (path.empty() ? "" : "/") + component;
        }
        out += "key\t" + Escape(path) + '\n';
        for (const KeyTree::NamedValue& v : entry.values) {
            out += "value\t" + Escape(v.name) + '\t' + FormatValue(v.value) + '\n';
        }
    }
    return out;
}

const char* ToString(KeyStoreParseError error) {
    switch (error) {
        case KeyStoreParseError::None:
            return "no error";
        case KeyStoreParseError::BadHeader:
            return "not a key store file";
        case KeyStoreParseError::BadRecord:
            return "unknown record";
        case KeyStoreParseError::ValueBeforeKey:
            return "value before any key";
        case KeyStoreParseError::BadEscape:
            return "broken escape sequence";
        case KeyStoreParseError::BadName:
            return "name or value out of bounds";
        case KeyStoreParseError::BadType:
            return "unknown value type";
        case KeyStoreParseError::BadNumber:
            return "bad number";
        case KeyStoreParseError::BadBinary:
            return "bad binary data";
    }
    return "unknown error";
}

}  // namespace os
