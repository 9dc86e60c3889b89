// Where the suite's files live.
//
//   program folder  the folder of the running executable (settings files beside the program)
//   system dir      $IXO_SYSTEM_DIR, default /etc/ixo (machine-wide settings)
//   runtime dir     $XDG_RUNTIME_DIR/ixo, else /tmp/ixo-<uid>; mode 0700, owned by the user
//                   (sockets between the suite's processes)
//   user config     $XDG_CONFIG_HOME/ixo, else ~/.config/ixo (the user's key store)
//
// Each returns an empty path when it cannot be worked out; the overloads with an
// error_code say why.
#pragma once

#include <filesystem>
#include <system_error>

namespace os {

std::filesystem::path ProgramPath();
std::filesystem::path ProgramDir();
std::filesystem::path SystemDir();

// Creates the folder when missing. Refuses one that belongs to another user or
// that others may enter (errc::permission_denied).
std::filesystem::path RuntimeDir(std::error_code& error);
std::filesystem::path RuntimeDir();

// Not created here; the key store creates it on its first write.
std::filesystem::path UserConfigDir();

}  // namespace os
