// Stellan's command line: a verb and a target in the first argument, split at ':', '-'
// and '/' ("-install:all", "/STOP/NTP", "run-bootp"), compared without regard to case;
// "Auto" (with or without a dash) as the second of exactly two arguments. Pure.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class StellanVerb { None, Install, Run, Remove, Stop, Help, Console, Unknown };
enum class StellanTarget { None, Bootp, Ntp, All, Unknown };

struct StellanCommand {
    StellanVerb verb = StellanVerb::None;  // None: no arguments at all
    StellanTarget target = StellanTarget::None;
    bool autoStart = false;
    std::string verbText;  // as typed, at most 31 characters
    std::string targetText;
};

// `args` without the program's own name.
StellanCommand ParseStellanCommand(const std::vector<std::string>& args);
// The pieces of `text` between any of `separators` (runs count as one).
std::vector<std::string> SplitAt(std::string_view text, std::string_view separators);
// The help text, line by line as printed ("\r\n" line ends).
const std::vector<std::string>& StellanHelpLines();
