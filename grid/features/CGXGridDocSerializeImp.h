// The archive forms of the grid's shared objects: styles map, cell store, cell and style arrays,
// properties and the parameter object. Every record opens with a WORD schema; a schema above
// the current one is refused with the archive error BadSchema, older ones are read in their
// older form.
//
// Styles map (schema 2): section string; WORD count of control names, each DWORD id and name;
// WORD count of name entries, each WORD id and name (dropped on load); WORD count of base
// styles, each WORD id, DWORD name resource id, name, BYTE system flag and the style record;
// WORD next id; (schema 2) WORD count of user attributes, each DWORD id and the style record.
// Cell store (schema 1): DWORD rows, DWORD columns, the cell array, the row and column styles.
// Cell array and style array (schema 1): DWORD count, per set element DWORD index and its
// record (a style array; a style object), DWORD 0xFFFFFFFF.
//
// Loading trusts no count or index: each is checked against the bytes left and the arrays are
// grown only as far as the elements read.
#pragma once

#include "grid/core/CGXAbstractComponents.h"

class CGXGridDocSerializeImp : public CGXAbstractGridDocSerializeImp {
public:
    void SerializeStylesMap(CGXStylesMap& map, fw::Archive& ar) override;
    void SerializeData(CGXData& data, fw::Archive& ar) override;
    void SerializeCellArray(CGXStylePtrArrayPtrArray& cells, fw::Archive& ar) override;
    void SerializeStyleArray(CGXStylePtrArray& styles, fw::Archive& ar) override;
    void SerializeProperties(CGXProperties& properties, fw::Archive& ar) override;
    void SerializeParam(CGXGridParam& param, fw::Archive& ar) override;

private:
    void StoreStylesMap(CGXStylesMap& map, fw::Archive& ar);
    void LoadStylesMap(CGXStylesMap& map, fw::Archive& ar);
    void StoreProperties(CGXProperties& p, fw::Archive& ar);
    void LoadProperties(CGXProperties& p, fw::Archive& ar);
    void StoreParam(CGXGridParam& p, fw::Archive& ar);
    void LoadParam(CGXGridParam& p, fw::Archive& ar);
};

// Creates the component once (with the style archive forms and the two pool components) and
// gives it to the library state.
void InstallDocSerializeImp();
