// The key store's file: what parses formats back into a file that parses to the same
// tree, and a refused file leaves the tree empty.
#include "fuzz/FuzzCheck.h"
#include "os/KeyStoreFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    os::KeyTree tree;
    const os::KeyStoreParseResult result = os::ParseKeyStore(bytes, tree);
    FUZZ_CHECK(os::ToString(result.error) != nullptr);
    const std::string formatted = os::FormatKeyStore(tree);
    if (result.error != os::KeyStoreParseError::None) {
        FUZZ_CHECK(result.line >= 1);
        FUZZ_CHECK(formatted == os::FormatKeyStore(os::KeyTree{}));
        return 0;
    }
    os::KeyTree again;
    FUZZ_CHECK(os::ParseKeyStore(formatted, again).error == os::KeyStoreParseError::None);
    FUZZ_CHECK(os::FormatKeyStore(again) == formatted);
    return 0;
}
