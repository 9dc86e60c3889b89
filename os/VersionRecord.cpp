#include "os/VersionRecord.h"

#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

// Defined by the source that ixo_version_record() generates; absent (null) in
// programs without a record.
extern "C" __attribute__((weak)) const char ixo_version_record[];

namespace os {
namespace {

// The marker with every byte XOR 0x5A, so the reader's own code never holds it.
constexpr unsigned char kMaskedMarker[kVersionMarkerSize] = {
    0x7F ^ 0x5A, 'I' ^ 0x5A, 'X' ^ 0x5A,  'O' ^ 0x5A, 'V' ^ 0x5A, 'E' ^ 0x5A,
    'R' ^ 0x5A,  'S' ^ 0x5A, 'I' ^ 0x5A,  'O' ^ 0x5A, 'N' ^ 0x5A, 'R' ^ 0x5A,
    'E' ^ 0x5A,  'C' ^ 0x5A, 0x01 ^ 0x5A, 0x02 ^ 0x5A};

bool ParseNumber(std::string_view text, uint16_t& number) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

// The payload behind a marker at `at` in `bytes`: up to its NUL, nothing when
// no NUL comes within kMaxVersionPayload bytes.
std::optional<std::string_view> PayloadAt(std::string_view bytes, size_t at) {
    const std::string_view rest = bytes.substr(at + kVersionMarkerSize, kMaxVersionPayload);
    const size_t nul = rest.find('\0');
    if (nul == std::string_view::npos) {
        return std::nullopt;
    }
    return rest.substr(0, nul);
}

// Finds the first marker that starts before `limit` and is followed in `bytes`
// by a well-formed payload.
VersionStatus FindRecord(std::string_view bytes, size_t limit, VersionRecord& record) {
    const std::string marker = VersionRecordMarker();
    for (size_t from = 0; from < limit;) {
        const size_t at = bytes.find(marker, from);
        if (at == std::string_view::npos || at >= limit) {
            break;
        }
        if (const std::optional<std::string_view> payload = PayloadAt(bytes, at)) {
            return ParseVersionPayload(*payload, record);
        }
        from = at + 1;
    }
    return VersionStatus::NoRecord;
}

// Reads the file piece by piece (it may be large, and may change while read).
VersionStatus ScanFile(int fd, VersionRecord& record) {
    constexpr size_t kChunk = 1 << 20;
    constexpr size_t kTail = kVersionMarkerSize + kMaxVersionPayload;
    std::string window;
    for (;;) {
        const size_t old = window.size();
        window.resize(old + kChunk);
        ssize_t got;
        do {
            got = read(fd, window.data() + old, kChunk);
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
            return VersionStatus::Unreadable;
        }
        window.resize(old + static_cast<size_t>(got));
        const bool end = got == 0;
        // A marker that starts before `limit` has all its payload in the window.
        const size_t limit =
            end ? window.size() : (window.size() > kTail ? window.size() - kTail : 0);
        const VersionStatus status = FindRecord(window, limit, record);
        if (status != VersionStatus::NoRecord || end) {
            return status;
        }
        window.erase(0, limit);
    }
}

}  // namespace

const char* ToString(VersionStatus status) {
    switch (status) {
        case VersionStatus::Ok:
            return "version record read";
        case VersionStatus::Incomplete:
            return "version record incomplete";
        case VersionStatus::NoRecord:
            return "no version record";
        case VersionStatus::Unreadable:
            return "the file cannot be read";
    }
    return "unknown status";
}

std::string VersionRecordMarker() {
    std::string marker(kVersionMarkerSize, '\0');
    volatile unsigned char mask = 0x5A;
    for (size_t i = 0; i < kVersionMarkerSize; ++i) {
        marker[i] = static_cast<char>(kMaskedMarker[i] ^ mask);
    }
    return marker;
}

VersionStatus ParseVersionPayload(std::string_view payload, VersionRecord& record) {
    record = VersionRecord();
    uint16_t* const numbers[] = {&record.major, &record.minor,      &record.patch,
                                 &record.stage, &record.patchDigit, &record.build};
    const char* const numberKeys[] = {"major", "minor", "patch", "stage", "patchDigit", "build"};
    unsigned numbersFound = 0;  // one bit per number
    while (!payload.empty()) {
        const size_t newline = payload.find('\n');
        const std::string_view line = payload.substr(0, newline);
        payload.remove_prefix(newline == std::string_view::npos ? payload.size() : newline + 1);
        const size_t equals = line.find('=');
        const std::string_view key = line.substr(0, equals);
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
        for (size_t i = 0; i < 6; ++i) {
            if (equals != std::string_view::npos && key == numberKeys[i] &&
                ParseNumber(value, *numbers[i])) {
                numbersFound |= 1u << i;
            }
        }
        if (equals == std::string_view::npos) {
            continue;
        }
        if (key == "buildDate") {
            record.buildDate = std::string(value);
        } else if (key == "copyright") {
            record.copyright = std::string(value);
        } else if (key == "productName") {
            record.productName = std::string(value);
        }
    }
    record.hasNumbers = numbersFound == 0x3F;
    return record.Complete() ? VersionStatus::Ok : VersionStatus::Incomplete;
}

VersionStatus OwnVersionRecord(VersionRecord& record) {
    record = VersionRecord();
    if (ixo_version_record == nullptr) {
        return VersionStatus::NoRecord;
    }
    const size_t payload = strnlen(ixo_version_record + kVersionMarkerSize, kMaxVersionPayload);
    if (payload == kMaxVersionPayload) {
        return VersionStatus::NoRecord;
    }
    const std::string_view bytes(ixo_version_record, kVersionMarkerSize + payload + 1);
    return FindRecord(bytes, 1, record);
}

VersionStatus ReadVersionRecord(const std::filesystem::path& file, VersionRecord& record) {
    record = VersionRecord();
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return VersionStatus::Unreadable;
    }
    struct stat info {};
    const VersionStatus status = fstat(fd, &info) == 0 && S_ISREG(info.st_mode)
                                     ? ScanFile(fd, record)
                                     : VersionStatus::Unreadable;
    close(fd);
    return status;
}

}  // namespace os
