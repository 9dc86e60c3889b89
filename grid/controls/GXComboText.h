// What the drop-down list cells share to read and match their texts: the index a value names,
// a case-blind prefix match, a user attribute's number, and a memory context for measuring list
// lines outside drawing.
#pragma once

#include "framework/drawing/DeviceContext.h"
#include "grid/core/CGXStyle.h"

#include <strings.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

// A whole decimal integer (blanks around it allowed); none for anything else or out of range.
inline std::optional<long> GXParseIndex(const std::string& text) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(begin, &end, 10);
    if (end == begin || errno == ERANGE)
        return std::nullopt;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0')
        return std::nullopt;
    return v;
}

// TRUE when `text` begins with `prefix`, letters of any case (ASCII) matching.
inline bool GXStartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

// The number a user attribute of the style holds (0 for a text that is none); `absent` when the
// style has no such attribute.
inline int GXAttrInt(const CGXStyle& style, std::uint16_t id, int absent) {
    if (!style.GetIncludeUserAttribute(id))
        return absent;
    return std::atoi(style.GetUserAttribute(id).GetValue().c_str());
}

// A memory context for measuring texts and bitmaps where no window is drawn on.
struct GXMeasureDC {
    fw::DeviceContext dc;
    GXMeasureDC() { dc.CreateCompatibleDC(nullptr); }
};
