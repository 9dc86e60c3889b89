// The user attributes of a style, sorted by ascending id. An attribute never changes once it
// is stored, so copies of a map share their attributes instead of cloning each: styles are
// copied for every cell that is stored, looked up or composed. Copies share the list itself
// too, until one of them changes it (it then takes a list of its own).
#pragma once

#include "framework/persist/RuntimeClass.h"
#include "grid/core/CGXUserAttribute.h"
#include "grid/core/GXTypes.h"

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

class CGXUserAttributeMap : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    CGXUserAttributeMap() = default;
    CGXUserAttributeMap(const CGXUserAttributeMap& other);
    CGXUserAttributeMap& operator=(const CGXUserAttributeMap& other);
    CGXUserAttributeMap(CGXUserAttributeMap&& other) noexcept;
    CGXUserAttributeMap& operator=(CGXUserAttributeMap&& other) noexcept;
    // Every style with attributes holds a map of its own: they come from a pool of equal blocks.
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;

    bool IsEmpty() const { return Items().empty(); }
    int GetCount() const { return static_cast<int>(Items().size()); }
    // The index of an id (binary search), -1 when absent.
    int FindIndex(std::uint16_t id) const;
    const CGXAbstractUserAttribute* GetAttribute(std::uint16_t id) const;
    const CGXAbstractUserAttribute& GetAt(int index) const { return *Items().at(index); }
    // Stores a clone of the attribute under the id.
    void SetAttribute(std::uint16_t id, const CGXAbstractUserAttribute& attribute);
    // Takes the attribute and sets its id; replaces (deletes) an attribute stored under the id.
    void SetAttributePtr(std::uint16_t id, std::unique_ptr<CGXAbstractUserAttribute> attribute);
    void RemoveAttribute(std::uint16_t id);
    void RemoveAll() { list_.reset(); }
    // Exclude removes the source's ids; copy first empties this map and then overrides; override
    // stores every source attribute; apply-new only adds ids not present.
    void ChangeMap(const CGXUserAttributeMap& source, GXModifyType type);
    // Application profile entries "UA%lu" (the id) in the section, with each attribute's text.
    void WriteProfile(std::string_view section) const;
    // A 16-bit count, then each attribute as an object followed by its 16-bit id.
    void Serialize(fw::Archive& ar) override;

private:
    using Entry = std::shared_ptr<const CGXAbstractUserAttribute>;
    using List = std::vector<Entry>;
    // Replaces the entry of the attribute's id, or inserts it in id order.
    void Put(Entry attribute);
    const List& Items() const;
    // The list to change: this map's own (copied first while shared).
    List& Own();
    std::shared_ptr<List> list_;  // null: empty; shared by copies, never changed while shared
};
