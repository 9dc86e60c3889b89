// The toolbar of a frame: buttons that send command ids like menu items. Each button's tip is
// the part after '\n' of its command's prompt in the string table.
#pragma once

#include <QIcon>
#include <QToolBar>
#include <QToolButton>

#include <map>
#include <string>
#include <vector>

namespace fw {

class CmdTarget;
class Window;

struct ToolButton {
    ToolButton(unsigned commandId = 0, std::string label = {}, QIcon picture = {})
        : id(commandId), text(std::move(label)), icon(std::move(picture)) {}
    unsigned id;       // 0: a separator
    std::string text;  // empty: the tip text
    QIcon icon;
};

class ToolBar : public QToolBar {
    Q_OBJECT

public:
    // The buttons send WM_COMMAND to `target`.
    explicit ToolBar(Window* target);
    void SetButtons(const std::vector<ToolButton>& buttons);
    QAction* ActionOf(unsigned id) const;
    // Enables and checks the buttons as the command route says.
    void UpdateButtons(CmdTarget& route);

private:
    Window* target_;
    std::map<unsigned, QAction*> actions_;
};

// The prompt of a command: the string table's text of the id up to '\n' (the status-bar line)
// or after it (the tip).
std::string CommandPrompt(unsigned id);
std::string CommandTip(unsigned id);

}  // namespace fw
