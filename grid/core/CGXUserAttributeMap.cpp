#include "grid/core/CGXUserAttributeMap.h"

#include "framework/persist/Archive.h"
#include "framework/persist/Profile.h"

#include <algorithm>

const fw::RuntimeClass CGXUserAttributeMap::kClass{
    "CGXUserAttributeMap", 1, &fw::Serializable::kClass, fw::CreateInstance<CGXUserAttributeMap>};

CGXUserAttributeMap::CGXUserAttributeMap(const CGXUserAttributeMap& other)
    : fw::Serializable(), attributes_(other.attributes_) {}

CGXUserAttributeMap& CGXUserAttributeMap::operator=(const CGXUserAttributeMap& other) {
    if (this != &other)
        attributes_ = other.attributes_;
    return *this;
}

CGXUserAttributeMap::CGXUserAttributeMap(CGXUserAttributeMap&& other) noexcept
    : fw::Serializable(), attributes_(std::move(other.attributes_)) {}

CGXUserAttributeMap& CGXUserAttributeMap::operator=(CGXUserAttributeMap&& other) noexcept {
    if (this != &other)
        attributes_ = std::move(other.attributes_);
    return *this;
}

namespace {

template <typename Entries>
auto LowerBound(Entries& entries, std::uint16_t id) {
    return std::lower_bound(entries.begin(), entries.end(), id,
                            [](const auto& a, std::uint16_t v) { return a->m_nId < v; });
}

}  // namespace

int CGXUserAttributeMap::FindIndex(std::uint16_t id) const {
    auto it = LowerBound(attributes_, id);
    if (it == attributes_.end() || (*it)->m_nId != id)
        return -1;
    return static_cast<int>(it - attributes_.begin());
}

const CGXAbstractUserAttribute* CGXUserAttributeMap::GetAttribute(std::uint16_t id) const {
    const int i = FindIndex(id);
    return i < 0 ? nullptr : attributes_[static_cast<std::size_t>(i)].get();
}

void CGXUserAttributeMap::SetAttribute(std::uint16_t id, const CGXAbstractUserAttribute& a) {
    if (auto c = a.Clone())
        SetAttributePtr(id, std::move(c));
}

void CGXUserAttributeMap::SetAttributePtr(std::uint16_t id,
                                          std::unique_ptr<CGXAbstractUserAttribute> a) {
    if (!a)
        return;
    a->m_nId = id;
    Put(std::move(a));
}

void CGXUserAttributeMap::Put(Entry attribute) {
    auto it = LowerBound(attributes_, attribute->m_nId);
    if (it != attributes_.end() && (*it)->m_nId == attribute->m_nId)
        *it = std::move(attribute);
    else
        attributes_.insert(it, std::move(attribute));
}

void CGXUserAttributeMap::RemoveAttribute(std::uint16_t id) {
    const int i = FindIndex(id);
    if (i >= 0)
        attributes_.erase(attributes_.begin() + i);
}

void CGXUserAttributeMap::ChangeMap(const CGXUserAttributeMap& source, GXModifyType type) {
    if (&source == this) {
        if (type == gxExclude)
            attributes_.clear();
        return;
    }
    if (type == gxExclude) {
        for (const auto& a : source.attributes_) RemoveAttribute(a->m_nId);
        return;
    }
    if (type == gxCopy || attributes_.empty()) {
        attributes_ = source.attributes_;
        return;
    }
    if (source.attributes_.empty())
        return;
    // Both lists are in id order: one pass merges them; on the same id the source's wins when
    // it overrides.
    std::vector<Entry> merged;
    merged.reserve(attributes_.size() + source.attributes_.size());
    auto own = attributes_.begin();
    auto other = source.attributes_.begin();
    while (own != attributes_.end() || other != source.attributes_.end()) {
        if (other == source.attributes_.end() ||
            (own != attributes_.end() && (*own)->m_nId < (*other)->m_nId)) {
            merged.push_back(std::move(*own++));
        } else if (own == attributes_.end() || (*other)->m_nId < (*own)->m_nId) {
            merged.push_back(*other++);
        } else {
            merged.push_back(type == gxOverride ? *other : std::move(*own));
            ++own;
            ++other;
        }
    }
    attributes_ = std::move(merged);
}

void CGXUserAttributeMap::WriteProfile(std::string_view section) const {
    fw::Profile& profile = fw::AppProfile();
    for (const auto& a : attributes_)
        profile.WriteProfileString(section, "UA" + std::to_string(a->m_nId), a->GetValue());
}

void CGXUserAttributeMap::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<std::uint16_t>(attributes_.size());
        for (const auto& a : attributes_) {
            ar.WriteObject(a.get());
            ar << a->m_nId;
        }
        return;
    }
    std::uint16_t count = 0;
    ar >> count;
    // Each entry takes at least an object tag and an id.
    if (static_cast<std::size_t>(count) * 4 > ar.Remaining())
        throw fw::ArchiveException(fw::ArchiveCause::EndOfFile, "user attribute count");
    attributes_.clear();
    for (std::uint16_t i = 0; i < count; ++i) {
        auto a = ar.ReadObjectAs<CGXAbstractUserAttribute>();
        std::uint16_t id = 0;
        ar >> id;
        if (a)
            SetAttributePtr(id, std::move(a));
    }
}
