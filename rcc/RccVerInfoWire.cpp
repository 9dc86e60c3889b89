// The wire form of a version value: u8 major, u8 patch, one byte with the release stage
// in its high four bits and the minor number in its low four, u8 patch digit, u16 build,
// then the build date, copyright and product name, each ended by a NUL.
#include <cstring>

#include "rcc/RccMarshaler.h"

#if RCC_HAS_VERINFO

namespace rccwire {
namespace {

const char* TextOr(const char* text) { return text ? text : ""; }

RccDecodeError ReadText(std::string& text, const uint8_t*& c, const uint8_t* end) {
    const void* nul = std::memchr(c, 0, Left(c, end));
    if (!nul)
        return RccDecodeError::Truncated;
    const uint8_t* stop = static_cast<const uint8_t*>(nul);
    text.assign(reinterpret_cast<const char*>(c), static_cast<size_t>(stop - c));
    c = stop + 1;
    return RccDecodeError::None;
}

}  // namespace

size_t SizeOfVerInfo(const CRccVerInfo& value) {
    return 9 + std::strlen(TextOr(value.GetBuildDate())) +
           std::strlen(TextOr(value.GetCopyright())) +
           std::strlen(TextOr(value.GetProductName()));
}

void WriteVerInfo(const CRccVerInfo& value, uint8_t*& c) {
    PutU8(c, static_cast<uint8_t>(value.GetMajor()));
    PutU8(c, static_cast<uint8_t>(value.GetPatch()));
    PutU8(c, static_cast<uint8_t>((value.GetReleaseStage() << 4) | (value.GetMinor() & 0x0F)));
    PutU8(c, static_cast<uint8_t>(value.GetPatchDigit()));
    PutU16(c, value.GetBuild());
    for (const char* text : {value.GetBuildDate(), value.GetCopyright(), value.GetProductName()})
        PutBytes(c, TextOr(text), std::strlen(TextOr(text)) + 1);
}

RccDecodeError ReadVerInfo(CRccVerInfo& value, const uint8_t*& c, const uint8_t* end) {
    if (Left(c, end) < 6)
        return RccDecodeError::Truncated;
    VavVersionData data;
    uint8_t byte = 0;
    GetU8(c, end, byte);
    data.major = byte;
    GetU8(c, end, byte);
    data.patch = byte;
    GetU8(c, end, byte);
    data.stage = byte >> 4;
    data.minor = byte & 0x0F;
    GetU8(c, end, byte);
    data.patchDigit = byte;
    GetU16(c, end, data.build);
    for (std::string* text : {&data.buildDate, &data.copyright, &data.productName}) {
        RccDecodeError e = ReadText(*text, c, end);
        if (e != RccDecodeError::None)
            return e;
    }
    value.SetData(data);
    return RccDecodeError::None;
}

}  // namespace rccwire

#endif  // RCC_HAS_VERINFO
