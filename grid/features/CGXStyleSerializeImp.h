// The archive forms of fonts, brushes, pens and styles.
//
// Style: WORD schema 6, DWORD include mask, then each included attribute in this order:
// horizontal alignment DWORD (0, 1, 2), vertical alignment DWORD (0, 4, 8), read-only BYTE,
// control id DWORD, interior (brush record), text colour DWORD, wrap BYTE, allow-enter BYTE,
// font (object), value string, choice-list string, scroll-bar BYTE, max-length WORD, enabled
// BYTE, tri-state BYTE, 3-D frame BYTE, auto-size BYTE; then the borders (WORD 0, or WORD 1 and
// for top, left, bottom and right a WORD flag and the pen's text), the base style (DWORD name
// resource id, a name string when 0), the user attributes (object or null), float, flood and
// merge BYTEs, item data DWORD, and format, places and value-type BYTEs (each when included).
#pragma once

#include "grid/core/CGXAbstractComponents.h"

class CGXStyleSerializeImp : public CGXAbstractStyleSerializeImp {
public:
    void SerializeFont(CGXFont& font, fw::Archive& ar) override;
    void SerializeBrush(CGXBrush& brush, fw::Archive& ar) override;
    void SerializePen(CGXPen& pen, fw::Archive& ar) override;
    void SerializeStyle(CGXStyle& style, fw::Archive& ar, const CGXStylesMap* map) override;

private:
    void StoreStyle(CGXStyle& style, fw::Archive& ar, const CGXStylesMap* map);
    void LoadStyle(CGXStyle& style, fw::Archive& ar, const CGXStylesMap* map);
    void LoadFontSchema1(CGXFont& font, fw::Archive& ar);
};

// Creates the component once and gives it to the library state.
void InstallStyleSerializeImp();
