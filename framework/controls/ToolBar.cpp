#include "framework/controls/ToolBar.h"

#include "framework/base/CmdTarget.h"
#include "framework/persist/StringTable.h"
#include "framework/window/Window.h"

namespace fw {

std::string CommandPrompt(unsigned id) {
    const std::string s = LoadString(id);
    return s.substr(0, s.find('\n'));
}

std::string CommandTip(unsigned id) {
    const std::string s = LoadString(id);
    const std::size_t nl = s.find('\n');
    return nl == std::string::npos ? std::string() : s.substr(nl + 1);
}

ToolBar::ToolBar(Window* target) : QToolBar(target), target_(target) {
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void ToolBar::SetButtons(const std::vector<ToolButton>& buttons) {
    clear();
    actions_.clear();
    for (const ToolButton& b : buttons) {
        if (b.id == 0) {
            addSeparator();
            continue;
        }
        const std::string tip = CommandTip(b.id);
        const std::string text = b.text.empty() ? tip : b.text;
        QAction* a = addAction(b.icon, QString::fromStdString(text));
        a->setToolTip(QString::fromStdString(tip.empty() ? text : tip));
        a->setStatusTip(QString::fromStdString(CommandPrompt(b.id)));
        if (b.icon.isNull()) {
            // Without a picture the button shows its text.
            if (QWidget* w = widgetForAction(a)) {
                if (auto* tb = qobject_cast<QToolButton*>(w))
                    tb->setToolButtonStyle(Qt::ToolButtonTextOnly);
            }
        }
        const unsigned id = b.id;
        connect(a, &QAction::triggered, this, [this, id] {
            target_->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(id), 0), 0);
        });
        actions_[id] = a;
    }
}

QAction* ToolBar::ActionOf(unsigned id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void ToolBar::UpdateButtons(CmdTarget& route) {
    for (auto& [id, action] : actions_) {
        const CmdUI ui = route.QueryCommandState(id);
        action->setEnabled(ui.enabled().value_or(true));
        if (ui.check()) {
            action->setCheckable(true);
            action->setChecked(*ui.check() != 0);
        }
    }
}

}  // namespace fw
