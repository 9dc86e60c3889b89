#include "editor/document/PropertyType.h"

#include <array>
#include <utility>

PropertyType PropertyTypeOf(std::string_view dataType, std::string_view ixoType) {
    if (dataType == "ui4")
        return ixoType == "time_ms" ? PROPERTY_TIME_MS : PROPERTY_UI4;
    if (dataType == "string") {
        constexpr std::array<std::pair<std::string_view, PropertyType>, 5> kStringTypes = {{
            {"IPv4", PROPERTY_IPV4},
            {"MAC", PROPERTY_MAC},
            {"VERSTR", PROPERTY_VERSTR},
            {"VERNUMSTR", PROPERTY_VERNUMSTR},
            {"VECTOR16", PROPERTY_VECTOR16},
        }};
        for (auto [name, type] : kStringTypes) {
            if (name == ixoType)
                return type;
        }
        return PROPERTY_STRING;
    }
    constexpr std::array<std::pair<std::string_view, PropertyType>, 8> kPlainTypes = {{
        {"ui1", PROPERTY_UI1},
        {"ui2", PROPERTY_UI2},
        {"i1", PROPERTY_I1},
        {"i2", PROPERTY_I2},
        {"i4", PROPERTY_I4},
        {"r4", PROPERTY_R4},
        {"r8", PROPERTY_R8},
        {"boolean", PROPERTY_BOOLEAN},
    }};
    for (auto [name, type] : kPlainTypes) {
        if (name == dataType)
            return type;
    }
    return PROPERTY_NONE;
}
