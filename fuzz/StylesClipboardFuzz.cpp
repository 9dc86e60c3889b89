// The grid's styles clipboard format as another program may have put it on the clipboard: the
// reader must refuse anything malformed without crashing, leaking or allocating what the counts
// announce, and when it accepts, the style count must match the announced block.
#include "fuzz/FuzzCheck.h"
#include "grid/features/GXStylesClipboardCheck.h"

#include <cstddef>
#include <cstdint>

void InstallStyleSerializeImp();

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    InstallStyleSerializeImp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint32_t rows = 0, cols = 0;
    std::size_t cells = 0;
    if (GXCheckStylesClipboard(data, size, rows, cols, cells)) {
        FUZZ_CHECK(rows >= 1 && rows <= 0x7FFF && cols >= 1 && cols <= 0x7FFF);
        FUZZ_CHECK(cells == std::size_t(rows) * cols);
        FUZZ_CHECK(cells * 2 <= size);  // every entry takes at least its tag
    } else {
        FUZZ_CHECK(cells == 0);
    }
    return 0;
}
