// The editor's type of a template property, from the element's datatype and its
// "ixotype" attribute.
#pragma once

#include <cstdint>
#include <string_view>

enum PropertyType : uint32_t {
    PROPERTY_NONE = 0,
    PROPERTY_UI1 = 1,
    PROPERTY_UI2 = 2,
    PROPERTY_UI4 = 3,
    PROPERTY_I1 = 4,
    PROPERTY_I2 = 5,
    PROPERTY_I4 = 6,
    PROPERTY_R4 = 7,
    PROPERTY_R8 = 8,
    PROPERTY_BOOLEAN = 9,
    PROPERTY_STRING = 10,
    PROPERTY_TIME_MS = 11,
    PROPERTY_IPV4 = 12,
    PROPERTY_MAC = 13,
    PROPERTY_VERSTR = 14,
    PROPERTY_VERNUMSTR = 15,
    PROPERTY_VECTOR16 = 16,
};

// "ui4" with ixotype "time_ms" is PROPERTY_TIME_MS, "string" with ixotype "IPv4" is
// PROPERTY_IPV4 and so on; an unknown or missing datatype is PROPERTY_NONE.
PropertyType PropertyTypeOf(std::string_view dataType, std::string_view ixoType);
