// The process-wide levelled log file. One line per event:
//   [level name " "] [time "yy-mm-dd hh:mm:ss "] [file "(" line "): "] message
// Lines go to the file (rotated to "<path>.prev" at the size limit), to standard
// output when bit 30 of the flags is set, and to standard error when the
// debugger channel is switched on. Every operation runs under one lock.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>

// Levels: each message names exactly one bit.
enum : uint32_t {
    LOG_ERR = 0x1,
    LOG_WARN = 0x2,
    LOG_INFO = 0x4,
    LOG_DBG = 0x8,
    LOG_1 = 0x10,
    LOG_2 = 0x20,
    LOG_3 = 0x40,
    LOG_4 = 0x80,
    LOG_5 = 0x100,
    LOG_6 = 0x200,
    LOG_7 = 0x400,
    LOG_8 = 0x800,
    LOG_9 = 0x1000,
};

// Flag bits beside the level mask.
constexpr uint32_t LOG_FLAG_LEVEL = 1u << 28;     // level-name prefix
constexpr uint32_t LOG_FLAG_TIME = 1u << 29;      // time prefix
constexpr uint32_t LOG_FLAG_STDOUT = 1u << 30;    // copy every line to standard output
constexpr uint32_t LOG_FLAG_LOCATION = 1u << 31;  // source file and line prefix
// Errors, warnings and information, with level name, time and location.
constexpr uint32_t LOG_DEFAULT_FLAGS = 0xB0000007;
constexpr uint32_t LOG_DEFAULT_MAX_SIZE = 100000;
// Longest line, newline excluded; longer messages are cut at a character boundary.
constexpr size_t LOG_MAX_LINE = 1023;

class Logger {
public:
    // Local time of the time prefix; tests pass a fixed one.
    using TimeSource = std::function<std::tm()>;

    explicit Logger(TimeSource timeSource = {});
    virtual ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // Closes first when open. With a path the file is opened for appending (false, and
    // the logger stays closed, when that fails) and, unless keepOpen, closed again until
    // the next message. A null path logs to standard output and standard error only.
    bool Open(const char* path, uint32_t flags = LOG_DEFAULT_FLAGS,
              uint32_t maxSize = LOG_DEFAULT_MAX_SIZE, bool keepOpen = false);
    // Stops logging and restores the defaults.
    void Close();
    bool IsOpen() const;

    void SetFlags(uint32_t flags);
    uint32_t GetLevelMask() const;
    // Debugger channel: each line also goes to standard error. Off unless switched on
    // here or by IXO_LOG_STDERR=1 in the environment when the process-wide logger is made.
    void SetDebuggerChannel(bool on);

    void LogMessage(uint32_t level, const char* sourceFile, int line, const char* format, ...)
        __attribute__((format(printf, 5, 6)));
    void LogMessageV(uint32_t level, const char* sourceFile, int line, const char* format,
                     va_list args) __attribute__((format(printf, 5, 0)));

    // The name a level is written with: "ERR", "WARN", "INFO", "DBG", "LOG1".."LOG9",
    // or "?Unknown Log Level?" for anything that is not one bit of those.
    static const char* LevelName(uint32_t level);

private:
    std::string BuildLine(uint32_t level, const char* sourceFile, int line, const char* format,
                          va_list args) const;
    void RotateIfFull();
    void CloseLocked();
    void ApplyFlags(uint32_t flags);

    mutable std::mutex lock_;
    TimeSource timeSource_;
    bool open_ = false;
    std::string path_;  // empty: no file
    std::string prevPath_;
    FILE* file_ = nullptr;
    uint32_t levelMask_ = 0;
    uint32_t maxSize_ = LOG_DEFAULT_MAX_SIZE;
    bool toStdout_ = false;
    bool withLocation_ = false;
    bool withLevel_ = false;
    bool withTime_ = false;
    bool keepOpen_ = false;
    bool toStderr_ = false;
};

// The process-wide logger, made (closed, default flags) on first use.
Logger* GetLogger();
// Destroys it at program exit; a later GetLogger makes a new one.
void DeleteLogger();

// Logs through the process-wide logger with the caller's file and line.
#define VAV_LOG(level, ...) ::GetLogger()->LogMessage((level), __FILE__, __LINE__, __VA_ARGS__)
