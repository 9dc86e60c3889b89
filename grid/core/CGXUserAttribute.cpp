#include "grid/core/CGXUserAttribute.h"

#include "framework/persist/Archive.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/GXNumberText.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

const fw::RuntimeClass CGXAbstractUserAttribute::kClass{"CGXAbstractUserAttribute", 1,
                                                        &fw::Serializable::kClass, nullptr};
const fw::RuntimeClass CGXUserAttribute::kClass{
    "CGXUserAttribute", 1, &CGXAbstractUserAttribute::kClass, fw::CreateInstance<CGXUserAttribute>};
const fw::RuntimeClass CGXEllipseUserAttribute::kClass{"CGXEllipseUserAttribute", 1,
                                                       &CGXAbstractUserAttribute::kClass,
                                                       fw::CreateInstance<CGXEllipseUserAttribute>};

// --- CGXAbstractUserAttribute -------------------------------------------------------------

void CGXAbstractUserAttribute::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        ar << GetValue();
    } else {
        std::string s;
        ar >> s;
        SetValue(s);
    }
}

CGXAbstractUserAttribute& CGXAbstractUserAttribute::SetValue(const char*) {
    return *this;
}

CGXAbstractUserAttribute& CGXAbstractUserAttribute::SetValue(const std::string& text) {
    return SetValue(text.c_str());
}

std::string CGXAbstractUserAttribute::GetValue() const {
    return {};
}

long CGXAbstractUserAttribute::GetLongValue() const {
    return GXAtol(GetValue());
}

std::uint32_t CGXAbstractUserAttribute::GetDWordValue() const {
    return static_cast<std::uint32_t>(GetLongValue());
}

double CGXAbstractUserAttribute::GetDoubleValue() const {
    return GXAtof(GetValue());
}

std::unique_ptr<CGXAbstractUserAttribute> CGXAbstractUserAttribute::Clone() const {
    return nullptr;
}

bool CGXAbstractUserAttribute::IsEqual(const CGXAbstractUserAttribute& other) const {
    return m_nId == other.m_nId && GetValue() == other.GetValue();
}

bool CGXAbstractUserAttribute::IsEmpty() const {
    return GetValue().empty();
}

// --- CGXUserAttribute ---------------------------------------------------------------------

namespace {

void PutLE(std::array<std::uint8_t, 8>& b, std::uint64_t v) {
    for (std::size_t i = 0; i < 8; ++i) b[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A double converted to a long only when it fits; 0 otherwise.
long ToLong(double d) {
    if (!(d > static_cast<double>(std::numeric_limits<long>::min()) - 1.0 &&
          d < static_cast<double>(std::numeric_limits<long>::max())))
        return 0;
    return static_cast<long>(d);
}

}  // namespace

CGXUserAttribute::CGXUserAttribute(std::uint32_t value) : kind_(kDWord) {
    PutLE(value_, value);
}

CGXUserAttribute::CGXUserAttribute(std::int32_t value) : kind_(kLong) {
    PutLE(value_, static_cast<std::uint32_t>(value));
}

CGXUserAttribute::CGXUserAttribute(std::string_view text) {
    if (text.empty())
        kind_ = kShortText;
    else
        SetValue(std::string(text).c_str());
}

CGXUserAttribute CGXUserAttribute::FromDouble(double value) {
    CGXUserAttribute a;
    a.kind_ = kDouble;
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    PutLE(a.value_, bits);
    return a;
}

CGXUserAttribute CGXUserAttribute::FromBytes(std::uint32_t first, std::uint32_t second) {
    CGXUserAttribute a;
    a.kind_ = kBytes8;
    PutLE(a.value_, (static_cast<std::uint64_t>(second) << 32) | first);
    return a;
}

std::uint64_t CGXUserAttribute::Bits() const {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < 8; ++i) v |= static_cast<std::uint64_t>(value_[i]) << (8 * i);
    return v;
}

void CGXUserAttribute::SetText(std::string_view text) {
    text_ = std::string(text);
    value_ = {};
    kind_ = text_.size() > kInlineBytes ? kLongText : kShortText;
}

CGXAbstractUserAttribute& CGXUserAttribute::SetValue(const char* text) {
    const std::string_view t = text ? std::string_view(text) : std::string_view();
    text_.clear();
    value_ = {};
    if (t.empty()) {
        kind_ = kEmpty;
        return *this;
    }
    double d = 0;
    if (CGXDrawingAndFormatting::GetInstance().ParseNumber(t, &d) &&
        GXFormatDouble('g', 13, d) == t) {
        const std::uint16_t id = m_nId;
        *this = FromDouble(d);
        m_nId = id;
        return *this;
    }
    SetText(t);
    return *this;
}

std::string CGXUserAttribute::GetValue() const {
    char buf[32];
    const std::uint64_t bits = Bits();
    switch (kind_) {
        case kEmpty:
            return {};
        case kDWord:
            std::snprintf(buf, sizeof buf, "%lu", static_cast<unsigned long>(bits & 0xFFFFFFFFu));
            return buf;
        case kLong:
            std::snprintf(buf, sizeof buf, "%ld",
                          static_cast<long>(static_cast<std::int32_t>(bits & 0xFFFFFFFFu)));
            return buf;
        case kShortText:
        case kLongText:
            return text_;
        case kDouble: {
            double d;
            std::memcpy(&d, &bits, sizeof d);
            return GXFormatDouble('g', 13, d);
        }
        case kBytes8:
            std::snprintf(buf, sizeof buf, "%08x%08x", static_cast<unsigned>(bits & 0xFFFFFFFFu),
                          static_cast<unsigned>(bits >> 32));
            return buf;
    }
    return "Value?";
}

long CGXUserAttribute::GetLongValue() const {
    switch (kind_) {
        case kDWord:
            return static_cast<long>(Bits() & 0xFFFFFFFFu);
        case kLong:
            return static_cast<std::int32_t>(Bits() & 0xFFFFFFFFu);
        case kShortText:
        case kLongText:
            return GXAtol(text_);
        case kDouble:
            return ToLong(GetDoubleValue());
        default:
            return 0;
    }
}

std::uint32_t CGXUserAttribute::GetDWordValue() const {
    return static_cast<std::uint32_t>(GetLongValue());
}

double CGXUserAttribute::GetDoubleValue() const {
    switch (kind_) {
        case kDWord:
            return static_cast<double>(Bits() & 0xFFFFFFFFu);
        case kLong:
            return static_cast<std::int32_t>(Bits() & 0xFFFFFFFFu);
        case kShortText:
        case kLongText:
            return GXAtof(text_);
        case kDouble: {
            const std::uint64_t bits = Bits();
            double d;
            std::memcpy(&d, &bits, sizeof d);
            return d;
        }
        default:
            return 0;
    }
}

std::unique_ptr<CGXAbstractUserAttribute> CGXUserAttribute::Clone() const {
    return std::make_unique<CGXUserAttribute>(*this);
}

bool CGXUserAttribute::IsEqual(const CGXAbstractUserAttribute& other) const {
    const auto* o = dynamic_cast<const CGXUserAttribute*>(&other);
    if (!o || m_nId != o->m_nId || kind_ != o->kind_)
        return false;
    switch (kind_) {
        case kEmpty:
            return true;
        case kDWord:
        case kLong:
            return (Bits() & 0xFFFFFFFFu) == (o->Bits() & 0xFFFFFFFFu);
        case kShortText:
        case kLongText:
            return text_ == o->text_;
        case kDouble:
            return GetDoubleValue() == o->GetDoubleValue();
        case kBytes8:
            return value_ == o->value_;
    }
    return false;
}

bool CGXUserAttribute::IsEmpty() const {
    return kind_ == kEmpty || ((kind_ == kShortText || kind_ == kLongText) && text_.empty());
}

void CGXUserAttribute::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<std::uint8_t>(kind_);
        if (kind_ == kShortText || kind_ == kLongText)
            ar << text_;
        else
            ar.Write(value_);
        return;
    }
    std::uint8_t kind = 0;
    ar >> kind;
    if (kind > kBytes8)
        throw fw::ArchiveException(fw::ArchiveCause::BadClass, "unknown user attribute kind");
    text_.clear();
    value_ = {};
    if (kind == kShortText || kind == kLongText) {
        std::string s;
        ar >> s;
        SetText(s);
    } else {
        ar.Read(value_);
        kind_ = static_cast<Kind>(kind);
    }
}

// --- CGXEllipseUserAttribute --------------------------------------------------------------

void CGXEllipseUserAttribute::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<std::uint16_t>(value_);
    } else {
        std::uint16_t v = 0;
        ar >> v;
        value_ = v;
    }
}

std::unique_ptr<CGXAbstractUserAttribute> CGXEllipseUserAttribute::Clone() const {
    return std::make_unique<CGXEllipseUserAttribute>(*this);
}

bool CGXEllipseUserAttribute::IsEqual(const CGXAbstractUserAttribute& other) const {
    const auto* o = dynamic_cast<const CGXEllipseUserAttribute*>(&other);
    return o && o->value_ == value_;
}
