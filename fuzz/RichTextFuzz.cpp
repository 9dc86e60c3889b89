// Rich-text cell values as any program may have stored them: the reader must take any bytes
// without crashing or growing without bound, give valid UTF-8 text, and what it read must come
// back unchanged through the writer.
#include "fuzz/FuzzCheck.h"
#include "grid/controls/GXRichText.h"
#include "grid/controls/GXUtf8Chars.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    const GXRichDocument doc = GXReadRichText(in);
    const std::string plain = doc.PlainText();
    for (const std::string& ch : GXSplitUtf8Chars(plain))
        FUZZ_CHECK(ch.size() == 1 ? static_cast<unsigned char>(ch[0]) < 0x80 : true);
    FUZZ_CHECK(plain.size() <= size * 4 + doc.paragraphs.size());
    const std::string written = GXWriteRichText(doc);
    FUZZ_CHECK(GXReadRichText(written) == doc);
    // Plain text wrapped as a value reads back as the same text (each line break as LF).
    std::string lines;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        if (plain[i] == '\r' && i + 1 < plain.size() && plain[i + 1] == '\n')
            continue;
        lines += plain[i] == '\r' ? '\n' : plain[i];
    }
    FUZZ_CHECK(GXRichPlainText(GXWrapPlainText(plain)) == lines);
    return 0;
}
