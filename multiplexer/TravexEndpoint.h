// Where a client finds Travex, shared by both sides:
//   <runtime dir>/travex.sock   the Unix-domain socket Travex listens on
//   <runtime dir>/travex.lock   held (flock) by the one Travex serving that folder
// the key-store entry "RegServer" writes (the program to start when nobody listens),
// and the scope of the named objects between Travex and its clients.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace mux {

// Empty with `error` set when the runtime folder cannot be used or the socket's path
// would be too long for a Unix-domain address.
std::filesystem::path TravexSocketPath(std::error_code& error);
std::filesystem::path TravexLockPath(std::error_code& error);

// The names of the registration, as "RegServer" writes them to the user's key store.
inline constexpr std::string_view kTravexClassId = "{6B1D2E30-8F4C-4E4B-9A61-3C0E5D7A9B21}";
inline constexpr std::string_view kTravexAppId = "{0E7C4A52-31D9-4B8E-8C2F-5A9D1B6E4F73}";
inline constexpr std::string_view kTravexLibId = "{A4F29C18-6D3B-4E70-B5C1-92E8D07F3A46}";
inline constexpr std::string_view kTravexInterfaceId = "{D83B5E61-0F27-4A9C-8E14-6C5B2A90F7D8}";
// The key whose default value is the path of the program to start.
std::string TravexServerKey();

// A named object's name as both sides open it. With IXO_OBJECT_SCOPE set (several
// independent Travex instances side by side, as in tests) it is "<scope>.<name>".
std::string MuxObjectName(std::string_view name);

}  // namespace mux
