// The bootptab file: the segments and node entries of the address tables, one line
// each, kept in the TFTP directory.
#pragma once

#include <string>
#include <string_view>

#include "addrserver/AddressTables.h"
#include "addrserver/Report.h"

namespace addrserver {

enum class BootptabError { kNone, kMissing, kBadLine, kUnreadable };

// Empties the node table and applies the file. A missing file is reported
// ("bootptab doesn't exist") and is no failure; a line without its line feed or of
// more than 1020 characters stops the reading ("Bootp: Err parsing booptab").
BootptabError ReadBootptab(const std::string& path, AddressTables& tables, Reporter& reporter);

// The same for text already in memory (one whole file).
BootptabError ParseBootptab(std::string_view text, AddressTables& tables, Reporter& reporter);

// The file's text for the tables' current content.
std::string BootptabText(const AddressTables& tables);

// Writes through "bootptab.tmp" beside `path`, keeps the previous file as path + ".bak",
// then renames; false (with a line on the reporter) when any step fails.
bool WriteBootptab(const std::string& path, const AddressTables& tables, Reporter& reporter);

}  // namespace addrserver
