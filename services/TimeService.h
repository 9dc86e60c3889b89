// The time service: one NTP engine on the PC clock, serving, at the configured stratum
// (Stellan.INI [IxoTimeService] Stratum, or the start parameter "-stratum=num"),
// stepped, resting until a datagram arrives, the engine has a poll or an announcement
// due, or a stop request comes, until the service is told to stop. The same loop runs in the
// foreground in console mode, at stratum 10.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "services/CClock.h"

class CNtpEngine;

constexpr uint8_t kDefaultStratum = 10;
using StratumWarning = std::function<void(const std::string&)>;

// The stratum the settings file names; 1 to 15, else 10 with a warning.
uint8_t ReadStratumSetting(const std::filesystem::path& settingsFile, const StratumWarning& warn);
// The stratum a start parameter names ("-stratum=5", "/s:5": the second piece split at
// '-', '/', '=' and ':'); `current` when it has no second piece; 1 to 15, else 10 with a
// warning.
uint8_t StratumFromStartParameter(const std::string& parameter, uint8_t current,
                                  const StratumWarning& warn);

// Descriptors that turn readable when a stop may have been requested (negative ones are
// left out): the loop's rest ends on them.
using StopWakeFds = std::array<int, 2>;

// The engine loop on `clock`, serving, until `stop` answers true (asked before each step).
// Between steps the engine sleeps until a datagram, its next poll or announcement, or one
// of `wakeFds()` (asked before each rest) turning readable. `afterStep` (may be null) sees
// the engine after each step.
void RunTimeEngine(CClock& clock, const std::function<bool()>& stop,
                   const std::function<StopWakeFds()>& wakeFds,
                   const std::function<void(CNtpEngine&)>& afterStep = nullptr);

// The service's entry, control handler and worker (non-null argument: console mode).
void TimeServiceMain(int argc, char** argv);
void TimeServiceHandler(uint32_t control);
uint32_t TimeServiceWorker(void* console);
