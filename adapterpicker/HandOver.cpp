#include "adapterpicker/HandOver.h"

#include "os/IniFile.h"
#include "os/KeyStore.h"
#include "os/Paths.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace varoda {
namespace {

void WriteIfPresent(std::string_view file, std::string_view section, std::string_view address) {
    const std::filesystem::path path = os::SystemDir() / std::string(file);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return;
    os::IniFile(path).WriteString(section, kLocalIpEntry, address);
}

}  // namespace

void HandOverLocalIp(std::string_view address) {
    WriteIfPresent(kTftpIniFile, kTftpSection, address);
    WriteIfPresent(kDhcpIniFile, kDhcpSection, address);
    os::KeyStore machine(os::KeyRoot::Machine);
    if (machine.CreateKey(kTimeServiceKey) == os::KeyStatus::Ok)
        machine.SetString(kTimeServiceKey, kLocalIpsValue, address);
}

}  // namespace varoda
