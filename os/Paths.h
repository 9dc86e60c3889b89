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
#include <string_view>
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

// `folder / name` when that exists; otherwise the entry of `folder` whose name equals
// `name` without regard to case (the first in name order, so the choice is stable);
// otherwise `folder / name`. Settings files written on a PC where names are not case
// sensitive ("IxoKolt.cfg", "STELLAN.INI") are found all the same.
std::filesystem::path FindAnyCase(const std::filesystem::path& folder, std::string_view name);

}  // namespace os
