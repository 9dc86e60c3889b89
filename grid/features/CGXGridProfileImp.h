// Base styles, styles, fonts and the grid properties in the application profile, all as text.
//
// A base style has its own section: the styles map's section and the style's key name (its name,
// or "#<resource id>") joined by a backslash in the key store ("Styles\Standard") and by a point
// in an ini file ("Styles.Standard"), where the map's section lists the key names (value "1").
// A missing or empty key leaves its member as it is.
#pragma once

#include "grid/core/CGXAbstractComponents.h"

#include <string>

class CGXGridProfileImp : public CGXAbstractGridProfileImp {
public:
    void WriteStylesMap(const CGXStylesMap& map) override;
    void WriteFont(const CGXFont& font, std::string_view section, std::string_view entry) override;
    // Writes into `section`, or into its subsection `entry` when one is named.
    void WriteStyle(const CGXStyle& style, std::string_view section,
                    std::string_view entry) override;
    bool ReadStylesMap(CGXStylesMap& map) override;
    bool ReadStyle(CGXStyle& style, std::string_view section, std::string_view entry) override;
    void WriteProperties(const CGXProperties& properties) override;
    bool ReadProperties(CGXProperties& properties) override;

    // The style's keys, with base-style names and user attributes resolved through `map`.
    void WriteStyleSection(const CGXStyle& style, const std::string& section,
                           const CGXStylesMap* map);
    bool ReadStyleSection(CGXStyle& style, const std::string& section, const CGXStylesMap* map);

    // A choice list as one line: carriage returns dropped, a line feed as "\n", a backslash
    // doubled; and back (a line feed becomes a carriage return and a line feed).
    static std::string EncodeChoiceList(std::string_view list);
    static std::string DecodeChoiceList(std::string_view text);
};

void InstallProfileImp();
