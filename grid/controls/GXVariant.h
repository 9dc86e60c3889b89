// GXVariant: the grid's one tagged value for cells whose value comes from a database field or
// an embedded object (numbers, texts, booleans and byte arrays such as a picture), with the
// automation type codes as its tags. Its archive form is the 16-bit type code (little-endian)
// followed by the value: I2 and BOOL as 16 bits, I4 as 32 bits, R4 and R8 as IEEE floats,
// UI1 as one byte, BSTR as the archive's string, a byte array as a 32-bit count and the bytes;
// EMPTY and NULL carry nothing.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace fw {
class Archive;
}

class GXVariant {
public:
    enum Type : std::uint16_t {
        VT_EMPTY = 0,
        VT_NULL = 1,
        VT_I2 = 2,
        VT_I4 = 3,
        VT_R4 = 4,
        VT_R8 = 5,
        VT_BSTR = 8,
        VT_BOOL = 11,
        VT_UI1 = 17,
        VT_ARRAY = 0x2000,
        VT_UI1_ARRAY = VT_ARRAY | VT_UI1,  // 0x2011
    };

    GXVariant() = default;
    static GXVariant FromLong(std::int32_t v);
    static GXVariant FromDouble(double v);
    static GXVariant FromText(std::string text);
    static GXVariant FromBool(bool v);
    static GXVariant FromBytes(std::span<const std::uint8_t> bytes);

    Type GetType() const { return type_; }
    bool IsEmpty() const { return type_ == VT_EMPTY; }
    // Back to VT_EMPTY, dropping what it held.
    void Clear();

    std::int64_t GetInteger() const { return integer_; }  // I2, I4, UI1, BOOL (-1 for true)
    double GetDouble() const { return real_; }            // R4, R8
    const std::string& GetText() const { return text_; }  // BSTR
    const std::vector<std::uint8_t>& GetBytes() const { return bytes_; }  // byte array

    void Store(fw::Archive& ar) const;
    // Throws fw::ArchiveException (BadSchema) on a type code this program does not know; the
    // variant is unchanged then.
    void Load(fw::Archive& ar);
    void Serialize(fw::Archive& ar);

    bool operator==(const GXVariant&) const = default;

private:
    Type type_ = VT_EMPTY;
    std::int64_t integer_ = 0;
    double real_ = 0;
    std::string text_;
    std::vector<std::uint8_t> bytes_;
};
