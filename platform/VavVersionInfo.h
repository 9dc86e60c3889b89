// A six-number software version with a release stage, a build date, a copyright text
// and a product name: read from a program's build-time version record, printed, and
// carried on the wire (the remote-call value VerInfo). Little-endian wire form:
//   0 u8 major   1 u8 patch   2 u8 stage << 4 | minor   3 u8 patchDigit   4 u16 build
//   6 buildDate NUL, copyright NUL, productName NUL          (size: text lengths + 9)
// The value, its clamping and its printed forms stay in this header, so that code which
// only prints or carries versions needs no more than it; reading records and the wire
// form are in VavVersionInfo.cpp.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

// Result codes of loading and formatting.
enum : uint16_t {
    VAV_VERSION_OK = 0,
    VAV_VERSION_BAD_ARGUMENT = 3,  // bad count, or a record without all three texts
    VAV_VERSION_NO_RESOURCE = 4,   // the file carries no version record
    VAV_VERSION_NO_MEMORY = 6,
    VAV_VERSION_INCOMPLETE = 11,  // not all six numbers and three texts were found
    VAV_VERSION_UNREADABLE = 14,  // the file cannot be read, or there is no data to format
};

// Release stages: 0 in use only, 1-7 beta n, 8 limited availability, 9 general availability.
struct VavVersionData {
    uint16_t major = 0;       // 0-99 after clamping
    uint16_t minor = 0;       // 0-9
    uint16_t patch = 0;       // 0-99
    uint16_t stage = 0;       // 0-9
    uint16_t patchDigit = 0;  // 0-9
    uint16_t build = 0;       // 0-999
    std::string buildDate;
    std::string copyright;
    std::string productName;
    bool operator==(const VavVersionData&) const = default;
};

// Why bytes are not a whole wire value.
enum class VerInfoWireError { None, Truncated, UnterminatedText };

class VavVersionInfo {
public:
    VavVersionInfo() = default;
    explicit VavVersionInfo(const VavVersionData& data) : data_(data) {}
    virtual ~VavVersionInfo() = default;
    VavVersionInfo(const VavVersionInfo&) = default;
    VavVersionInfo& operator=(const VavVersionInfo&) = default;

    bool HasData() const { return data_.has_value(); }
    const std::optional<VavVersionData>& Data() const { return data_; }

    // Adopts the record, its numbers clamped; VAV_VERSION_OK.
    uint16_t SetData(const VavVersionData& data) {
        data_ = data;
        Clamp(*data_);
        return VAV_VERSION_OK;
    }
    // Reads the version record of a program file (null: the running program) and clamps
    // it; VAV_VERSION_INCOMPLETE keeps what was found, unclamped.
    uint16_t LoadFromModule(const char* programFile = nullptr);

    uint16_t GetMajor() const { return data_ ? data_->major : 0; }
    uint16_t GetMinor() const { return data_ ? data_->minor : 0; }
    uint16_t GetPatch() const { return data_ ? data_->patch : 0; }
    uint16_t GetReleaseStage() const { return data_ ? data_->stage : 0; }
    uint16_t GetPatchDigit() const { return data_ ? data_->patchDigit : 0; }
    uint16_t GetBuild() const { return data_ ? data_->build : 0; }
    // Null without data.
    const char* GetBuildDate() const { return Text(&VavVersionData::buildDate); }
    const char* GetCopyright() const { return Text(&VavVersionData::copyright); }
    const char* GetProductName() const { return Text(&VavVersionData::productName); }

    // The first n (1-6) numbers: "%u" then ".%1u" each (major, minor, patch, stage,
    // patchDigit, build). VAV_VERSION_BAD_ARGUMENT for another n, VAV_VERSION_UNREADABLE
    // without data; `text` is left alone on failure.
    uint16_t FormatNumbers(int n, std::string& text) const {
        if (n < 1 || n > 6)
            return VAV_VERSION_BAD_ARGUMENT;
        if (!data_)
            return VAV_VERSION_UNREADABLE;
        const uint16_t numbers[6] = {data_->major, data_->minor,      data_->patch,
                                     data_->stage, data_->patchDigit, data_->build};
        text = std::to_string(numbers[0]);
        for (int i = 1; i < n; ++i) text += "." + std::to_string(numbers[i]);
        return VAV_VERSION_OK;
    }
    // "4.0 Patch 14.0 IUO 0": major; minor (n >= 2); " Patch %u" (3); ".%1u" patch digit
    // (5); the stage (4: " IUO", " Beta %1u", " LA", " GA"); " %u" build (6).
    uint16_t FormatText(int n, std::string& text) const {
        if (n < 1 || n > 6)
            return VAV_VERSION_BAD_ARGUMENT;
        if (!data_)
            return VAV_VERSION_UNREADABLE;
        const VavVersionData& d = *data_;
        std::string out = std::to_string(d.major);
        if (n >= 2)
            out += "." + std::to_string(d.minor);
        if (n >= 3)
            out += " Patch " + std::to_string(d.patch);
        if (n >= 5)
            out += "." + std::to_string(d.patchDigit);
        if (n >= 4)
            out += d.stage == 0   ? std::string(" IUO")
                   : d.stage == 8 ? std::string(" LA")
                   : d.stage == 9 ? std::string(" GA")
                                  : " Beta " + std::to_string(d.stage);
        if (n == 6)
            out += " " + std::to_string(d.build);
        text = out;
        return VAV_VERSION_OK;
    }

    size_t GetWireSize() const;
    // Writes the wire form at the cursor and moves it on; false (nothing written) when
    // the cursor has less room than GetWireSize.
    bool WriteWire(std::span<uint8_t>& cursor) const;
    // Reads one wire value from the cursor, never past its end, and moves the cursor
    // behind it; on an error the object and the cursor are unchanged.
    VerInfoWireError ReadWire(std::span<const uint8_t>& cursor);

    // The numbers limited to their ranges.
    static void Clamp(VavVersionData& d) {
        d.major = std::min<uint16_t>(d.major, 99);
        d.minor = std::min<uint16_t>(d.minor, 9);
        d.patch = std::min<uint16_t>(d.patch, 99);
        d.stage = std::min<uint16_t>(d.stage, 9);
        d.patchDigit = std::min<uint16_t>(d.patchDigit, 9);
        d.build = std::min<uint16_t>(d.build, 999);
    }

private:
    const char* Text(std::string VavVersionData::*field) const {
        return data_ ? (*data_.*field).c_str() : nullptr;
    }

    std::optional<VavVersionData> data_;
};

// What an About box shows of the running program: its product name, its first n (1-6) version
// numbers and its copyright, each empty where the program's record lacks it.
struct VavProgramTexts {
    std::string product;
    std::string version;
    std::string copyright;
};
VavProgramTexts ReadProgramVersionTexts(int numbers);
