// The address server's files: "bootptab" (segments and node entries), and the option
// lines of "bootp.cfg" and "bootpmac.cfg". The first byte picks the file. A bootptab that
// was read writes back into text that reads again into the same text.
#include <string>

#include "addrserver/AddressTables.h"
#include "addrserver/BootpOptions.h"
#include "addrserver/Bootptab.h"
#include "addrserver/MacFilter.h"
#include "fuzz/FuzzCheck.h"

namespace {

using namespace addrserver;

class QuietReporter : public Reporter {
public:
    void Report(uint32_t, std::string_view) override {}
    void Print(std::string_view) override {}
};

void ForEachLine(std::string_view text, auto&& apply) {
    while (!text.empty()) {
        const size_t end = text.find('\n');
        apply(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
}

void Bootptab(std::string_view text) {
    QuietReporter reporter;
    const auto exists = [](const std::string& name) { return name.size() % 2 == 0; };
    AddressTables tables(reporter, exists);
    tables.Configure({0x0A650001, 0xFFFF0000, 0x0A650001, 0x0A653265, 150});
    if (ParseBootptab(text, tables, reporter) != BootptabError::kNone)
        return;
    const std::string written = BootptabText(tables);
    AddressTables again(reporter, exists);
    again.Configure({0x0A650001, 0xFFFF0000, 0x0A650001, 0x0A653265, 150});
    FUZZ_CHECK(ParseBootptab(written, again, reporter) == BootptabError::kNone);
    FUZZ_CHECK(BootptabText(again) == written);
}

void BootpCfg(std::string_view text) {
    BootpOptions options;
    ForEachLine(text, [&](std::string_view line) { ApplyBootpCfgLine(line, options); });
    (void)ParseDotted(text);
}

void BootpMacCfg(std::string_view text) {
    MacFilter filter;
    ForEachLine(text, [&](std::string_view line) { filter.AddConfigLine(line); });
    FUZZ_CHECK(filter.Entries().size() <= MacFilter::kCapacity);
    for (const MacRange& range : filter.Entries()) {
        FUZZ_CHECK(range.first <= 0xFFFFFF && range.last <= 0xFFFFFF);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const uint8_t which = input.Byte() % 3;
    const std::string_view text = input.RestText();
    if (which == 0)
        Bootptab(text);
    else if (which == 1)
        BootpCfg(text);
    else
        BootpMacCfg(text);
    return 0;
}
