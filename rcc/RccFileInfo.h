// The file-information value of the remote-call type FI: one file's attributes, time,
// size and name, as a node's file service reports them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CRccFileInfo {
public:
    static constexpr size_t kMaxName = 254;

    // Attribute bits (the Windows file-attribute bits; others are carried and ignored).
    static constexpr uint32_t kReadOnly = 0x01;
    static constexpr uint32_t kHidden = 0x02;
    static constexpr uint32_t kSystem = 0x04;
    static constexpr uint32_t kDirectory = 0x10;
    static constexpr uint32_t kArchive = 0x20;

    CRccFileInfo() = default;
    // Keeps at most the first 254 characters of the name (up to an embedded NUL).
    CRccFileInfo(uint32_t attributes, uint32_t time, uint32_t size, std::string_view name);

    uint32_t attributes = 0;
    uint32_t time = 0;  // seconds since 1970-01-01 UTC
    uint32_t size = 0;

    const std::string& getName() const { return name_; }
    void setName(std::string_view name);

    bool isArchive() const { return attributes & kArchive; }
    bool isHidden() const { return attributes & kHidden; }
    bool isReadOnly() const { return attributes & kReadOnly; }
    bool isDirectory() const { return attributes & kDirectory; }
    bool isSystem() const { return attributes & kSystem; }

    // Bytes on the wire: three u32, the name's u32 length, the name and its NUL.
    uint32_t marshalledSize() const { return static_cast<uint32_t>(name_.size()) + 17; }

    // The directory line: flags "RHSA" (blank when clear), the size right-aligned in ten
    // places or "<DIR>", the local time as ctime prints it, the name and a final blank.
    std::string toString() const;

    bool operator==(const CRccFileInfo&) const = default;

private:
    std::string name_;
};
