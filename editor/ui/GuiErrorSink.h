// Where the editor's error reports go while its window is up: errors and questions in
// message boxes titled with the program's name, message-bar texts to the main frame (from any
// thread: as a message the frame handles on its own thread).
#pragma once

#include "editor/document/ErrorSink.h"

namespace tessaly {

class GuiErrorSink : public IErrorSink {
public:
    void ShowError(const std::string& title, const std::string& text) override;
    bool SetMessageText(const std::string& text) override;
    int AskAbortRetryIgnore(const std::string& title, const std::string& text) override;
};

}  // namespace tessaly
