#include "addrserver/Bootptab.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "addrserver/BootpOptions.h"

namespace addrserver {
namespace {

constexpr size_t kMaxLine = 1020;

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(s[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

int Hex(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// "00.D0.11.00.0A.00" or "00D011000A00".
std::optional<MacBytes> ParseHardwareAddress(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    const bool dotted = s.size() == 17;
    if (!dotted && s.size() != 12)
        return std::nullopt;
    MacBytes mac{};
    for (size_t i = 0; i < 6; ++i) {
        size_t at = dotted ? i * 3 : i * 2;
        if (dotted && i < 5 && s[at + 2] != '.')
            return std::nullopt;
        int hi = Hex(s[at]), lo = Hex(s[at + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        mac[i] = static_cast<uint8_t>(hi * 16 + lo);
    }
    return mac;
}

std::optional<uint32_t> ParseCount(std::string_view s, int base) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    uint32_t v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return v;
}

struct LineFields {
    std::optional<MacBytes> mac;
    std::optional<uint32_t> ip, gateway, count;
    std::string bootFile;
    bool segment = false;
};

LineFields SplitLine(std::string_view line) {
    LineFields f;
    while (!line.empty()) {
        size_t colon = line.find(':');
        std::string_view field = line.substr(0, colon);
        line = colon == std::string_view::npos ? std::string_view{} : line.substr(colon + 1);
        while (!field.empty() && (field.front() == ' ' || field.front() == '\t'))
            field.remove_prefix(1);
        if (StartsWithNoCase(field, "ha="))
            f.mac = ParseHardwareAddress(field.substr(3));
        else if (StartsWithNoCase(field, "ip="))
            f.ip = ParseDotted(field.substr(3));
        else if (StartsWithNoCase(field, "gw="))
            f.gateway = ParseDotted(field.substr(3));
        else if (StartsWithNoCase(field, "bf=")) {
            std::string_view name = field.substr(3);
            while (!name.empty() && (name.back() == '\r' || name.back() == ' '))
                name.remove_suffix(1);
            f.bootFile = std::string(name);
        } else if (StartsWithNoCase(field, "T254=0x"))
            f.count = ParseCount(field.substr(7), 16);
        else if (StartsWithNoCase(field, "T254="))
            f.count = ParseCount(field.substr(5), 10);
        else if (StartsWithNoCase(field, ".dynamic"))
            f.segment = true;
        // Any other field is the line's name, which the tables do not keep.
    }
    return f;
}

void ApplyLine(std::string_view line, AddressTables& tables) {
    if (line.empty() || line[0] == '#')
        return;
    LineFields f = SplitLine(line);
    if (f.segment) {
        if (f.count && f.ip)
            tables.CreateSegment(*f.ip, f.gateway.value_or(0), *f.count);
    } else if (f.mac && f.ip) {
        tables.AddNode(*f.ip, *f.mac, f.bootFile);
    }
}

}  // namespace

BootptabError ParseBootptab(std::string_view text, AddressTables& tables, Reporter& reporter) {
    tables.ClearNodes();
    while (!text.empty()) {
        size_t end = text.find('\n');
        if (end == std::string_view::npos || end > kMaxLine) {
            reporter.Report(kMsgError, "Bootp: Err parsing booptab");
            return BootptabError::kBadLine;
        }
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        ApplyLine(line, tables);
        text.remove_prefix(end + 1);
    }
    tables.MarkSaved();
    return BootptabError::kNone;
}

BootptabError ReadBootptab(const std::string& path, AddressTables& tables, Reporter& reporter) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        tables.ClearNodes();
        reporter.Report(kMsgNotice, "bootptab doesn't exist");
        return BootptabError::kMissing;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        return BootptabError::kUnreadable;
    return ParseBootptab(content.str(), tables, reporter);
}

std::string BootptabText(const AddressTables& tables) {
    std::string text;
    unsigned n = 0;
    for (const auto& s : tables.Segments()) {
        text += Format(".dynamic-%u: gw=%s:ip=%s:T254=0x%X\n", ++n, DottedText(s.gateway).c_str(),
                       DottedText(s.network).c_str(), s.requested);
    }
    n = 0;
    for (const auto& e : tables.Nodes()) {
        text += Format("node%u: ha=%s:ip=%s", ++n, MacText(e.mac.data(), '.').c_str(),
                       DottedText(e.address).c_str());
        if (e.bootFileState != kNoBootFile)
            text += ":bf=" + e.bootFile;
        text += "\n";
    }
    return text;
}

bool WriteBootptab(const std::string& path, const AddressTables& tables, Reporter& reporter) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const std::string temp = (target.parent_path() / "bootptab.tmp").string();
    const std::string text = BootptabText(tables);
    // The new content is on disk before it replaces the old file, so a crash at any
    // point leaves a whole bootptab behind.
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool written = fd >= 0;
    for (size_t done = 0; written && done < text.size();) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        written = n > 0;
        if (written)
            done += static_cast<size_t>(n);
    }
    written = written && ::fsync(fd) == 0;
    if (fd >= 0 && ::close(fd) != 0)
        written = false;
    if (!written) {
        reporter.Print("Error closing bootptab.tmp\n");
        ::unlink(temp.c_str());
        return false;
    }
    const std::string backup = path + ".bak";
    ::unlink(backup.c_str());
    if (::link(path.c_str(), backup.c_str()) != 0 && errno != ENOENT) {
        std::error_code ec;
        fs::copy_file(target, backup, fs::copy_options::overwrite_existing, ec);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        reporter.Print("Error renaming bootptab.tmp to bootptab\n");
        return false;
    }
    return true;
}

}  // namespace addrserver
