// The typed value of an element: its text read by the element's datatype, the
// attribute "dt" in the namespace urn:schemas-microsoft-com:datatypes, so that a
// configuration written by other tools keeps its types (<Port dt:dt="ui1">3</Port>).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xmldom {

inline constexpr std::string_view kDatatypesNamespace = "urn:schemas-microsoft-com:datatypes";

struct TypedValue {
    // One kind per datatype name; Empty when the text does not read as its type.
    enum class Kind : uint8_t { Empty, Text, I1, I2, I4, UI1, UI2, UI4, R4, R8, Boolean };

    Kind kind = Kind::Empty;
    std::string text;     // Text
    int64_t integer = 0;  // I1 to UI4; Boolean as 0 or 1
    double real = 0;      // R4 (rounded to float), R8

    static TypedValue Empty() { return {}; }
    static TypedValue OfText(std::string_view value);
    static TypedValue OfInteger(Kind kind, int64_t value);
    static TypedValue OfReal(Kind kind, double value);
    static TypedValue OfBoolean(bool value);

    bool IsEmpty() const { return kind == Kind::Empty; }
    bool operator==(const TypedValue&) const = default;
};

// Why a text did not read as its datatype.
enum class TypedValueError : uint8_t {
    None,
    UnknownType,  // a datatype name this library does not know
    NotANumber,   // no digits, or characters after the number
    OutOfRange,   // the number does not fit the type
    NotABoolean,  // a boolean other than 0, 1, true or false
};

struct TypedValueResult {
    TypedValue value;
    TypedValueError error = TypedValueError::None;
};

// Reads `text` as the datatype named `dataType` ("ui1", "ui2", "ui4", "i1", "i2", "i4",
// "r4", "r8", "boolean", "string"; "" means untyped, which reads as text). Blanks around
// a number or boolean do not count; an empty number is an error.
TypedValueResult ParseTypedValue(std::string_view dataType, std::string_view text);

// The name of a kind as a datatype ("ui4"); "string" for Text, "" for Empty.
std::string_view DataTypeName(TypedValue::Kind kind);

}  // namespace xmldom
