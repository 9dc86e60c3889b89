#include "grid/core/CGXUserAttributeMap.h"

#include "framework/persist/Archive.h"
#include "framework/persist/Profile.h"

#include <algorithm>

const fw::RuntimeClass CGXUserAttributeMap::kClass{
    "CGXUserAttributeMap", 1, &fw::Serializable::kClass, fw::CreateInstance<CGXUserAttributeMap>};

CGXUserAttributeMap::CGXUserAttributeMap(const CGXUserAttributeMap& other) : fw::Serializable() {
    *this = other;
}

CGXUserAttributeMap& CGXUserAttributeMap::operator=(const CGXUserAttributeMap& other) {
    if (this == &other)
        return *this;
    std::vector<std::unique_ptr<CGXAbstractUserAttribute>> copy;
    copy.reserve(other.attributes_.size());
    for (const auto& a : other.attributes_) {
        if (auto c = a->Clone()) {
            c->m_nId = a->m_nId;
            copy.push_back(std::move(c));
        }
    }
    attributes_ = std::move(copy);
    return *this;
}

int CGXUserAttributeMap::FindIndex(std::uint16_t id) const {
    auto it = std::lower_bound(attributes_.begin(), attributes_.end(), id,
                               [](const auto& a, std::uint16_t v) { return a->m_nId < v; });
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
    const int i = FindIndex(id);
    if (i >= 0) {
        attributes_[static_cast<std::size_t>(i)] = std::move(a);
        return;
    }
    attributes_.push_back(std::move(a));
    Sort();
}

void CGXUserAttributeMap::RemoveAttribute(std::uint16_t id) {
    const int i = FindIndex(id);
    if (i >= 0)
        attributes_.erase(attributes_.begin() + i);
}

void CGXUserAttributeMap::Sort() {
    std::stable_sort(attributes_.begin(), attributes_.end(),
                     [](const auto& a, const auto& b) { return a->m_nId < b->m_nId; });
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
    if (type == gxCopy)
        attributes_.clear();
    bool added = false;
    for (const auto& a : source.attributes_) {
        const int i = FindIndex(a->m_nId);
        if (i >= 0 && type != gxOverride && type != gxCopy)
            continue;
        auto c = a->Clone();
        if (!c)
            continue;
        c->m_nId = a->m_nId;
        if (i >= 0) {
            attributes_[static_cast<std::size_t>(i)] = std::move(c);
        } else {
            attributes_.push_back(std::move(c));
            added = true;
        }
    }
    if (added)
        Sort();
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
