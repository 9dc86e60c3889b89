#include "services/CommandLine.h"

#include <strings.h>

#include <algorithm>

namespace {

constexpr size_t kMaxWord = 31;

bool Same(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

StellanVerb VerbOf(const std::string& v) {
    if (Same(v, "install"))
        return StellanVerb::Install;
    if (Same(v, "run"))
        return StellanVerb::Run;
    if (Same(v, "remove"))
        return StellanVerb::Remove;
    if (Same(v, "stop"))
        return StellanVerb::Stop;
    if (Same(v, "help"))
        return StellanVerb::Help;
    if (Same(v, "console"))
        return StellanVerb::Console;
    return StellanVerb::Unknown;
}

StellanTarget TargetOf(const std::string& t) {
    if (t.empty())
        return StellanTarget::None;
    if (Same(t, "Bootp"))
        return StellanTarget::Bootp;
    if (Same(t, "ntp"))
        return StellanTarget::Ntp;
    if (Same(t, "all"))
        return StellanTarget::All;
    return StellanTarget::Unknown;
}

}  // namespace

std::vector<std::string> SplitAt(std::string_view text, std::string_view separators) {
    std::vector<std::string> pieces;
    size_t at = 0;
    while (at < text.size()) {
        at = text.find_first_not_of(separators, at);
        if (at == std::string_view::npos)
            break;
        const size_t end = std::min(text.find_first_of(separators, at), text.size());
        pieces.emplace_back(text.substr(at, end - at));
        at = end;
    }
    return pieces;
}

StellanCommand ParseStellanCommand(const std::vector<std::string>& args) {
    StellanCommand c;
    if (args.empty())
        return c;
    const auto pieces = SplitAt(args[0], ":-/");
    if (!pieces.empty())
        c.verbText = pieces[0].substr(0, kMaxWord);
    if (pieces.size() > 1)
        c.targetText = pieces[1].substr(0, kMaxWord);
    if (args.size() == 2) {
        const auto flag = SplitAt(args[1], "-/");
        c.autoStart = !flag.empty() && Same(flag[0], "Auto");
    }
    c.verb = VerbOf(c.verbText);
    c.target = TargetOf(c.targetText);
    return c;
}

const std::vector<std::string>& StellanHelpLines() {
    static const std::vector<std::string> lines = {
        "Stellan:\r\n",
        "----------------\r\n",
        "Command Line Options:\r\n",
        "       Stellan -install:bootp/ntp/all [-auto]\r\n",
        "       Stellan -run:bootp/ntp/all [-auto]\r\n",
        "       Stellan -remove:bootp/ntp/all\r\n",
        "       Stellan -stop:bootp/ntp/all\r\n",
        "       Stellan -help\r\n",
        "\r\n",
        "        -install     install the service(s)\r\n",
        "        -run         (install and) run the service(s)\r\n",
        "        -stop        stop the service(s)\r\n",
        "        -remove      stop and remove the service(s)\r\n",
        "        -auto        Start the service automatically after system startup\r\n",
        "        -help        print this screen\r\n",
        "\r\n",
        "Flags:\r\n",
        "        bootp  - applies to bootp only\r\n",
        "        ntp    - applies to time service only\r\n",
        "        all    - applies to both services\r\n",
        "To change Stratum for the time service, set the Startup\r\n",
        "parameter for the Ixo Chronel Service (NTP) in the Service control\r\n",
        "manager to \"-stratum=num\" where num is the Stratum number\r\n",
    };
    return lines;
}
