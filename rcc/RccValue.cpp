#include "rcc/RccValue.h"

#include <utility>

CRccValue::CRccValue(CRccValue&& other) noexcept
    : type_(std::exchange(other.type_, RCC_EMPTY)),
      payload_(std::exchange(other.payload_, std::monostate{})) {}

CRccValue& CRccValue::operator=(CRccValue&& other) noexcept {
    if (this != &other) {
        type_ = std::exchange(other.type_, RCC_EMPTY);
        payload_ = std::exchange(other.payload_, std::monostate{});
    }
    return *this;
}

CRccValue CRccValue::ofString(std::string_view text) {
    CRccValue value;
    value.makeString()->assign(text);
    return value;
}

void CRccValue::clear() {
    type_ = RCC_EMPTY;
    payload_ = std::monostate{};
}

uint32_t CRccValue::slot() const {
    const uint32_t* held = std::get_if<uint32_t>(&payload_);
    return held ? *held : 0;
}

bool CRccValue::makeOfType(RccTypeCode code) {
    clear();
    if (!CanHold(code))
        return false;
    RccDispatch(code, [&](auto tag) {
        constexpr RccTypeCode C = decltype(tag)::code;
        if constexpr (RccIsScalar(C))
            setScalar<C>({});
        else if constexpr (CanHold(C))
            make<C>();
    });
    return true;
}

namespace {

bool SamePayload(const CRccVerInfo& a, const CRccVerInfo& b) {
    auto text = [](const char* t) { return std::string_view(t ? t : ""); };
    return a.GetMajor() == b.GetMajor() && a.GetMinor() == b.GetMinor() &&
           a.GetPatch() == b.GetPatch() && a.GetReleaseStage() == b.GetReleaseStage() &&
           a.GetPatchDigit() == b.GetPatchDigit() && a.GetBuild() == b.GetBuild() &&
           text(a.GetBuildDate()) == text(b.GetBuildDate()) &&
           text(a.GetCopyright()) == text(b.GetCopyright()) &&
           text(a.GetProductName()) == text(b.GetProductName());
}

template <class T>
bool SamePayload(const T& a, const T& b) {
    return a == b;
}

}  // namespace

bool operator==(const CRccValue& a, const CRccValue& b) {
    if (a.type_ != b.type_ || a.payload_.index() != b.payload_.index())
        return false;
    return std::visit(
        [&](const auto& left) {
            using T = std::decay_t<decltype(left)>;
            return SamePayload(left, std::get<T>(b.payload_));
        },
        a.payload_);
}
