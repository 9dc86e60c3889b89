#include "xmldom/TypedValue.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace xmldom {
namespace {

using Kind = TypedValue::Kind;

struct IntegerType {
    std::string_view name;
    Kind kind;
    int64_t min;
    int64_t max;
};

constexpr std::array kIntegerTypes = {
    IntegerType{"ui1", Kind::UI1, 0, 0xFF},
    IntegerType{"ui2", Kind::UI2, 0, 0xFFFF},
    IntegerType{"ui4", Kind::UI4, 0, 0xFFFFFFFFLL},
    IntegerType{"i1", Kind::I1, -128, 127},
    IntegerType{"i2", Kind::I2, -32768, 32767},
    IntegerType{"i4", Kind::I4, -2147483648LL, 2147483647LL},
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

TypedValueResult Fail(TypedValueError error) {
    return {TypedValue::Empty(), error};
}

TypedValueResult ParseInteger(const IntegerType& type, std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range)
        return Fail(TypedValueError::OutOfRange);
    if (ec != std::errc() || end != text.data() + text.size())
        return Fail(TypedValueError::NotANumber);
    if (value < type.min || value > type.max)
        return Fail(TypedValueError::OutOfRange);
    return {TypedValue::OfInteger(type.kind, value), TypedValueError::None};
}

TypedValueResult ParseReal(Kind kind, std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range)
        return Fail(TypedValueError::OutOfRange);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return Fail(TypedValueError::NotANumber);
    if (kind == Kind::R4 && std::fabs(value) > std::numeric_limits<float>::max())
        return Fail(TypedValueError::OutOfRange);
    return {TypedValue::OfReal(kind, value), TypedValueError::None};
}

TypedValueResult ParseBoolean(std::string_view text) {
    if (text == "1" || text == "true")
        return {TypedValue::OfBoolean(true), TypedValueError::None};
    if (text == "0" || text == "false")
        return {TypedValue::OfBoolean(false), TypedValueError::None};
    return Fail(TypedValueError::NotABoolean);
}

}  // namespace

TypedValue TypedValue::OfText(std::string_view value) {
    TypedValue typed;
    typed.kind = Kind::Text;
    typed.text = value;
    return typed;
}

TypedValue TypedValue::OfInteger(Kind kind, int64_t value) {
    TypedValue typed;
    typed.kind = kind;
    typed.integer = value;
    return typed;
}

TypedValue TypedValue::OfReal(Kind kind, double value) {
    TypedValue typed;
    typed.kind = kind;
    typed.real = kind == Kind::R4 ? static_cast<double>(static_cast<float>(value)) : value;
    return typed;
}

TypedValue TypedValue::OfBoolean(bool value) {
    return OfInteger(Kind::Boolean, value ? 1 : 0);
}

TypedValueResult ParseTypedValue(std::string_view dataType, std::string_view text) {
    if (dataType.empty() || dataType == "string")
        return {TypedValue::OfText(text), TypedValueError::None};
    for (const IntegerType& type : kIntegerTypes) {
        if (type.name == dataType)
            return ParseInteger(type, Trim(text));
    }
    if (dataType == "r4")
        return ParseReal(Kind::R4, Trim(text));
    if (dataType == "r8")
        return ParseReal(Kind::R8, Trim(text));
    if (dataType == "boolean")
        return ParseBoolean(Trim(text));
    return Fail(TypedValueError::UnknownType);
}

std::string_view DataTypeName(TypedValue::Kind kind) {
    for (const IntegerType& type : kIntegerTypes) {
        if (type.kind == kind)
            return type.name;
    }
    switch (kind) {
        case Kind::R4:
            return "r4";
        case Kind::R8:
            return "r8";
        case Kind::Boolean:
            return "boolean";
        case Kind::Text:
            return "string";
        default:
            return "";
    }
}

}  // namespace xmldom
