#include "grid/controls/CGXOleVarUserAttribute.h"

#include "framework/persist/Archive.h"
#include "grid/core/GXDrawHelpers.h"

#include <algorithm>
#include <new>

const fw::RuntimeClass CGXOleVarUserAttribute::kClass{"CGXOleVarUserAttribute", 1,
                                                      &CGXAbstractUserAttribute::kClass,
                                                      fw::CreateInstance<CGXOleVarUserAttribute>};

// --- pool ------------------------------------------------------------------------------------

CGXCaptiveManager& CGXCaptiveManager::Instance() {
    static CGXCaptiveManager manager;
    return manager;
}

GXVariant* CGXCaptiveManager::Allocate() {
    if (!free_.empty()) {
        GXVariant* v = free_.front();
        free_.erase(free_.begin());
        return v;
    }
    if (all_.size() >= limit_)
        return nullptr;
    try {
        all_.reserve(all_.size() + 1);
        free_.reserve(all_.size() + 1);  // so a later Release never needs memory
        all_.push_back(std::make_unique<GXVariant>());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return all_.back().get();
}

void CGXCaptiveManager::Release(GXVariant* variant) {
    if (variant)
        free_.push_back(variant);
}

// --- attribute -------------------------------------------------------------------------------

CGXOleVarUserAttribute::~CGXOleVarUserAttribute() {
    CGXCaptiveManager::Instance().Release(variant_);
}

void CGXOleVarUserAttribute::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        (variant_ ? *variant_ : GXVariant()).Store(ar);
        return;
    }
    GXVariant loaded;
    loaded.Load(ar);
    SetVariant(loaded);
}

std::unique_ptr<CGXAbstractUserAttribute> CGXOleVarUserAttribute::Clone() const {
    auto copy = std::make_unique<CGXOleVarUserAttribute>();
    copy->m_nId = m_nId;
    if (variant_)
        copy->SetVariant(*variant_);
    return copy;
}

bool CGXOleVarUserAttribute::IsEmpty() const {
    return !variant_ || variant_->IsEmpty();
}

bool CGXOleVarUserAttribute::IsEqual(const CGXAbstractUserAttribute& other) const {
    if (&other.GetRuntimeClass() != &kClass)
        return false;
    return static_cast<const CGXOleVarUserAttribute&>(other).variant_ == variant_;
}

bool CGXOleVarUserAttribute::SetVariant(const GXVariant& value) {
    if (!variant_) {
        variant_ = CGXCaptiveManager::Instance().Allocate();
        if (!variant_)
            return false;
    }
    try {
        *variant_ = value;
    } catch (const std::bad_alloc&) {
        variant_->Clear();
        return false;
    }
    return true;
}

std::unique_ptr<CGXOleVarUserAttribute> GXCreateOleVarUserAttribute() {
    return std::make_unique<CGXOleVarUserAttribute>();
}

// --- bitmaps ---------------------------------------------------------------------------------

namespace {
constexpr std::size_t kFileHeaderSize = 14;
}

std::optional<std::vector<std::uint8_t>> GXDIBFromVariant(const GXVariant& value,
                                                          bool keepFileHeader) {
    if (value.GetType() != GXVariant::VT_UI1_ARRAY)
        return std::nullopt;
    const std::vector<std::uint8_t>& bytes = value.GetBytes();
    static constexpr std::uint8_t kSignature[] = {'B', 'M'};
    const auto at =
        std::search(bytes.begin(), bytes.end(), std::begin(kSignature), std::end(kSignature));
    if (at == bytes.end())
        return std::nullopt;
    const std::span<const std::uint8_t> file(&*at, static_cast<std::size_t>(bytes.end() - at));
    // The whole bitmap must lie inside the array: headers, colour table and rows.
    if (fw::Dib::ParseFile(file).error != fw::DibError::None)
        return std::nullopt;
    const std::size_t skip = keepFileHeader ? 0 : kFileHeaderSize;
    return std::vector<std::uint8_t>(file.begin() + static_cast<std::ptrdiff_t>(skip), file.end());
}

std::optional<fw::Dib> GXDrawVariantDIB(fw::DeviceContext& dc, const GXVariant& value,
                                        const fw::Rect& rect, unsigned alignment, int mode,
                                        const fw::Dib* cached) {
    std::optional<fw::Dib> dib;
    if (cached && !cached->IsNull()) {
        dib = *cached;
    } else {
        const auto file = GXDIBFromVariant(value, true);
        if (!file)
            return std::nullopt;
        fw::Dib::Result parsed = fw::Dib::ParseFile(*file);
        if (parsed.error != fw::DibError::None)
            return std::nullopt;
        dib = std::move(parsed.dib);
    }
    GXDrawDIB(dc, *dib, rect, mode, alignment);
    return dib;
}
