#include "grid/core/CGXDIB.h"

#include "grid/core/GXDrawHelpers.h"
#include "grid/core/GXLibraryState.h"
#include "grid/core/GXNumberText.h"

#include <cstdio>

namespace {
constexpr std::string_view kPrefix = "#BMP(";
}

bool CGXDIB::Attach(const fw::Dib& block) {
    if (block.IsNull())
        return false;
    Clear();
    kind_ = kDibBlock;
    dib_ = block;
    colors_ = block.ColorCount();
    width_ = block.Width();
    height_ = block.Height();
    return true;
}

bool CGXDIB::Attach(const fw::Bitmap& bitmap) {
    if (bitmap.IsNull())
        return false;
    Clear();
    kind_ = kBitmap;
    bitmap_ = bitmap;
    width_ = bitmap.Width();
    height_ = bitmap.Height();
    return true;
}

fw::Dib CGXDIB::Detach() {
    fw::Dib d = std::move(dib_);
    dib_ = fw::Dib();
    Clear();
    return d;
}

void CGXDIB::Clear() {
    dib_ = fw::Dib();
    bitmap_ = fw::Bitmap();
    kind_ = kBitmap;
    colors_ = width_ = height_ = 0;
}

std::optional<std::string> CGXDIBPool::ParseBitmapKey(std::string_view text,
                                                      GXResourceName* resource) const {
    if (!text.starts_with(kPrefix))
        return std::nullopt;
    const std::string_view rest = text.substr(kPrefix.size());
    const std::size_t q1 = rest.find('"');
    if (q1 == std::string_view::npos) {
        const long id = GXAtol(rest);
        if (id <= 0 || id > 0xFFFF)
            return std::nullopt;
        if (resource)
            *resource = GXResourceName::Id(static_cast<unsigned>(id));
        return "#" + std::to_string(id);
    }
    const std::size_t q2 = rest.find('"', q1 + 1);
    if (q2 == std::string_view::npos)
        return std::nullopt;
    const std::string name(rest.substr(q1 + 1, q2 - q1 - 1));
    if (resource)
        *resource = GXResourceName::Named(name);
    return name;
}

std::optional<fw::Dib> CGXDIBPool::LoadDIB(const GXResourceName& resource) const {
    std::optional<std::vector<std::uint8_t>> block = GXLoadDIBResource(resource);
    if (!block)
        return std::nullopt;
    fw::Dib::Result r = fw::Dib::Parse(*block);
    if (!r)
        return std::nullopt;
    return r.dib;
}

const fw::Dib* CGXDIBPool::LookupDIB(std::string_view text) {
    GXResourceName resource;
    std::optional<std::string> key = ParseBitmapKey(text, &resource);
    if (!key)
        return nullptr;
    auto it = blocks_.find(*key);
    if (it == blocks_.end()) {
        std::optional<fw::Dib> dib = LoadDIB(resource);
        it = blocks_.emplace(*key, dib ? std::make_unique<fw::Dib>(*dib) : nullptr).first;
    }
    return it->second.get();
}

std::string CGXDIBPool::MakeQuotedValueText(unsigned n) const {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%c%u%c)", kPrefix.data(), '"', n, '"');
    return buf;
}

std::string CGXDIBPool::MakeValueText(unsigned resourceId) const {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%u)", kPrefix.data(), resourceId);
    return buf;
}

bool CGXDIBPool::DrawDIB(fw::DeviceContext& dc, std::string_view valueText, const fw::Rect& rect,
                         unsigned alignment) {
    const fw::Dib* dib = LookupDIB(valueText);
    if (!dib)
        return false;
    GXDrawDIB(dc, *dib, rect, gxDibUnscaled, alignment);
    return true;
}

CGXDIBPool& GXGetDIBPool() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (!state.m_pDIBPool)
        state.m_pDIBPool = std::make_unique<CGXDIBPool>();
    return *state.m_pDIBPool;
}
