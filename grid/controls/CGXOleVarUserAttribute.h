// A user attribute that holds a variant (GXVariant) for cells whose value comes from a database
// field or an embedded object, such as a picture held as a byte array. The variants live in a
// process-wide pool (CGXCaptiveManager) so that attributes that come and go reuse them; the
// attribute borrows one from SetVariant until it is destroyed.
//
// GXDIBFromVariant and GXDrawVariantDIB turn a byte-array variant that holds a bitmap file into
// a bitmap and draw it. The bytes come from a database or a file a user can replace, so the
// bitmap is taken only when its headers, colour table and pixel rows lie inside the array.
#pragma once

#include "framework/base/Geometry.h"
#include "framework/drawing/Dib.h"
#include "grid/controls/GXVariant.h"
#include "grid/core/CGXUserAttribute.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace fw {
class DeviceContext;
}

// The pool of variants. Allocate answers a free variant (reused or new, VT_EMPTY when new), or
// null when the pool cannot grow; Release hands one back (it keeps its value until reused).
class CGXCaptiveManager {
public:
    static CGXCaptiveManager& Instance();
    GXVariant* Allocate();
    void Release(GXVariant* variant);
    // The most variants the pool holds at once (unlimited by default); Allocate answers null
    // beyond it, as when memory runs out.
    void SetLimit(std::size_t limit) { limit_ = limit; }
    std::size_t GetPoolSize() const { return all_.size(); }
    std::size_t GetFreeCount() const { return free_.size(); }

private:
    std::vector<std::unique_ptr<GXVariant>> all_;
    std::vector<GXVariant*> free_;
    std::size_t limit_ = static_cast<std::size_t>(-1);
};

class CGXOleVarUserAttribute : public CGXAbstractUserAttribute {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    CGXOleVarUserAttribute() = default;
    ~CGXOleVarUserAttribute() override;
    CGXOleVarUserAttribute(const CGXOleVarUserAttribute&) = delete;
    CGXOleVarUserAttribute& operator=(const CGXOleVarUserAttribute&) = delete;

    // Stores the variant (an attribute without one stores VT_EMPTY, which loads as empty).
    void Serialize(fw::Archive& ar) override;
    std::unique_ptr<CGXAbstractUserAttribute> Clone() const override;
    bool IsEmpty() const override;
    // TRUE only for an attribute of this kind holding the very same pooled variant.
    bool IsEqual(const CGXAbstractUserAttribute& other) const override;

    // Copies the value into the held variant, taking one from the pool first when none is held;
    // false (and the attribute unchanged) when the pool has none to give.
    bool SetVariant(const GXVariant& value);
    // The held variant; null while none is held.
    const GXVariant* GetVariant() const { return variant_; }

private:
    GXVariant* variant_ = nullptr;  // the pool's
};

std::unique_ptr<CGXOleVarUserAttribute> GXCreateOleVarUserAttribute();

// The bitmap a VT_UI1_ARRAY variant holds: the bytes from the first "BM" signature on (without
// the 14-byte file header unless asked to keep it). None for another type, without a
// signature, or when the bitmap there is incomplete or malformed.
std::optional<std::vector<std::uint8_t>> GXDIBFromVariant(const GXVariant& value,
                                                          bool keepFileHeader);
// Draws the variant's bitmap into the rectangle (aligned by DT_ flags and drawn in GXDrawDIB's
// mode), or `cached` when given, and answers the bitmap drawn so the caller may cache it; none
// when the variant holds no valid bitmap.
std::optional<fw::Dib> GXDrawVariantDIB(fw::DeviceContext& dc, const GXVariant& value,
                                        const fw::Rect& rect, unsigned alignment, int mode,
                                        const fw::Dib* cached = nullptr);
