// Where the editor's error reports and questions reach the user. The editor's main
// window installs its own sink (message boxes and the message bar); without one, and
// on the command line, HeadlessErrorSink writes them to a stream.
#pragma once

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

// Answers of a question with Abort, Retry and Ignore.
enum : int {
    ANSWER_ABORT = 3,
    ANSWER_RETRY = 4,
    ANSWER_IGNORE = 5,
};

class IErrorSink {
public:
    virtual ~IErrorSink() = default;
    // A message box with an OK button.
    virtual void ShowError(const std::string& title, const std::string& text) = 0;
    // The text of the main window's message bar; false when there is no main window.
    virtual bool SetMessageText(const std::string& text) = 0;
    // A message box with Abort, Retry and Ignore; one of the ANSWER_ values.
    virtual int AskAbortRetryIgnore(const std::string& title, const std::string& text) = 0;
};

// Writes each error and question as a line to `out` (none: silent) and keeps them;
// questions take the queued answers in turn, then the default answer (Abort).
class HeadlessErrorSink : public IErrorSink {
public:
    explicit HeadlessErrorSink(FILE* out = stderr) : out_(out) {}

    void ShowError(const std::string& title, const std::string& text) override;
    bool SetMessageText(const std::string& text) override;
    int AskAbortRetryIgnore(const std::string& title, const std::string& text) override;

    void QueueAnswer(int answer) { answers_.push_back(answer); }
    void SetDefaultAnswer(int answer) { defaultAnswer_ = answer; }
    // Message-bar texts count only while a main window is pretended.
    void SetHasMainWindow(bool has) { hasMainWindow_ = has; }

    const std::vector<std::string>& Errors() const { return errors_; }
    const std::vector<std::string>& MessageTexts() const { return messageTexts_; }
    const std::vector<std::string>& Questions() const { return questions_; }
    void Clear();

private:
    FILE* out_;
    bool hasMainWindow_ = true;
    int defaultAnswer_ = ANSWER_ABORT;
    std::deque<int> answers_;
    std::vector<std::string> errors_;
    std::vector<std::string> messageTexts_;
    std::vector<std::string> questions_;
};
