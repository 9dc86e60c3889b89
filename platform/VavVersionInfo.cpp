#include "platform/VavVersionInfo.h"

#include <cstring>

#include "os/ByteOrder.h"
#include "os/VersionRecord.h"

namespace {

// The text up to its NUL within the cursor, which moves behind the NUL; false when
// the cursor holds no NUL.
bool TakeText(std::span<const uint8_t>& cursor, std::string& text) {
    const auto* end = static_cast<const uint8_t*>(std::memchr(cursor.data(), 0, cursor.size()));
    if (end == nullptr)
        return false;
    size_t length = static_cast<size_t>(end - cursor.data());
    text.assign(reinterpret_cast<const char*>(cursor.data()), length);
    cursor = cursor.subspan(length + 1);
    return true;
}

}  // namespace

uint16_t VavVersionInfo::LoadFromModule(const char* programFile) {
    data_.reset();
    os::VersionRecord record;
    os::VersionStatus status = programFile == nullptr ? os::OwnVersionRecord(record)
                                                      : os::ReadVersionRecord(programFile, record);
    if (status == os::VersionStatus::NoRecord)
        return VAV_VERSION_NO_RESOURCE;
    if (status == os::VersionStatus::Unreadable)
        return VAV_VERSION_UNREADABLE;
    data_ = VavVersionData{record.major,
                           record.minor,
                           record.patch,
                           record.stage,
                           record.patchDigit,
                           record.build,
                           record.buildDate.value_or(""),
                           record.copyright.value_or(""),
                           record.productName.value_or("")};
    if (status != os::VersionStatus::Ok || !record.Complete())
        return VAV_VERSION_INCOMPLETE;
    Clamp(*data_);
    return VAV_VERSION_OK;
}

size_t VavVersionInfo::GetWireSize() const {
    if (!data_)
        return 9;
    return 9 + data_->buildDate.size() + data_->copyright.size() + data_->productName.size();
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
    os::PutLe16(out + 4, d.build);
    size_t at = 6;
    for (const auto* text : {&d.buildDate, &d.copyright, &d.productName}) {
        std::memcpy(out + at, text->data(), text->size());
        at += text->size();
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
    d.build = os::GetLe16(cursor.data() + 4);
    for (auto* text : {&d.buildDate, &d.copyright, &d.productName})
        if (!TakeText(rest, *text))
            return VerInfoWireError::UnterminatedText;
    data_ = d;
    cursor = rest;
    return VerInfoWireError::None;
}

VavProgramTexts ReadProgramVersionTexts(int numbers) {
    VavVersionInfo version;
    version.LoadFromModule(nullptr);
    VavProgramTexts texts;
    version.FormatNumbers(numbers, texts.version);
    if (const char* product = version.GetProductName())
        texts.product = product;
    if (const char* copyright = version.GetCopyright())
        texts.copyright = copyright;
    return texts;
}
