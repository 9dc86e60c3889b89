// Numeric routines the worksheet functions share: special functions and distributions, the
// day-serial calendar, dense matrices, Fourier transforms and the random generator.
#pragma once

#include <cstdint>
#include <vector>

namespace formula {

// Random numbers: the 48-bit linear congruential generator (a = 0x5DEECE66D, c = 0xB), state
// starting at 0x1234ABCD330E; values in [0, 1).
double GXRandom();
void GXRandomReset();

}  // namespace formula
