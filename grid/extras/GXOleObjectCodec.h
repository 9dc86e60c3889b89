// The database form of a stored OLE object: a 20-byte header, the object's user-type name and
// its class's program id (both zero-terminated), the OLE 1 object stream and a 4-byte trailer.
// All fields little-endian:
//
//   0  u16 signature 0x1C15       2  u16 header size (20)      4  u32 object type (2 embedded)
//   8  u16 name length (incl. 0) 10  u16 class length (incl. 0)
//  12  u16 name offset           14  u16 class offset         16  u16 0xFFFF  18  u16 0xFFFF
//  name offset: name   class offset: program id   class offset + class length .. end - 4: stream
//
// Decoding is a pure function of the bytes: every offset and length is checked against the block
// and the program id must end in its zero byte within 128 bytes; anything else is refused with
// the reason named. The viewer shows a refusal as "The binary data is not valid." (20134).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr std::uint16_t kGXOleSignature = 0x1C15;
inline constexpr std::size_t kGXOleHeaderSize = 20;
inline constexpr std::size_t kGXOleTrailerSize = 4;
inline constexpr std::size_t kGXOleMaxProgId = 128;  // bytes read for the program id, with its 0
inline constexpr unsigned kGXOleInvalidDataText = 20134;

enum class GXOleDecodeError {
    kNone,
    kShortHeader,        // fewer bytes than the header
    kBadSignature,       // not 0x1C15
    kNameOutsideBlock,   // name offset + length past the end
    kClassOutsideBlock,  // class offset + length past the end
    kEmptyClass,         // class length 0: no room for the terminator
    kNoClassTerminator,  // no zero byte ends the program id within its field and 128 bytes
    kNoTrailer,          // fewer than 4 bytes left after the program id
};

const char* GXOleDecodeErrorName(GXOleDecodeError e);

struct GXOleStoredObject {
    std::string userTypeName;
    std::string progId;
    std::vector<std::uint8_t> objectStream;  // the OLE 1 stream, trailer not included
    std::uint32_t objectType = 2;
};

struct GXOleDecodeResult {
    GXOleDecodeError error = GXOleDecodeError::kNone;
    GXOleStoredObject object;
    bool ok() const { return error == GXOleDecodeError::kNone; }
};

GXOleDecodeResult GXDecodeOleObject(std::span<const std::uint8_t> block);
// Whether the first two bytes carry the signature (a block that is not an object at all).
bool GXIsOleObjectBlock(std::span<const std::uint8_t> block);
// The stored form of an object; names longer than a 16-bit length allows are cut. The trailer
// is written as four zero bytes.
std::vector<std::uint8_t> GXEncodeOleObject(const GXOleStoredObject& object);
