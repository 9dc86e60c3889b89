// Basic types shared by the grid library: row and column numbers, the ways one style is merged
// into another, and the exceptions the library raises.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// Row and column numbers. Row 0 and column 0 are the header row and the header column.
using ROWCOL = std::uint32_t;

// Sentinels that ranges and pools carry in place of a row or column number: "none or any"
// and "to the end". Arithmetic on rows and columns leaves them as they are.
inline constexpr ROWCOL GX_INVALID = 0xFFFFFFFFu;    // -1
inline constexpr ROWCOL GX_MAXROWCOL = 0xFFFFFFFEu;  // -2

// True for a real row or column number (not one of the sentinels).
constexpr bool GXIsRealRowCol(ROWCOL n) {
    return n < GX_MAXROWCOL;
}

// How a source style is merged into a target style.
enum GXModifyType : int {
    gxOverride = 0,  // every attribute of the source replaces the target's
    gxApplyNew = 1,  // only attributes the target lacks are taken
    gxCopy = 2,      // the target becomes a copy of the source
    gxExclude = 3,   // attributes the source includes are removed from the target
};

// A resource (a string-table text) that the library needs is missing.
class CGXResourceException : public std::runtime_error {
public:
    explicit CGXResourceException(unsigned id)
        : std::runtime_error("missing resource " + std::to_string(id)), resourceId(id) {}
    unsigned resourceId;
};

// An operation that cannot run in the library's present state (the library was not started,
// a styles map is missing).
class CGXNotSupportedException : public std::logic_error {
public:
    explicit CGXNotSupportedException(const std::string& what) : std::logic_error(what) {}
};

// Base of the objects that a grid or the library state owns in a list and deletes through
// their virtual destructor (feature objects, application-wide components, pools).
class CGXOwnedObject {
public:
    virtual ~CGXOwnedObject() = default;

protected:
    CGXOwnedObject() = default;
    CGXOwnedObject(const CGXOwnedObject&) = default;
    CGXOwnedObject& operator=(const CGXOwnedObject&) = default;
};
