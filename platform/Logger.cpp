#include "platform/Logger.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

std::tm LocalNow() {
    std::time_t now = std::time(nullptr);
    std::tm result{};
    localtime_r(&now, &result);
    return result;
}

const char* BaseName(const char* path) {
    const char* base = path;
    for (const char* p = path; *p != '\0'; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            base = p + 1;
    return base;
}

// Length of the longest prefix of text[0, length) that does not end inside a
// UTF-8 sequence, so a cut line never carries half a character.
size_t WholeCharacters(const char* text, size_t length) {
    size_t start = length;
    while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) --start;
    if (start == 0)
        return length;
    unsigned char lead = static_cast<unsigned char>(text[start - 1]);
    size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return (length - (start - 1) >= need) ? length : start - 1;
}

}  // namespace

Logger::Logger(TimeSource timeSource) : timeSource_(std::move(timeSource)) {
    if (!timeSource_)
        timeSource_ = LocalNow;
    ApplyFlags(LOG_DEFAULT_FLAGS);
}

Logger::~Logger() {
    Close();
}

bool Logger::Open(const char* path, uint32_t flags, uint32_t maxSize, bool keepOpen) {
    std::lock_guard guard(lock_);
    if (open_)
        CloseLocked();
    if (path != nullptr) {
        path_ = path;
        prevPath_ = path_ + ".prev";
        file_ = std::fopen(path, "a+");
        if (file_ == nullptr) {
            CloseLocked();
            return false;
        }
        if (!keepOpen) {
            std::fclose(file_);
            file_ = nullptr;
        }
    }
    ApplyFlags(flags);
    keepOpen_ = keepOpen;
    maxSize_ = maxSize;
    open_ = true;
    return true;
}

void Logger::Close() {
    std::lock_guard guard(lock_);
    CloseLocked();
}

void Logger::CloseLocked() {
    open_ = false;
    keepOpen_ = false;
    maxSize_ = LOG_DEFAULT_MAX_SIZE;
    ApplyFlags(LOG_DEFAULT_FLAGS);
    path_.clear();
    prevPath_.clear();
    if (file_ != nullptr)
        std::fclose(file_);
    file_ = nullptr;
}

bool Logger::IsOpen() const {
    std::lock_guard guard(lock_);
    return open_;
}

void Logger::SetFlags(uint32_t flags) {
    std::lock_guard guard(lock_);
    ApplyFlags(flags);
}

uint32_t Logger::GetLevelMask() const {
    std::lock_guard guard(lock_);
    return levelMask_;
}

void Logger::SetDebuggerChannel(bool on) {
    std::lock_guard guard(lock_);
    toStderr_ = on;
}

void Logger::ApplyFlags(uint32_t flags) {
    withLevel_ = (flags & LOG_FLAG_LEVEL) != 0;
    withTime_ = (flags & LOG_FLAG_TIME) != 0;
    toStdout_ = (flags & LOG_FLAG_STDOUT) != 0;
    withLocation_ = (flags & LOG_FLAG_LOCATION) != 0;
    levelMask_ = flags & ~(LOG_FLAG_STDOUT | LOG_FLAG_LOCATION);
}

const char* Logger::LevelName(uint32_t level) {
    static const char* const names[] = {"ERR",  "WARN", "INFO", "DBG",  "LOG1", "LOG2", "LOG3",
                                        "LOG4", "LOG5", "LOG6", "LOG7", "LOG8", "LOG9"};
    for (uint32_t bit = 0; bit < 13; ++bit)
        if (level == (1u << bit))
            return names[bit];
    return "?Unknown Log Level?";
}

void Logger::LogMessage(uint32_t level, const char* sourceFile, int line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogMessageV(level, sourceFile, line, format, args);
    va_end(args);
}

void Logger::LogMessageV(uint32_t level, const char* sourceFile, int line, const char* format,
                         va_list args) {
    std::lock_guard guard(lock_);
    if (!open_ || (level & levelMask_) == 0)
        return;
    if (file_ == nullptr && !path_.empty())
        file_ = std::fopen(path_.c_str(), "a+");
    RotateIfFull();

    std::string text = BuildLine(level, sourceFile, line, format, args);
    if (file_ != nullptr)
        std::fprintf(file_, "%s\n", text.c_str());
    if (toStdout_)
        std::fprintf(stdout, "%s\n", text.c_str());
    if (toStderr_) {
        std::fputs(text.c_str(), stderr);
        std::fputs("\n", stderr);
    }
    if (file_ != nullptr) {
        std::fflush(file_);
        if (!keepOpen_) {
            std::fclose(file_);
            file_ = nullptr;
        }
    }
}

// At the size limit the file becomes the one ".prev" copy and a new file is begun;
// when the rename fails the message goes on without a file.
void Logger::RotateIfFull() {
    if (file_ == nullptr)
        return;
    struct stat status {};
    if (fstat(fileno(file_), &status) != 0 || status.st_size < static_cast<off_t>(maxSize_))
        return;
    std::fclose(file_);
    file_ = nullptr;
    std::remove(prevPath_.c_str());
    if (std::rename(path_.c_str(), prevPath_.c_str()) == 0)
        file_ = std::fopen(path_.c_str(), "a+");
}

std::string Logger::BuildLine(uint32_t level, const char* sourceFile, int line, const char* format,
                              va_list args) const {
    char buffer[LOG_MAX_LINE + 1];
    size_t used = 0;
    auto room = [&] { return sizeof buffer - used; };
    auto advance = [&](int written) {
        if (written > 0)
            used += std::min(static_cast<size_t>(written), room() - 1);
    };
    buffer[0] = '\0';
    if (withLevel_)
        advance(std::snprintf(buffer + used, room(), "%s ", LevelName(level)));
    if (withTime_) {
        std::tm t = timeSource_();
        int year = t.tm_year < 100 ? t.tm_year : t.tm_year - 100;
        advance(std::snprintf(buffer + used, room(), "%02d-%02d-%02d %02d:%02d:%02d ", year,
                              t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec));
    }
    if (withLocation_)
        advance(std::snprintf(buffer + used, room(),
                              "%s(%d): ", BaseName(sourceFile != nullptr ? sourceFile : ""), line));
    int wanted = std::vsnprintf(buffer + used, room(), format, args);
    if (wanted < 0)
        return std::string(buffer, used);
    if (static_cast<size_t>(wanted) < room())
        return std::string(buffer, used + wanted);
    return std::string(buffer, WholeCharacters(buffer, sizeof buffer - 1));
}

namespace {
std::mutex g_loggerLock;
std::unique_ptr<Logger> g_logger;
}  // namespace

Logger* GetLogger() {
    std::lock_guard guard(g_loggerLock);
    if (!g_logger) {
        g_logger = std::make_unique<Logger>();
        const char* channel = std::getenv("IXO_LOG_STDERR");
        if (channel != nullptr && std::strcmp(channel, "1") == 0)
            g_logger->SetDebuggerChannel(true);
    }
    return g_logger.get();
}

void DeleteLogger() {
    std::lock_guard guard(g_loggerLock);
    g_logger.reset();
}
