// A grid document's archive of its parameter object (styles map, cell store, properties, range
// lists, size maps, pools) as a file on disk may hold it: loading must refuse anything malformed
// with the archive error, without crashing, leaking or allocating what the counts announce.
// What loads must store again, and the stored form must load.
#include "framework/persist/Archive.h"
#include "fuzz/FuzzCheck.h"
#include "grid/core/CGXGridParam.h"

#include <cstddef>
#include <cstdint>
#include <vector>

void InstallDocSerializeImp();

namespace {

std::vector<std::uint8_t> Store(CGXGridParam& param) {
    std::vector<std::uint8_t> out;
    fw::Archive ar(fw::StoreTo{out});
    param.Serialize(ar);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    InstallDocSerializeImp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CGXGridParam param;
    try {
        fw::Archive ar(fw::LoadFrom{{data, size}});
        param.Serialize(ar);
    } catch (const fw::ArchiveException&) {
        return 0;
    }
    const std::vector<std::uint8_t> stored = Store(param);
    CGXGridParam again;
    try {
        fw::Archive ar(fw::LoadFrom{stored});
        again.Serialize(ar);
        FUZZ_CHECK(ar.Remaining() == 0);
    } catch (const fw::ArchiveException&) {
        FUZZ_CHECK(!"a stored parameter object does not load");
    }
    return 0;
}
