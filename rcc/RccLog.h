// The log lines of the remote-call library. They go to the process-wide log file; a
// test may put its own sink in their way.
#pragma once

#include <functional>
#include <string>

enum class RccLogLevel { Error, Warning, Info, Debug };

// source: the library's file the line comes from ("ProxyBase", "StubDispatcher", ...).
void RccLog(RccLogLevel level, const char* source, int line, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

#define RCC_LOG_ERR(source, ...) RccLog(RccLogLevel::Error, source, __LINE__, __VA_ARGS__)
#define RCC_LOG_DBG(source, ...) RccLog(RccLogLevel::Debug, source, __LINE__, __VA_ARGS__)

// Receives every line instead of the log file while set; an empty sink restores the
// log file. Returns the sink that was set before.
using RccLogSink =
    std::function<void(RccLogLevel, const std::string& source, const std::string& text)>;
RccLogSink SetRccLogSink(RccLogSink sink);
