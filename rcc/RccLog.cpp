#include "rcc/RccLog.h"

#include "os/Text.h"
#include "platform/Logger.h"

#include <cstdarg>
#include <mutex>
#include <vector>

namespace {

std::mutex& SinkMutex() {
    static std::mutex mutex;
    return mutex;
}

RccLogSink& Sink() {
    static RccLogSink sink;
    return sink;
}

void ToLogFile(RccLogLevel level, const char* source, int line, const std::string& text) {
    uint32_t bit = level == RccLogLevel::Error     ? LOG_ERR
                   : level == RccLogLevel::Warning ? LOG_WARN
                   : level == RccLogLevel::Info    ? LOG_INFO
                                                   : LOG_DBG;
    GetLogger()->LogMessage(bit, source, line, "%s", text.c_str());
}

}  // namespace

void RccLog(RccLogLevel level, const char* source, int line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = os::FormatV(format, args);
    va_end(args);

    std::lock_guard<std::mutex> lock(SinkMutex());
    if (Sink())
        Sink()(level, source, text);
    else
        ToLogFile(level, source, line, text);
}

RccLogSink SetRccLogSink(RccLogSink sink) {
    std::lock_guard<std::mutex> lock(SinkMutex());
    RccLogSink previous = std::move(Sink());
    Sink() = std::move(sink);
    return previous;
}
