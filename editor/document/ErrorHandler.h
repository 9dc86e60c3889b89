// CErrorHandler: the editor's error reports by string id or text. Each report is
// logged through the process-wide log at the level of its type, then an error goes
// to a message box and a warning or notice to the main window's message bar.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "editor/document/ErrorSink.h"

class CErrorHandler {
public:
    // Report types, which are also the log level bits.
    enum : uint32_t {
        TYPE_ERROR = 1,
        TYPE_WARNING = 2,
        TYPE_NOTICE = 4,
    };

    // The singleton, made on first use; making it opens the log file.
    static CErrorHandler* GetInstance();
    static void DeleteInstance();
    // Where the next singleton opens the log: by default the program's folder plus
    // "Wov.log"; an empty path opens none.
    static void SetLogPath(std::optional<std::filesystem::path> path);

    CErrorHandler();
    virtual ~CErrorHandler();
    CErrorHandler(const CErrorHandler&) = delete;
    CErrorHandler& operator=(const CErrorHandler&) = delete;

    // The sink reports go to; none (the default) writes them to standard error.
    void SetSink(IErrorSink* sink);
    IErrorSink& Sink() const;

    // The text of string `messageId` ("Unknown error" without one).
    void Report(uint32_t type, const char* sourceFile, int line, uint32_t messageId);
    void ReportText(uint32_t type, const char* sourceFile, int line, const std::string& text);
    // As Report, from the handler's own position.
    void ReportMessage(uint32_t type, uint32_t messageId);
    // Logs the text at `level` and asks; returns ANSWER_ABORT, ANSWER_RETRY or ANSWER_IGNORE.
    int AskAbortRetryIgnore(uint32_t level, const char* sourceFile, int line,
                            const std::string& text);
    // "Ready" in the message bar.
    void ShowReady();

private:
    IErrorSink* sink_ = nullptr;
    mutable HeadlessErrorSink console_;
};
