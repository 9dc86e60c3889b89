// The registry of named base styles ("Standard", "Row Header", "Column Header" and those an
// application adds), of the cell controls' display names and of the user attributes' names.
// Base-style ids are small numbers handed out in order from 0.
#pragma once

#include "framework/persist/RuntimeClass.h"
#include "grid/core/CGXStyle.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// String-table ids of the standard base styles.
inline constexpr unsigned GX_IDS_STYLE_STANDARD = 52768;
inline constexpr unsigned GX_IDS_STYLE_ROWHEADER = 52769;
inline constexpr unsigned GX_IDS_STYLE_COLHEADER = 52770;

// Returned by the registering operations when they refuse a style.
inline constexpr std::uint16_t GX_NO_STYLE_ID = 0xFFFF;

struct CGXStylesMapStyleEntry {
    std::uint16_t id = 0;
    unsigned resourceId = 0;  // the string-table id of the name, 0 when registered by name
    std::string name;
    std::unique_ptr<CGXStyle> style;
    bool system = false;
};

struct CGXStylesMapUserAttrEntry {
    std::uint16_t id = 0;
    std::string name;
    std::unique_ptr<CGXStyle> style;  // how the attribute is edited
};

class CGXStylesMap : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    // `styleClass` is the class of the styles the map creates (CGXStyle when null).
    explicit CGXStylesMap(const fw::RuntimeClass* styleClass = nullptr);
    CGXStylesMap(const CGXStylesMap& other);
    CGXStylesMap& operator=(const CGXStylesMap& other);
    ~CGXStylesMap() override;

    // Through the document-serialisation component (nothing without it).
    void Serialize(fw::Archive& ar) override;
    // Through the profile component (nothing, and FALSE, without it).
    virtual void WriteProfile() const;
    virtual bool ReadProfile();

    // "Standard", "Column Header" and "Row Header" (see the library settings for their borders).
    void CreateStandardStyles();

    // A new style of the map's style class.
    std::unique_ptr<CGXStyle> CreateStyle() const;

    // Registers a base style under a name (a known name keeps its id) and stores a clone of the
    // style; refuses (GX_NO_STYLE_ID) a style whose base-style chain leads back to its own id.
    std::uint16_t RegisterStyle(std::string_view name, const CGXStyle& style, bool system);
    // The same with the name from the string table ("UA%u" when the table has none).
    std::uint16_t RegisterStyleFromResource(unsigned resourceId, const CGXStyle& style,
                                            bool system);
    // 0 when unknown.
    std::uint16_t GetStyleIdFromName(std::string_view name) const;
    std::uint16_t GetStyleIdFromResource(unsigned resourceId) const;
    // The name of an id (none and resource id 0 when unknown).
    std::optional<std::string> GetStyleName(std::uint16_t id, unsigned& resourceId) const;
    bool LookupStyle(std::uint16_t id, const CGXStyle*& style) const;
    CGXStyle* LookupStyle(std::uint16_t id);

    // Walks the base styles in name order.
    struct Position {
        std::map<std::string, std::uint16_t>::const_iterator it;
        bool atEnd = true;
        explicit operator bool() const { return !atEnd; }
    };
    Position GetStartPosition() const;
    void GetNextStyle(Position& pos, std::string& name, std::uint16_t& id, const CGXStyle*& style,
                      unsigned& resourceId) const;

    // Records a control's display name (the string-table text of its id), once; a missing text
    // raises CGXResourceException.
    void AddControl(unsigned controlId);
    const std::map<unsigned, std::string>& GetControlNames() const { return controlNames_; }
    // Records a user-attribute id once, with its string-table name and a style (assigned from
    // `style` when one is given); a missing text raises CGXResourceException.
    void AddUserAttribute(std::uint16_t id, const CGXStyle* style = nullptr);
    const std::map<std::uint16_t, CGXStylesMapUserAttrEntry>& GetUserAttributeEntries() const {
        return userAttributes_;
    }

    void RemoveAll();
    // Deletes the base styles, empties the name map and resets the id counter (the resource map
    // keeps its entries).
    void RemoveAllStyles();
    void RemoveAllControls() { controlNames_.clear(); }

    std::uint16_t m_wStyleStandard = 0;
    std::uint16_t m_wStyleColHeader = 0;
    std::uint16_t m_wStyleRowHeader = 0;
    std::string m_strSection = "Styles";
    const fw::RuntimeClass* m_pStyleClass;

    // The tables, for the copy, archive and profile components.
    std::map<std::uint16_t, CGXStylesMapStyleEntry>& Styles() { return styles_; }
    const std::map<std::uint16_t, CGXStylesMapStyleEntry>& Styles() const { return styles_; }
    std::map<std::string, std::uint16_t>& Names() { return names_; }
    const std::map<std::string, std::uint16_t>& Names() const { return names_; }
    std::map<unsigned, std::uint16_t>& Resources() { return resources_; }
    const std::map<unsigned, std::uint16_t>& Resources() const { return resources_; }
    std::map<unsigned, std::string>& ControlNames() { return controlNames_; }
    std::map<std::uint16_t, CGXStylesMapUserAttrEntry>& UserAttributes() { return userAttributes_; }
    std::uint16_t& NextId() { return nextId_; }
    std::uint16_t NextId() const { return nextId_; }

private:
    void CopyFrom(const CGXStylesMap& other);
    bool LeadsBackTo(std::uint16_t id, const CGXStyle& style) const;
    void StoreEntry(std::uint16_t id, unsigned resourceId, std::string_view name,
                    const CGXStyle& style, bool system);

    std::map<std::uint16_t, CGXStylesMapStyleEntry> styles_;
    std::map<std::string, std::uint16_t> names_;
    std::map<unsigned, std::uint16_t> resources_;
    std::map<unsigned, std::string> controlNames_;
    std::map<std::uint16_t, CGXStylesMapUserAttrEntry> userAttributes_;
    std::uint16_t nextId_ = 0;
};
