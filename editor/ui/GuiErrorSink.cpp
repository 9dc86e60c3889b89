#include "editor/ui/GuiErrorSink.h"

#include "editor/document/EditorHost.h"
#include "framework/app/Application.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/window/Window.h"

namespace tessaly {

void GuiErrorSink::ShowError(const std::string& title, const std::string& text) {
    fw::Application* app = fw::GetApp();
    fw::MessageBox(app ? app->GetMainWnd() : nullptr, text, title, fw::MB_OK | fw::MB_ICONERROR);
}

bool GuiErrorSink::SetMessageText(const std::string& text) {
    fw::Application* app = fw::GetApp();
    fw::Window* main = app ? app->GetMainWnd() : nullptr;
    if (!main)
        return false;
    fw::SendMessage(main->Handle(), WM_SET_MESSAGE_TEXT, 0, 0, fw::Payload::Make(text));
    return true;
}

int GuiErrorSink::AskAbortRetryIgnore(const std::string& title, const std::string& text) {
    fw::Application* app = fw::GetApp();
    const int answer = fw::MessageBox(app ? app->GetMainWnd() : nullptr, text, title,
                                      fw::MB_ABORTRETRYIGNORE | fw::MB_ICONERROR);
    switch (answer) {
        case fw::IDRETRY:
            return ANSWER_RETRY;
        case fw::IDIGNORE:
            return ANSWER_IGNORE;
        default:
            return ANSWER_ABORT;
    }
}

}  // namespace tessaly
