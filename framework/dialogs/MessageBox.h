// Message boxes with the classic button sets and answers, and a hook through which tests (and
// scripted runs) answer them without a box on the screen.
#pragma once

#include "framework/base/CommandIds.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

class Window;

inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_RETRYCANCEL = 0x5;
inline constexpr unsigned MB_TYPEMASK = 0xF;
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONERROR = MB_ICONHAND;
inline constexpr unsigned MB_ICONSTOP = MB_ICONHAND;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr unsigned MB_ICONASTERISK = 0x40;
inline constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr unsigned MB_ICONMASK = 0xF0;
inline constexpr unsigned MB_DEFBUTTON1 = 0x000;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_DEFBUTTON3 = 0x200;
inline constexpr unsigned MB_DEFMASK = 0xF00;

struct MessageBoxRequest {
    std::string text;
    std::string caption;
    unsigned type = MB_OK;
    // The answers its buttons give, in order (OK/Cancel gives {IDOK, IDCANCEL}).
    std::vector<int> Buttons() const;
    int DefaultAnswer() const;
};

// Answers a box instead of showing it; returns nothing to let the real box appear.
using MessageBoxHook = std::function<std::optional<int>(const MessageBoxRequest&)>;
// Installs a hook and returns the one installed before.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// Shows a modal box and returns the answer (IDOK .. IDNO). Before it opens, the window holding
// the mouse capture and the focused window get cancel mode.
int MessageBox(Window* owner, std::string_view text, std::string_view caption,
               unsigned type = MB_OK);
// A box titled with the application's name (string AFX_IDS_APP_TITLE, else the program name).
int AppMessageBox(std::string_view text, unsigned type = MB_OK);
int AppMessageBox(unsigned stringId, unsigned type = MB_OK);

// Scoped answers for tests: every box while it lives is answered in turn from `answers`
// (the last one repeats) and recorded in `asked`.
class ScopedMessageBoxAnswers {
public:
    explicit ScopedMessageBoxAnswers(std::vector<int> answers);
    ~ScopedMessageBoxAnswers();
    ScopedMessageBoxAnswers(const ScopedMessageBoxAnswers&) = delete;
    ScopedMessageBoxAnswers& operator=(const ScopedMessageBoxAnswers&) = delete;
    std::vector<MessageBoxRequest> asked;

private:
    std::vector<int> answers_;
    MessageBoxHook previous_;
};

}  // namespace fw
