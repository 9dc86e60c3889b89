#include "framework/dialogs/MessageBox.h"
#include "framework/base/QtText.h"

#include "framework/base/AppName.h"
#include "framework/persist/FrameworkTexts.h"
#include "framework/persist/StringTable.h"
#include "framework/window/Window.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <map>

namespace fw {
namespace {

MessageBoxHook& InstalledHook() {
    static MessageBoxHook hook;
    return hook;
}

const char* ButtonText(int answer) {
    switch (answer) {
        case IDOK:
            return "OK";
        case IDCANCEL:
            return "Cancel";
        case IDABORT:
            return "&Abort";
        case IDRETRY:
            return "&Retry";
        case IDIGNORE:
            return "&Ignore";
        case IDYES:
            return "&Yes";
        case IDNO:
            return "&No";
        default:
            return "?";
    }
}

QMessageBox::Icon IconOf(unsigned type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONASTERISK:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// The answer Escape gives: Cancel when the box has it, OK for a box with OK alone; the boxes
// without either (Yes/No, Abort/Retry/Ignore) cannot be escaped.
std::optional<int> EscapeAnswer(const std::vector<int>& buttons) {
    for (int b : buttons) {
        if (b == IDCANCEL)
            return b;
    }
    if (buttons.size() == 1 && buttons[0] == IDOK)
        return IDOK;
    return std::nullopt;
}

int ShowReal(Window* owner, const MessageBoxRequest& req) {
    QMessageBox box(IconOf(req.type), ToQString(req.caption), ToQString(req.text),
                    QMessageBox::NoButton, owner ? owner->window() : QApplication::activeWindow());
    std::map<QAbstractButton*, int> answers;
    const std::vector<int> buttons = req.Buttons();
    for (int b : buttons) {
        QPushButton* pb = box.addButton(ButtonText(b), QMessageBox::ActionRole);
        answers[pb] = b;
        if (b == req.DefaultAnswer())
            box.setDefaultButton(pb);
        if (EscapeAnswer(buttons) == b)
            box.setEscapeButton(pb);
    }
    box.exec();
    auto it = answers.find(box.clickedButton());
    if (it != answers.end())
        return it->second;
    return EscapeAnswer(buttons).value_or(req.DefaultAnswer());
}

}  // namespace

std::vector<int> MessageBoxRequest::Buttons() const {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {IDOK, IDCANCEL};
        case MB_ABORTRETRYIGNORE:
            return {IDABORT, IDRETRY, IDIGNORE};
        case MB_YESNOCANCEL:
            return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO:
            return {IDYES, IDNO};
        case MB_RETRYCANCEL:
            return {IDRETRY, IDCANCEL};
        default:
            return {IDOK};
    }
}

int MessageBoxRequest::DefaultAnswer() const {
    const std::vector<int> b = Buttons();
    const std::size_t index = (type & MB_DEFMASK) >> 8;
    return index < b.size() ? b[index] : b.front();
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    MessageBoxHook old = std::move(InstalledHook());
    InstalledHook() = std::move(hook);
    return old;
}

int MessageBox(Window* owner, std::string_view text, std::string_view caption, unsigned type) {
    MessageBoxRequest req{std::string(text), std::string(caption), type};
    CancelModeForModal();
    if (InstalledHook()) {
        if (std::optional<int> answer = InstalledHook()(req))
            return *answer;
    }
    return ShowReal(owner, req);
}

int AppMessageBox(std::string_view text, unsigned type) {
    std::string title = ApplicationName();
    if (title.empty())
        title = FrameworkString(AFX_IDS_APP_TITLE);
    if (title.empty())
        title = QCoreApplication::applicationName().toStdString();
    return MessageBox(Window::GetFocus(), text, title, type);
}

int AppMessageBox(unsigned stringId, unsigned type) {
    return AppMessageBox(FrameworkString(stringId), type);
}

ScopedMessageBoxAnswers::ScopedMessageBoxAnswers(std::vector<int> answers)
    : answers_(std::move(answers)) {
    previous_ = SetMessageBoxHook([this](const MessageBoxRequest& req) -> std::optional<int> {
        asked.push_back(req);
        if (answers_.empty())
            return req.DefaultAnswer();
        const std::size_t i = std::min(asked.size() - 1, answers_.size() - 1);
        return answers_[i];
    });
}

ScopedMessageBoxAnswers::~ScopedMessageBoxAnswers() {
    SetMessageBoxHook(std::move(previous_));
}

}  // namespace fw
