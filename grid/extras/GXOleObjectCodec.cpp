#include "grid/extras/GXOleObjectCodec.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A text field up to its first zero byte (or its whole length when it has none).
std::string FieldText(std::span<const std::uint8_t> field) {
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    return std::string(field.begin(), end);
}

}  // namespace

const char* GXOleDecodeErrorName(GXOleDecodeError e) {
    switch (e) {
        case GXOleDecodeError::kNone:
            return "none";
        case GXOleDecodeError::kShortHeader:
            return "short header";
        case GXOleDecodeError::kBadSignature:
            return "bad signature";
        case GXOleDecodeError::kNameOutsideBlock:
            return "name outside block";
        case GXOleDecodeError::kClassOutsideBlock:
            return "class outside block";
        case GXOleDecodeError::kEmptyClass:
            return "empty class";
        case GXOleDecodeError::kNoClassTerminator:
            return "no class terminator";
        case GXOleDecodeError::kNoTrailer:
            return "no trailer";
    }
    return "?";
}

bool GXIsOleObjectBlock(std::span<const std::uint8_t> block) {
    return block.size() >= 2 && U16(block, 0) == kGXOleSignature;
}

GXOleDecodeResult GXDecodeOleObject(std::span<const std::uint8_t> block) {
    GXOleDecodeResult r;
    if (block.size() < 2 || !GXIsOleObjectBlock(block)) {
        r.error =
            block.size() < 2 ? GXOleDecodeError::kShortHeader : GXOleDecodeError::kBadSignature;
        return r;
    }
    if (block.size() < kGXOleHeaderSize) {
        r.error = GXOleDecodeError::kShortHeader;
        return r;
    }
    const std::size_t nameLength = U16(block, 8);
    const std::size_t classLength = U16(block, 10);
    const std::size_t nameOffset = U16(block, 12);
    const std::size_t classOffset = U16(block, 14);
    // Offsets and lengths are 16-bit: their sums cannot overflow a size_t.
    if (nameOffset + nameLength > block.size()) {
        r.error = GXOleDecodeError::kNameOutsideBlock;
        return r;
    }
    if (classOffset + classLength > block.size()) {
        r.error = GXOleDecodeError::kClassOutsideBlock;
        return r;
    }
    if (classLength == 0) {
        r.error = GXOleDecodeError::kEmptyClass;
        return r;
    }
    const auto classField = block.subspan(classOffset, std::min(classLength, kGXOleMaxProgId));
    if (std::find(classField.begin(), classField.end(), std::uint8_t{0}) == classField.end()) {
        r.error = GXOleDecodeError::kNoClassTerminator;
        return r;
    }
    const std::size_t streamStart = classOffset + classLength;
    if (streamStart + kGXOleTrailerSize > block.size()) {
        r.error = GXOleDecodeError::kNoTrailer;
        return r;
    }
    r.object.objectType = U32(block, 4);
    r.object.userTypeName = FieldText(block.subspan(nameOffset, nameLength));
    r.object.progId = FieldText(classField);
    const auto stream = block.subspan(streamStart, block.size() - kGXOleTrailerSize - streamStart);
    r.object.objectStream.assign(stream.begin(), stream.end());
    return r;
}

std::vector<std::uint8_t> GXEncodeOleObject(const GXOleStoredObject& object) {
    // Both names and the header must stay addressable by 16-bit offsets.
    const std::size_t maxName = 0xFFFF - kGXOleHeaderSize;
    const std::string name = object.userTypeName.substr(0, maxName / 2 - 1);
    const std::string progId = object.progId.substr(0, kGXOleMaxProgId - 1);
    const auto nameLength = static_cast<std::uint16_t>(name.size() + 1);
    const auto classLength = static_cast<std::uint16_t>(progId.size() + 1);
    std::vector<std::uint8_t> out;
    out.reserve(kGXOleHeaderSize + nameLength + classLength + object.objectStream.size() +
                kGXOleTrailerSize);
    Put16(out, kGXOleSignature);
    Put16(out, static_cast<std::uint16_t>(kGXOleHeaderSize));
    Put32(out, object.objectType);
    Put16(out, nameLength);
    Put16(out, classLength);
    Put16(out, static_cast<std::uint16_t>(kGXOleHeaderSize));
    Put16(out, static_cast<std::uint16_t>(kGXOleHeaderSize + nameLength));
    Put16(out, 0xFFFF);
    Put16(out, 0xFFFF);
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
    out.insert(out.end(), progId.begin(), progId.end());
    out.push_back(0);
    out.insert(out.end(), object.objectStream.begin(), object.objectStream.end());
    Put32(out, 0);
    return out;
}
