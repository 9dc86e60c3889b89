// Splitting the blank-separated numbers of the pen and brush text forms.
#pragma once

#include <string_view>
#include <vector>

// Up to `max` numbers; leading blanks are skipped and numbers are separated by one or more.
std::vector<long> GXSplitNumbers(std::string_view text, std::size_t max);
