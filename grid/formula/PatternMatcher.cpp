#include "grid/formula/PatternMatcher.h"

namespace formula {

void GXRegexReset() {}

}  // namespace formula
