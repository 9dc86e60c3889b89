#include "grid/core/CGXUserAttributeMap.h"

#include "framework/persist/Archive.h"
#include "framework/persist/Profile.h"
#include "grid/core/GXBlockPool.h"

#include <algorithm>

const fw::RuntimeClass CGXUserAttributeMap::kClass{
    "CGXUserAttributeMap", 1, &fw::Serializable::kClass, fw::CreateInstance<CGXUserAttributeMap>};

void* CGXUserAttributeMap::operator new(std::size_t size) {
    return GXBlockPool<sizeof(CGXUserAttributeMap)>::Allocate(size);
}

void CGXUserAttributeMap::operator delete(void* p, std::size_t size) noexcept {
    GXBlockPool<sizeof(CGXUserAttributeMap)>::Release(p, size);
}

CGXUserAttributeMap::CGXUserAttributeMap(const CGXUserAttributeMap& other)
    : fw::Serializable(), list_(other.list_) {}

CGXUserAttributeMap& CGXUserAttributeMap::operator=(const CGXUserAttributeMap& other) {
    if (this != &other)
        list_ = other.list_;
    return *this;
}

CGXUserAttributeMap::CGXUserAttributeMap(CGXUserAttributeMap&& other) noexcept
    : fw::Serializable(), list_(std::move(other.list_)) {}

CGXUserAttributeMap& CGXUserAttributeMap::operator=(CGXUserAttributeMap&& other) noexcept {
    if (this != &other)
        list_ = std::move(other.list_);
    return *this;
}

const CGXUserAttributeMap::List& CGXUserAttributeMap::Items() const {
    static const List empty;
    return list_ ? *list_ : empty;
}

CGXUserAttributeMap::List& CGXUserAttributeMap::Own() {
    if (!list_)
        list_ = std::make_shared<List>();
    else if (list_.use_count() > 1)
        list_ = std::make_shared<List>(*list_);
    return *list_;
}

namespace {

template <typename Entries>
auto LowerBound(Entries& entries, std::uint16_t id) {
    return std::lower_bound(entries.begin(), entries.end(), id,
                            [](const auto& a, std::uint16_t v) { return a->m_nId < v; });
}

}  // namespace

int CGXUserAttributeMap::FindIndex(std::uint16_t id) const {
    const List& items = Items();
    auto it = LowerBound(items, id);
    if (it == items.end() || (*it)->m_nId != id)
        return -1;
    return static_cast<int>(it - items.begin());
}

const CGXAbstractUserAttribute* CGXUserAttributeMap::GetAttribute(std::uint16_t id) const {
    const int i = FindIndex(id);
    return i < 0 ? nullptr : Items()[static_cast<std::size_t>(i)].get();
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
    List& items = Own();
    auto it = LowerBound(items, attribute->m_nId);
    if (it != items.end() && (*it)->m_nId == attribute->m_nId)
        *it = std::move(attribute);
    else
        items.insert(it, std::move(attribute));
}

void CGXUserAttributeMap::RemoveAttribute(std::uint16_t id) {
    const int i = FindIndex(id);
    if (i >= 0) {
        List& items = Own();
        items.erase(items.begin() + i);
    }
}

void CGXUserAttributeMap::ChangeMap(const CGXUserAttributeMap& source, GXModifyType type) {
    if (&source == this) {
        if (type == gxExclude)
            list_.reset();
        return;
    }
    if (type == gxExclude) {
        for (const auto& a : source.Items()) RemoveAttribute(a->m_nId);
        return;
    }
    if (type == gxCopy || IsEmpty()) {
        list_ = source.list_;
        return;
    }
    if (source.IsEmpty())
        return;
    // Both lists are in id order: one pass merges them; on the same id the source's wins when
    // it overrides.
    const List& mine = Items();
    const List& theirs = source.Items();
    auto merged = std::make_shared<List>();
    merged->reserve(mine.size() + theirs.size());
    auto own = mine.begin();
    auto other = theirs.begin();
    while (own != mine.end() || other != theirs.end()) {
        if (other == theirs.end() || (own != mine.end() && (*own)->m_nId < (*other)->m_nId)) {
            merged->push_back(*own++);
        } else if (own == mine.end() || (*other)->m_nId < (*own)->m_nId) {
            merged->push_back(*other++);
        } else {
            merged->push_back(type == gxOverride ? *other : *own);
            ++own;
            ++other;
        }
    }
    list_ = std::move(merged);
}

void CGXUserAttributeMap::WriteProfile(std::string_view section) const {
    fw::Profile& profile = fw::AppProfile();
    for (const auto& a : Items())
        profile.WriteProfileString(section, "UA" + std::to_string(a->m_nId), a->GetValue());
}

void CGXUserAttributeMap::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<std::uint16_t>(Items().size());
        for (const auto& a : Items()) {
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
    list_.reset();
    for (std::uint16_t i = 0; i < count; ++i) {
        auto a = ar.ReadObjectAs<CGXAbstractUserAttribute>();
        std::uint16_t id = 0;
        ar >> id;
        if (a)
            SetAttributePtr(id, std::move(a));
    }
}
