// Bitmap resources: packed device-independent bitmaps that a program (or the library) registers
// under a number or a name at start-up, as a Windows program carries them in its resources.
// The bitmap pool, the system-colour cache and the plug-ins load them from here.
#pragma once

#include "framework/drawing/GdiObjects.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A resource named by a number (`name` empty) or by a name.
struct GXResourceName {
    unsigned id = 0;
    std::string name;
    static GXResourceName Id(unsigned id) { return {id, {}}; }
    static GXResourceName Named(std::string_view n) { return {0, std::string(n)}; }
};

// Registers (or replaces) a packed DIB block; a block that does not parse is refused (false).
bool GXRegisterBitmapResource(const GXResourceName& name, std::span<const std::uint8_t> block);
void GXRemoveBitmapResources();  // tests

// A copy of the block registered under the name (`GXLoadDIBResource`); none when missing.
std::optional<std::vector<std::uint8_t>> GXLoadDIBResource(const GXResourceName& name);

// The resource as a bitmap whose fixed button colours (light grey, dark grey and white) are
// replaced by the current system colours of button face, shadow and highlight; a null bitmap
// when missing.
fw::Bitmap GXLoadSysColorBitmap(const GXResourceName& name);
