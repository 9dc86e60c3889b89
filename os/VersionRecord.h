// Version records: each program carries one, made at build time by the CMake
// function ixo_version_record() (cmake/Ixo.cmake), with the numbers and texts
// of its version. The record sits in the program file behind a fixed 16-byte
// marker, followed by "key=value" lines and a NUL:
//
//   major=4 minor=0 patch=14 stage=0 patchDigit=0 build=0
//   buildDate=... copyright=... productName=...     (one per line, in any order)
//
// so the running program reads its own, and any program file's can be read by
// finding the marker in its bytes. The numbers are kept as written (0-65535);
// bounds that the version's users apply are theirs to apply.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace os {

struct VersionRecord {
    bool hasNumbers = false;  // all six numbers were present and valid
    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t patch = 0;
    uint16_t stage = 0;
    uint16_t patchDigit = 0;
    uint16_t build = 0;
    std::optional<std::string> buildDate;
    std::optional<std::string> copyright;
    std::optional<std::string> productName;

    bool Complete() const { return hasNumbers && buildDate && copyright && productName; }
};

enum class VersionStatus {
    Ok,          // every number and text found
    Incomplete,  // a record, but some parts missing (what was found is filled in)
    NoRecord,    // no record in the file (or none in this program)
    Unreadable,  // the file cannot be opened or read, or is no regular file
};
const char* ToString(VersionStatus status);

inline constexpr size_t kVersionMarkerSize = 16;
inline constexpr size_t kMaxVersionPayload = 4096;

// The running program's record.
VersionStatus OwnVersionRecord(VersionRecord& record);
// The record in another program file.
VersionStatus ReadVersionRecord(const std::filesystem::path& file, VersionRecord& record);

// The marker, built at run time so that it does not appear in the reader's own code.
std::string VersionRecordMarker();
// Reads the "key=value" lines (up to the NUL); unknown keys are passed over.
VersionStatus ParseVersionPayload(std::string_view payload, VersionRecord& record);

}  // namespace os
