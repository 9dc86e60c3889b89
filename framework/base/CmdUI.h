// The state a command's update handler gives to the menu item, toolbar button or status-bar
// pane that shows the command: enabled, checked (0 no, 1 yes, 2 indeterminate), radio, text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fw {

class CmdUI {
public:
    explicit CmdUI(unsigned id) : id_(id) {}
    virtual ~CmdUI() = default;

    unsigned GetID() const { return id_; }
    virtual void Enable(bool on = true) { enabled_ = on; }
    virtual void SetCheck(int check = 1) { check_ = check; }
    virtual void SetRadio(bool on = true) { SetCheck(on ? 1 : 0); }
    virtual void SetText(std::string_view text) { text_ = std::string(text); }

    // What the handlers set (nothing where they did not touch it).
    std::optional<bool> enabled() const { return enabled_; }
    std::optional<int> check() const { return check_; }
    const std::optional<std::string>& text() const { return text_; }

private:
    unsigned id_;
    std::optional<bool> enabled_;
    std::optional<int> check_;
    std::optional<std::string> text_;
};

}  // namespace fw
