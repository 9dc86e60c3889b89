// "ixokolt.cfg": the whole-file parser, and its agreement with the line parser.
#include "fuzz/FuzzCheck.h"
#include "platform/VavConfig.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ConfigParseResult result = ParseConfigText(text);
    FUZZ_CHECK(result.ok() == (result.error == ConfigLineError::None));
    FUZZ_CHECK(result.badLine >= 0);
    if (result.values.networkCard && result.values.networkCard->IsMacText())
        FUZZ_CHECK(result.values.networkCard->macText.size() == 17);

    // Line by line, the first line that fails is the one the file parser names. A long line
    // is read in pieces by the file parser, so the agreement holds for short lines only.
    for (std::string_view rest = text; !rest.empty();) {
        const size_t end = rest.find('\n');
        if (std::min(end, rest.size()) >= 78)
            return 0;
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    VavConfig values;
    int line = 0, firstBad = 0;
    ConfigLineError firstError = ConfigLineError::None;
    for (std::string_view rest = text; !rest.empty();) {
        const size_t end = rest.find('\n');
        std::string_view one = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (!one.empty() && one.back() == '\r')
            one.remove_suffix(1);
        ++line;
        const ConfigLineError error = ParseConfigLine(one, values);
        if (error != ConfigLineError::None && error != ConfigLineError::Ignored && !firstBad) {
            firstBad = line;
            firstError = error;
        }
    }
    FUZZ_CHECK(firstBad == result.badLine);
    FUZZ_CHECK(firstError == result.error);
    return 0;
}
