// The user attributes of a style: owned attributes sorted by ascending id.
#pragma once

#include "framework/persist/RuntimeClass.h"
#include "grid/core/CGXUserAttribute.h"
#include "grid/core/GXTypes.h"

#include <memory>
#include <string_view>
#include <vector>

class CGXUserAttributeMap : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    CGXUserAttributeMap() = default;
    CGXUserAttributeMap(const CGXUserAttributeMap& other);  // deep copy
    CGXUserAttributeMap& operator=(const CGXUserAttributeMap& other);

    bool IsEmpty() const { return attributes_.empty(); }
    int GetCount() const { return static_cast<int>(attributes_.size()); }
    // The index of an id (binary search), -1 when absent.
    int FindIndex(std::uint16_t id) const;
    const CGXAbstractUserAttribute* GetAttribute(std::uint16_t id) const;
    const CGXAbstractUserAttribute& GetAt(int index) const { return *attributes_.at(index); }
    // Stores a clone of the attribute under the id.
    void SetAttribute(std::uint16_t id, const CGXAbstractUserAttribute& attribute);
    // Takes the attribute and sets its id; replaces (deletes) an attribute stored under the id.
    void SetAttributePtr(std::uint16_t id, std::unique_ptr<CGXAbstractUserAttribute> attribute);
    void RemoveAttribute(std::uint16_t id);
    void RemoveAll() { attributes_.clear(); }
    // Exclude removes the source's ids; copy first empties this map and then overrides; override
    // stores a clone of every source attribute; apply-new only adds ids not present.
    void ChangeMap(const CGXUserAttributeMap& source, GXModifyType type);
    // Application profile entries "UA%lu" (the id) in the section, with each attribute's text.
    void WriteProfile(std::string_view section) const;
    // A 16-bit count, then each attribute as an object followed by its 16-bit id.
    void Serialize(fw::Archive& ar) override;

private:
    void Sort();
    std::vector<std::unique_ptr<CGXAbstractUserAttribute>> attributes_;
};
