// CRccValue: a self-describing remote-call value, a type code with an owned payload.
// Property values, instance ids and variant arguments travel as CRccValues.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "rcc/RccTypeTraits.h"

class CRccValue {
public:
    CRccValue() = default;
    CRccValue(const CRccValue&) = default;
    CRccValue(CRccValue&& other) noexcept;
    CRccValue& operator=(const CRccValue&) = default;
    CRccValue& operator=(CRccValue&& other) noexcept;
    ~CRccValue() = default;

    // Makers of common values.
    static CRccValue ofU8(uint8_t v) { return scalar<RCC_U8>(v); }
    static CRccValue ofU16(uint16_t v) { return scalar<RCC_U16>(v); }
    static CRccValue ofU32(uint32_t v) { return scalar<RCC_U32>(v); }
    static CRccValue ofS8(int8_t v) { return scalar<RCC_S8>(v); }
    static CRccValue ofS16(int16_t v) { return scalar<RCC_S16>(v); }
    static CRccValue ofS32(int32_t v) { return scalar<RCC_S32>(v); }
    static CRccValue ofFloat(float v) { return scalar<RCC_FLOAT>(v); }
    static CRccValue ofBool(bool v) { return scalar<RCC_BOOL>(v ? 1 : 0); }
    static CRccValue ofString(std::string_view text);
    template <RccTypeCode C>
    static CRccValue of(typename RccTag<C>::type v) {
        CRccValue value;
        *value.make<C>() = std::move(v);
        return value;
    }

    // The type code; 0 means no value.
    RccTypeCode getType() const { return type_; }
    bool isEmpty() const { return type_ == RCC_EMPTY; }
    // Frees the payload; the type becomes 0.
    void clear();

    // The scalars U8 to bool are held inline. Reading converts the held slot to the
    // form of C whatever the type is; setting sets the type to C.
    template <RccTypeCode C>
    typename RccTag<C>::type getScalar() const {
        static_assert(RccIsScalar(C));
        using T = typename RccTag<C>::type;
        if constexpr (C == RCC_FLOAT)
            return std::bit_cast<float>(slot());
        else
            return static_cast<T>(slot());
    }
    template <RccTypeCode C>
    void setScalar(typename RccTag<C>::type v) {
        static_assert(RccIsScalar(C));
        type_ = C;
        if constexpr (C == RCC_FLOAT)
            payload_ = std::bit_cast<uint32_t>(v);
        else
            payload_ = static_cast<uint32_t>(v);
    }
    uint32_t slot() const;

    // Factories of the non-scalar codes and their arrays: clear the value, set the type
    // and store a new empty payload, which they return.
    template <RccTypeCode C>
    typename RccTag<C>::type* make() {
        static_assert(CanHold(C) && !RccIsScalar(C));
        type_ = C;
        return &payload_.emplace<typename RccTag<C>::type>();
    }
    std::string* makeString() { return make<RCC_STR>(); }
    CRccTime* makeTime() { return make<RCC_LT>(); }
    CRccDate* makeDate() { return make<RCC_D>(); }
    CRccDateTime* makeDateTime() { return make<RCC_DLT>(); }
    VavMacAddress* makeMac() { return make<RCC_MAC>(); }
    RccBlock* makeBlock() { return make<RCC_RB>(); }
    CRccFileInfo* makeFileInfo() { return make<RCC_FI>(); }
    CRccIPv4* makeIPv4() { return make<RCC_IPV4>(); }
    CRccIPPort* makeIPPort() { return make<RCC_IPPORT>(); }
    CRccVerInfo* makeVerInfo() { return make<RCC_VERINFO>(); }
    template <RccTypeCode Base>
    std::vector<typename RccElementOf<Base>::type>* makeArray() {
        return make<Base | RCC_ARRAY>();
    }

    // Makes an empty value of a run-time code; false (and the value cleared) when a
    // CRccValue cannot hold that code.
    bool makeOfType(RccTypeCode code);

    // The payload of a non-scalar code; null when the value is of another type.
    template <RccTypeCode C>
    const typename RccTag<C>::type* get() const {
        static_assert(CanHold(C) && !RccIsScalar(C));
        return type_ == C ? std::get_if<typename RccTag<C>::type>(&payload_) : nullptr;
    }
    template <RccTypeCode C>
    typename RccTag<C>::type* get() {
        static_assert(CanHold(C) && !RccIsScalar(C));
        return type_ == C ? std::get_if<typename RccTag<C>::type>(&payload_) : nullptr;
    }
    const std::string* getString() const { return get<RCC_STR>(); }

    // True for the codes a CRccValue can hold: every base type but variant, and the arrays
    // of every base type but variant and VerInfo.
    static constexpr bool CanHold(RccTypeCode code) {
        RccTypeCode base = code & ~RCC_ARRAY;
        bool known = (base >= RCC_U8 && base <= RCC_VERINFO && base != RCC_VARIANT &&
                      base != 0x0C && base != 0x0F && base != 0x13);
        return known && (code & ~(RCC_ARRAY | 0xFF)) == 0 &&
               !(RccIsArray(code) && base == RCC_VERINFO);
    }

    friend bool operator==(const CRccValue& a, const CRccValue& b);

private:
    template <RccTypeCode C>
    static CRccValue scalar(typename RccTag<C>::type v) {
        CRccValue value;
        value.setScalar<C>(v);
        return value;
    }

    using Payload =
        std::variant<std::monostate, uint32_t, std::string, CRccTime, CRccDate, CRccDateTime,
                     VavMacAddress, RccBlock, CRccFileInfo, CRccIPv4, CRccIPPort, CRccVerInfo,
                     std::vector<uint8_t>, std::vector<uint16_t>, std::vector<uint32_t>,
                     std::vector<int8_t>, std::vector<int16_t>, std::vector<int32_t>,
                     std::vector<float>, std::vector<std::string>, std::vector<CRccTime>,
                     std::vector<CRccDate>, std::vector<CRccDateTime>, std::vector<VavMacAddress>,
                     std::vector<RccBlock>, std::vector<CRccFileInfo>, std::vector<CRccIPv4>,
                     std::vector<CRccIPPort>>;

    RccTypeCode type_ = RCC_EMPTY;
    Payload payload_;
};

// The describing text of a value, as log lines show it: "U32: 7", "STR: Node",
// "vector< U16 >", "UNKNOWN" for an empty value.
std::string DescribeRccValue(const CRccValue& value);
