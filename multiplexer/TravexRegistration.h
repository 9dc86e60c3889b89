// "RegServer" and "UnregServer": the registration a client reads to find the program
// to start when no Travex listens, kept in the user's key store.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mux {

enum class TravexCommand { Serve, ServeDetached, RegServer, UnregServer, Help, Unknown };

// The text after each "-" or "/" (or a word on its own) is compared, without regard to
// case, with "UnregServer" and "RegServer", which win over everything else; "Embedding"
// (what a client that starts the server passes) serves detached from the starter; "help",
// "h" and "?" ask for the usage text. Any other word is Unknown, so a mistyped switch is
// refused instead of quietly starting a server that ends a few seconds later.
TravexCommand ParseTravexCommandLine(const std::vector<std::string>& args);

// Writes the class, application id, programmatic ids, type library and interface
// entries, with `program` as the program to start. False with `error` on failure.
bool RegisterTravex(const std::filesystem::path& program, std::string& error);
bool UnregisterTravex(std::string& error);
// The program "RegServer" recorded; empty when none.
std::filesystem::path RegisteredTravex();

}  // namespace mux
