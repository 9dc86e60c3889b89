// The in-memory form of each remote-call type code, and a dispatcher from a run-time code
// to the compile-time form. Every table of codes in the library goes through here.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/VavMacAddress.h"
#include "rcc/RccBlock.h"
#include "rcc/RccFileInfo.h"
#include "rcc/RccIPv4.h"
#include "rcc/RccTime.h"
#include "rcc/RccTypes.h"
#include "rcc/RccVerInfo.h"

class CRccValue;

template <RccTypeCode Base>
struct RccElementOf;
// clang-format off
template <> struct RccElementOf<RCC_U8> { using type = uint8_t; };
template <> struct RccElementOf<RCC_U16> { using type = uint16_t; };
template <> struct RccElementOf<RCC_U32> { using type = uint32_t; };
template <> struct RccElementOf<RCC_S8> { using type = int8_t; };
template <> struct RccElementOf<RCC_S16> { using type = int16_t; };
template <> struct RccElementOf<RCC_S32> { using type = int32_t; };
template <> struct RccElementOf<RCC_FLOAT> { using type = float; };
// A bool is held as a byte; 1 means true.
template <> struct RccElementOf<RCC_BOOL> { using type = uint8_t; };
template <> struct RccElementOf<RCC_STR> { using type = std::string; };
template <> struct RccElementOf<RCC_VARIANT> { using type = CRccValue; };
template <> struct RccElementOf<RCC_LT> { using type = CRccTime; };
template <> struct RccElementOf<RCC_D> { using type = CRccDate; };
template <> struct RccElementOf<RCC_DLT> { using type = CRccDateTime; };
template <> struct RccElementOf<RCC_MAC> { using type = VavMacAddress; };
template <> struct RccElementOf<RCC_RB> { using type = RccBlock; };
template <> struct RccElementOf<RCC_FI> { using type = CRccFileInfo; };
template <> struct RccElementOf<RCC_IPV4> { using type = CRccIPv4; };
template <> struct RccElementOf<RCC_IPPORT> { using type = CRccIPPort; };
template <> struct RccElementOf<RCC_VERINFO> { using type = CRccVerInfo; };
// clang-format on

// RccTag<Code>: a bare code (no input flag) as a type, with its in-memory form.
template <RccTypeCode Code>
struct RccTag {
    static constexpr RccTypeCode code = Code;
    static constexpr RccTypeCode base = Code & ~RCC_ARRAY;
    static constexpr bool isArray = (Code & RCC_ARRAY) != 0;
    using element = typename RccElementOf<base>::type;
    using type = std::conditional_t<isArray, std::vector<element>, element>;
};

// Calls f(RccTag<C>{}) for the base code `base` when it names a type; returns false
// (without calling f) for codes 0, 0x0C, 0x0F, 0x13 and anything above 0x16.
template <RccTypeCode ArrayFlag = 0, class F>
bool RccDispatchBase(RccTypeCode base, F&& f) {
    switch (base) {
        // clang-format off
#define RCC_CASE(C)                        \
    case C:                                \
        f(RccTag<(C) | ArrayFlag>{});      \
        return true;
        RCC_CASE(RCC_U8) RCC_CASE(RCC_U16) RCC_CASE(RCC_U32) RCC_CASE(RCC_S8)
        RCC_CASE(RCC_S16) RCC_CASE(RCC_S32) RCC_CASE(RCC_FLOAT) RCC_CASE(RCC_BOOL)
        RCC_CASE(RCC_STR) RCC_CASE(RCC_VARIANT) RCC_CASE(RCC_LT) RCC_CASE(RCC_D)
        RCC_CASE(RCC_DLT) RCC_CASE(RCC_MAC) RCC_CASE(RCC_RB) RCC_CASE(RCC_FI)
        RCC_CASE(RCC_IPV4) RCC_CASE(RCC_IPPORT)
        case RCC_VERINFO:
            if constexpr (ArrayFlag == 0)
                f(RccTag<RCC_VERINFO>{});
            return ArrayFlag == 0;
#undef RCC_CASE
        // clang-format on
    }
    return false;
}

// Calls f(RccTag<C>{}) for any code with or without the array flag (the input flag is
// ignored). Arrays of VerInfo do not exist; their code is refused like an unknown one.
template <class F>
bool RccDispatch(RccTypeCode code, F&& f) {
    code = RccBareCode(code);
    if (!RccIsArray(code))
        return RccDispatchBase(code, f);
    return RccDispatchBase<RCC_ARRAY>(RccBaseCode(code), f);
}
