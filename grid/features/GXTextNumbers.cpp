#include "grid/features/GXTextNumbers.h"

#include "grid/core/GXNumberText.h"

std::vector<long> GXSplitNumbers(std::string_view text, std::size_t max) {
    std::vector<long> numbers;
    std::size_t i = 0;
    while (i < text.size() && numbers.size() < max) {
        while (i < text.size() && text[i] == ' ') ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ') ++i;
        if (i > start)
            numbers.push_back(GXAtol(text.substr(start, i - start)));
    }
    return numbers;
}
