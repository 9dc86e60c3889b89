// Private-profile (ini) files: reading every section and key of any bytes, and writing
// a key, which must read back and keep every other line of the file as it was.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "os/IniFile.h"
#include "os/Text.h"

namespace {

std::string FilePath() {
    static const FuzzTempDir dir("ixo-ini-fuzz");
    return dir.Path() + "/Fuzz.ini";
}

void Write(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

std::string Read(const std::string& path) {
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY);
    FUZZ_CHECK(fd >= 0);
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
    ::close(fd);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = FilePath();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Write(path, bytes);
    const os::IniFile ini(path);

    const auto sections = ini.GetSectionNames();
    size_t looked = 0;
    for (const std::string& section : sections) {
        for (const std::string& key : ini.GetKeys(section)) {
            if (++looked > 64)
                break;
            FUZZ_CHECK(ini.Find(section, key).has_value());
            (void)ini.GetInt(section, key, -1);
        }
    }
    (void)os::ParseProfileInt(bytes);

    os::IniFile writer(path);
    const bool had =
        ini.Find("Ixo Fuzz", "Written").has_value() || !ini.GetKeys("Ixo Fuzz").empty();
    bool sectionExisted = false;
    for (const std::string& section : sections)
        sectionExisted |= os::EqualsNoCase(section, "Ixo Fuzz");
    if (!writer.WriteString("Ixo Fuzz", "Written", "value 1"))
        return 0;
    FUZZ_CHECK(ini.GetString("Ixo Fuzz", "Written") == "value 1");
    if (!had && !sectionExisted) {
        // A new section goes at the end: the old bytes stay in front, unchanged.
        const std::string after = Read(path);
        FUZZ_CHECK(after.compare(0, bytes.size(), bytes) == 0);
    }
    return 0;
}
