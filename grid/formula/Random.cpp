#include "grid/formula/NumericHelpers.h"

namespace formula {

namespace {

constexpr uint64_t kSeed = 0x1234ABCD330Eull;
uint64_t g_state = kSeed;

}  // namespace

double GXRandom() {
    constexpr uint64_t kMask = (1ull << 48) - 1;
    g_state = (0x5DEECE66Dull * g_state + 0xB) & kMask;
    return static_cast<double>(g_state) / static_cast<double>(1ull << 48);
}

void GXRandomReset() {
    g_state = kSeed;
}

}  // namespace formula
