#include "platform/VavVersionInfo.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "os/VersionRecord.h"

namespace {

void Append(std::string& text, const char* format, unsigned value) {
    char piece[32];
    std::snprintf(piece, sizeof piece, format, value);
    text += piece;
}

std::string StageText(uint16_t stage) {
    if (stage == 0)
        return " IUO";
    if (stage == 8)
        return " LA";
    if (stage == 9)
        return " GA";
    std::string text;
    Append(text, " Beta %1u", stage);
    return text;
}

// The text up to its NUL within the cursor, which moves behind the NUL.
std::optional<std::string> TakeText(std::span<const uint8_t>& cursor) {
    const auto* end = static_cast<const uint8_t*>(std::memchr(cursor.data(), 0, cursor.size()));
    if (end == nullptr)
        return std::nullopt;
    size_t length = static_cast<size_t>(end - cursor.data());
    std::string text(reinterpret_cast<const char*>(cursor.data()), length);
    cursor = cursor.subspan(length + 1);
    return text;
}

}  // namespace

void VavVersionInfo::Clamp(VavVersionData& d) {
    d.major = std::min<uint16_t>(d.major, 99);
    d.minor = std::min<uint16_t>(d.minor, 9);
    d.patch = std::min<uint16_t>(d.patch, 99);
    d.stage = std::min<uint16_t>(d.stage, 9);
    d.patchDigit = std::min<uint16_t>(d.patchDigit, 9);
    d.build = std::min<uint16_t>(d.build, 999);
}

uint16_t VavVersionInfo::SetData(const VavVersionData& data) {
    data_.reset();
    if (!data.buildDate || !data.copyright || !data.productName)
        return VAV_VERSION_BAD_ARGUMENT;
    data_ = data;
    Clamp(*data_);
    return VAV_VERSION_OK;
}

uint16_t VavVersionInfo::LoadFromModule(const char* programFile) {
    data_.reset();
    os::VersionRecord record;
    os::VersionStatus status = programFile == nullptr ? os::OwnVersionRecord(record)
                                                      : os::ReadVersionRecord(programFile, record);
    if (status == os::VersionStatus::NoRecord)
        return VAV_VERSION_NO_RESOURCE;
    if (status == os::VersionStatus::Unreadable)
        return VAV_VERSION_UNREADABLE;
    data_ = VavVersionData{record.major,     record.minor,      record.patch,
                           record.stage,     record.patchDigit, record.build,
                           record.buildDate, record.copyright,  record.productName};
    if (status != os::VersionStatus::Ok || !record.Complete())
        return VAV_VERSION_INCOMPLETE;
    Clamp(*data_);
    return VAV_VERSION_OK;
}

uint16_t VavVersionInfo::FormatNumbers(int n, std::string& text) const {
    if (n < 1 || n > 6)
        return VAV_VERSION_BAD_ARGUMENT;
    if (!data_)
        return VAV_VERSION_UNREADABLE;
    const uint16_t numbers[6] = {data_->major, data_->minor,      data_->patch,
                                 data_->stage, data_->patchDigit, data_->build};
    std::string out;
    Append(out, "%u", numbers[0]);
    for (int i = 1; i < n; ++i) Append(out, ".%1u", numbers[i]);
    text = out;
    return VAV_VERSION_OK;
}

uint16_t VavVersionInfo::FormatText(int n, std::string& text) const {
    if (n < 1 || n > 6)
        return VAV_VERSION_BAD_ARGUMENT;
    if (!data_)
        return VAV_VERSION_UNREADABLE;
    std::string out;
    Append(out, "%u", data_->major);
    if (n >= 2)
        Append(out, ".%1u", data_->minor);
    if (n >= 3)
        Append(out, " Patch %u", data_->patch);
    if (n >= 5)
        Append(out, ".%1u", data_->patchDigit);
    if (n >= 4)
        out += StageText(data_->stage);
    if (n == 6)
        Append(out, " %u", data_->build);
    text = out;
    return VAV_VERSION_OK;
}

size_t VavVersionInfo::GetWireSize() const {
    auto length = [](const std::optional<std::string>& s) { return s ? s->size() : 0; };
    if (!data_)
        return 9;
    return 9 + length(data_->buildDate) + length(data_->copyright) + length(data_->productName);
}

bool VavVersionInfo::WriteWire(std::span<uint8_t>& cursor) const {
    const size_t size = GetWireSize();
    if (cursor.size() < size)
        return false;
    const VavVersionData d = data_.value_or(VavVersionData{});
    uint8_t* out = cursor.data();
    out[0] = static_cast<uint8_t>(d.major);
    out[1] = static_cast<uint8_t>(d.patch);
    out[2] = static_cast<uint8_t>((d.stage & 0x0F) << 4 | (d.minor & 0x0F));
    out[3] = static_cast<uint8_t>(d.patchDigit);
    out[4] = static_cast<uint8_t>(d.build);
    out[5] = static_cast<uint8_t>(d.build >> 8);
    size_t at = 6;
    for (const auto* text : {&d.buildDate, &d.copyright, &d.productName}) {
        const std::string value = text->value_or("");
        std::memcpy(out + at, value.data(), value.size());
        at += value.size();
        out[at++] = 0;
    }
    cursor = cursor.subspan(size);
    return true;
}

VerInfoWireError VavVersionInfo::ReadWire(std::span<const uint8_t>& cursor) {
    if (cursor.size() < 6)
        return VerInfoWireError::Truncated;
    std::span<const uint8_t> rest = cursor.subspan(6);
    VavVersionData d;
    d.major = cursor[0];
    d.patch = cursor[1];
    d.stage = cursor[2] >> 4;
    d.minor = cursor[2] & 0x0F;
    d.patchDigit = cursor[3];
    d.build = static_cast<uint16_t>(cursor[4] | cursor[5] << 8);
    for (auto* text : {&d.buildDate, &d.copyright, &d.productName}) {
        *text = TakeText(rest);
        if (!*text)
            return VerInfoWireError::UnterminatedText;
    }
    data_ = d;
    cursor = rest;
    return VerInfoWireError::None;
}
