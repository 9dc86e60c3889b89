#include "grid/controls/GXVariant.h"

#include "framework/persist/Archive.h"

GXVariant GXVariant::FromLong(std::int32_t v) {
    GXVariant r;
    r.type_ = VT_I4;
    r.integer_ = v;
    return r;
}

GXVariant GXVariant::FromDouble(double v) {
    GXVariant r;
    r.type_ = VT_R8;
    r.real_ = v;
    return r;
}

GXVariant GXVariant::FromText(std::string text) {
    GXVariant r;
    r.type_ = VT_BSTR;
    r.text_ = std::move(text);
    return r;
}

GXVariant GXVariant::FromBool(bool v) {
    GXVariant r;
    r.type_ = VT_BOOL;
    r.integer_ = v ? -1 : 0;
    return r;
}

GXVariant GXVariant::FromBytes(std::span<const std::uint8_t> bytes) {
    GXVariant r;
    r.type_ = VT_UI1_ARRAY;
    r.bytes_.assign(bytes.begin(), bytes.end());
    return r;
}

void GXVariant::Clear() {
    *this = GXVariant();
}

void GXVariant::Serialize(fw::Archive& ar) {
    if (ar.IsStoring())
        Store(ar);
    else
        Load(ar);
}

void GXVariant::Store(fw::Archive& ar) const {
    {
        ar << static_cast<std::uint16_t>(type_);
        switch (type_) {
            case VT_I2:
            case VT_BOOL:
                ar << static_cast<std::int16_t>(integer_);
                break;
            case VT_I4:
                ar << static_cast<std::int32_t>(integer_);
                break;
            case VT_UI1:
                ar << static_cast<std::uint8_t>(integer_);
                break;
            case VT_R4:
                ar << static_cast<float>(real_);
                break;
            case VT_R8:
                ar << real_;
                break;
            case VT_BSTR:
                ar << text_;
                break;
            case VT_UI1_ARRAY:
                ar << static_cast<std::uint32_t>(bytes_.size());
                ar.Write(bytes_);
                break;
            default:
                break;
        }
    }
}

void GXVariant::Load(fw::Archive& ar) {
    std::uint16_t type = 0;
    ar >> type;
    GXVariant v;
    v.type_ = static_cast<Type>(type);
    switch (type) {
        case VT_EMPTY:
        case VT_NULL:
            break;
        case VT_I2:
        case VT_BOOL: {
            std::int16_t x = 0;
            ar >> x;
            v.integer_ = x;
            break;
        }
        case VT_I4: {
            std::int32_t x = 0;
            ar >> x;
            v.integer_ = x;
            break;
        }
        case VT_UI1: {
            std::uint8_t x = 0;
            ar >> x;
            v.integer_ = x;
            break;
        }
        case VT_R4: {
            float x = 0;
            ar >> x;
            v.real_ = x;
            break;
        }
        case VT_R8:
            ar >> v.real_;
            break;
        case VT_BSTR:
            ar >> v.text_;
            break;
        case VT_UI1_ARRAY: {
            std::uint32_t n = 0;
            ar >> n;
            v.bytes_ = ar.ReadBytes(n);  // refuses a count beyond the data
            break;
        }
        default:
            throw fw::ArchiveException(fw::ArchiveCause::BadSchema, "variant type");
    }
    *this = std::move(v);
}
