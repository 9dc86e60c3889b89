#include "editor/document/ErrorSink.h"

void HeadlessErrorSink::ShowError(const std::string& title, const std::string& text) {
    errors_.push_back(text);
    if (out_)
        std::fprintf(out_, "%s: %s\n", title.c_str(), text.c_str());
}

bool HeadlessErrorSink::SetMessageText(const std::string& text) {
    if (!hasMainWindow_)
        return false;
    messageTexts_.push_back(text);
    return true;
}

int HeadlessErrorSink::AskAbortRetryIgnore(const std::string& title, const std::string& text) {
    questions_.push_back(text);
    int answer = defaultAnswer_;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    if (out_)
        std::fprintf(out_, "%s: %s [%s]\n", title.c_str(), text.c_str(),
                     answer == ANSWER_RETRY    ? "Retry"
                     : answer == ANSWER_IGNORE ? "Ignore"
                                               : "Abort");
    return answer;
}

void HeadlessErrorSink::Clear() {
    errors_.clear();
    messageTexts_.clear();
    questions_.clear();
    answers_.clear();
}
