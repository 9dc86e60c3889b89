#include "multiplexer/TravexEndpoint.h"

#include <sys/un.h>

#include <cstdlib>

#include "os/Paths.h"

namespace mux {
namespace {

std::filesystem::path InRuntimeDir(const char* file, std::error_code& error) {
    std::filesystem::path dir = os::RuntimeDir(error);
    if (error)
        return {};
    std::filesystem::path path = dir / file;
    if (path.native().size() >= sizeof(sockaddr_un{}.sun_path)) {
        error = std::make_error_code(std::errc::filename_too_long);
        return {};
    }
    return path;
}

}  // namespace

std::filesystem::path TravexSocketPath(std::error_code& error) {
    return InRuntimeDir("travex.sock", error);
}

std::filesystem::path TravexLockPath(std::error_code& error) {
    return InRuntimeDir("travex.lock", error);
}

std::string TravexServerKey() {
    return "Software\\Classes\\CLSID\\" + std::string(kTravexClassId) + "\\LocalServer32";
}

std::string MuxObjectName(std::string_view name) {
    const char* scope = std::getenv("IXO_OBJECT_SCOPE");
    if (scope == nullptr || *scope == '\0')
        return std::string(name);
    return std::string(scope) + "." + std::string(name);
}

}  // namespace mux
