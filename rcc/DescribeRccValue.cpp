#include <cstdio>
#include <string>

#include "rcc/RccValue.h"

namespace {

const char* BaseName(RccTypeCode base) {
    switch (base) {
        case RCC_U8:
            return "U8";
        case RCC_U16:
            return "U16";
        case RCC_U32:
            return "U32";
        case RCC_S8:
            return "S8";
        case RCC_S16:
            return "S16";
        case RCC_S32:
            return "S32";
        case RCC_FLOAT:
            return "float";
        case RCC_BOOL:
            return "bool";
        case RCC_STR:
            return "STR";
        case RCC_LT:
            return "LT";
        case RCC_D:
            return "D";
        case RCC_DLT:
            return "DLT";
        case RCC_MAC:
            return "MAC";
        case RCC_RB:
            return "RB";
        case RCC_FI:
            return "FI";
        case RCC_IPV4:
            return "IPv4";
        case RCC_IPPORT:
            return "IPPort";
        case RCC_VERINFO:
            return "VerInfo";
        default:
            return nullptr;
    }
}

std::string Format(const char* format, auto... args) {
    char text[128];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

template <RccTypeCode C>
std::string DescribePayload(const CRccValue& value) {
    std::string name = std::string(BaseName(C)) + ": ";
    if constexpr (C == RCC_U8 || C == RCC_U16 || C == RCC_U32)
        return name + Format("%u", static_cast<unsigned>(value.getScalar<C>()));
    else if constexpr (C == RCC_S8 || C == RCC_S16 || C == RCC_S32)
        return name + Format("%d", static_cast<int>(value.getScalar<C>()));
    else if constexpr (C == RCC_FLOAT)
        return name + Format("%f", static_cast<double>(value.getScalar<C>()));
    else if constexpr (C == RCC_BOOL)
        return name + (value.getScalar<C>() ? "true" : "false");
    else if constexpr (C == RCC_STR)
        return name + *value.get<C>();
    else if constexpr (C == RCC_MAC) {
        VavMacAddress mac = *value.get<C>();
        return name + mac.ToText();
    } else if constexpr (C == RCC_RB)
        return "RB";
    else if constexpr (C == RCC_IPPORT)
        return name + Format("%u", static_cast<unsigned>(value.get<C>()->getPort()));
    else if constexpr (C == RCC_VERINFO) {
        std::string text;
        if (value.get<C>()->FormatText(6, text) != 0)
            return "VerInfo: error.";
        return text;
    } else
        return name + value.get<C>()->toString();
}

}  // namespace

std::string DescribeRccValue(const CRccValue& value) {
    RccTypeCode type = value.getType();
    if (type == RCC_EMPTY)
        return "UNKNOWN";
    if (RccIsArray(type) && BaseName(RccBaseCode(type)) && CRccValue::CanHold(type))
        return std::string("vector< ") + BaseName(RccBaseCode(type)) + " >";
    std::string text = Format("{%u}: not supported", type);
    if (RccIsArray(type) || !CRccValue::CanHold(type))
        return text;
    RccDispatch(type, [&](auto tag) {
        constexpr RccTypeCode C = decltype(tag)::code;
        if constexpr (!RccTag<C>::isArray && C != RCC_VARIANT)
            text = DescribePayload<C>(value);
    });
    return text;
}
