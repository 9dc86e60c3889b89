// What the stand-alone controls share besides the locale: the warning sound (counted, so tests
// can tell a refused key from an accepted one) and the controls' own texts in the string table.
#pragma once

#include "framework/base/Geometry.h"

#include <string>

// Sounds the standard warning and counts it.
void GXExtrasBeep();
// The number of warnings sounded since the process started.
unsigned GXExtrasBeepCount();

// The text of one of the controls' string ids (20124 "Enter", 20125 "Error ", 20134 ...); the
// controls' texts are entered into the string table on first use, unless a program set its own.
std::string GXExtrasText(unsigned id);

// The work area of the screen that holds the point (pop-ups stay inside it).
fw::Rect GXWorkAreaAt(fw::Point screenPoint);

// A packed device-independent bitmap (info header and 24-bit rows, bottom-up) of an image, the
// form bitmap resources are registered in.
#include <cstdint>
#include <vector>
class QImage;
std::vector<std::uint8_t> GXPackDIB(const QImage& image);

// The stand-alone controls' own button pictures, registered by name on first use unless a
// program registered its own: "GXBDROPARROW" (a drop-down arrow) and "GXBCALCBTN" (a small
// calculator).
void GXRegisterExtrasBitmaps();
