#include "framework/base/NumericLocale.h"

#include <clocale>

namespace fw {

void RestoreNumericLocale() {
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace fw
