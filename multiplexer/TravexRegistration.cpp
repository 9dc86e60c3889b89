#include "multiplexer/TravexRegistration.h"

#include <algorithm>
#include <cctype>

#include "multiplexer/TravexEndpoint.h"
#include "os/KeyStore.h"

namespace mux {
namespace {

const std::string kClasses = "Software\\Classes\\";

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::vector<std::string> RegisteredKeys() {
    return {kClasses + "CLSID\\" + std::string(kTravexClassId),
            kClasses + "Travex.TravexInterface.1",
            kClasses + "Travex.TravexInterface",
            kClasses + "AppID\\" + std::string(kTravexAppId),
            kClasses + "TypeLib\\" + std::string(kTravexLibId),
            kClasses + "Interface\\" + std::string(kTravexInterfaceId)};
}

}  // namespace

TravexCommand ParseTravexCommandLine(const std::vector<std::string>& args) {
    std::string line;
    for (const auto& a : args) line += " " + a;
    TravexCommand command = TravexCommand::Serve;
    bool unknown = false;
    bool help = false;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t end = line.find_first_of("-/", start);
        std::string_view token = Trim(std::string_view(line).substr(start, end - start));
        if (SameText(token, "UnregServer"))
            return TravexCommand::UnregServer;
        if (SameText(token, "RegServer"))
            return TravexCommand::RegServer;
        if (SameText(token, "Embedding"))
            command = TravexCommand::ServeDetached;
        else if (SameText(token, "help") || SameText(token, "h") || token == "?")
            help = true;
        else if (!token.empty())
            unknown = true;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (help)
        return TravexCommand::Help;
    return unknown ? TravexCommand::Unknown : command;
}

bool RegisterTravex(const std::filesystem::path& program, std::string& error) {
    os::KeyStore store(os::KeyRoot::User);
    const std::string cls = kClasses + "CLSID\\" + std::string(kTravexClassId);
    const std::string progId = "Travex.TravexInterface";
    const std::string name = "TravexInterface Class";
    struct Entry {
        std::string key, value, data;
    };
    const std::vector<Entry> entries = {
        {cls, "", name},
        {cls, "AppID", std::string(kTravexAppId)},
        {TravexServerKey(), "", program.string()},
        {cls + "\\ProgID", "", progId + ".1"},
        {cls + "\\VersionIndependentProgID", "", progId},
        {cls + "\\TypeLib", "", std::string(kTravexLibId)},
        {kClasses + progId + ".1", "", name},
        {kClasses + progId + ".1\\CLSID", "", std::string(kTravexClassId)},
        {kClasses + progId, "", name},
        {kClasses + progId + "\\CLSID", "", std::string(kTravexClassId)},
        {kClasses + progId + "\\CurVer", "", progId + ".1"},
        {kClasses + "AppID\\" + std::string(kTravexAppId), "", "Travex"},
        {kClasses + "TypeLib\\" + std::string(kTravexLibId) + "\\1.0", "",
         "Travex 1.0 Type Library"},
        {kClasses + "Interface\\" + std::string(kTravexInterfaceId), "", "ITravexInterface"},
    };
    for (const Entry& e : entries) {
        os::KeyStatus s = store.SetString(e.key, e.value, e.data);
        if (s != os::KeyStatus::Ok) {
            error = std::string("cannot write ") + e.key + " to " + store.File().string() + ": " +
                    os::ToString(s);
            return false;
        }
    }
    return true;
}

bool UnregisterTravex(std::string& error) {
    os::KeyStore store(os::KeyRoot::User);
    for (const std::string& key : RegisteredKeys()) {
        os::KeyStatus s = store.DeleteTree(key);
        if (s != os::KeyStatus::Ok && s != os::KeyStatus::NotFound) {
            error = "cannot remove " + key + ": " + os::ToString(s);
            return false;
        }
    }
    return true;
}

std::filesystem::path RegisteredTravex() {
    std::string path;
    for (os::KeyRoot root : {os::KeyRoot::User, os::KeyRoot::Machine}) {
        if (os::KeyStore(root).GetString(TravexServerKey(), "", path) == os::KeyStatus::Ok &&
            !path.empty())
            return path;
    }
    return {};
}

}  // namespace mux
