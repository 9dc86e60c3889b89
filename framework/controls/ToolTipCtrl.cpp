#include "framework/controls/ToolTipCtrl.h"

#include "framework/controls/ToolBar.h"
#include "framework/persist/StringTable.h"
#include "framework/window/Window.h"

namespace fw {

void ToolTipCtrl::Apply(const Tool& t) const {
    const QString text = active_ ? QString::fromStdString(t.text) : QString();
    t.window->setToolTip(text);
    if (QWidget* proxy = t.window->focusProxy())
        proxy->setToolTip(text);
}

void ToolTipCtrl::AddTool(Window* tool, std::string_view text) {
    if (!tool)
        return;
    DelTool(tool);
    tools_.push_back({tool, std::string(text)});
    Apply(tools_.back());
}

void ToolTipCtrl::AddTool(Window* tool, UINT textId) {
    std::string tip = CommandTip(textId);
    AddTool(tool, tip.empty() ? LoadString(textId) : tip);
}

void ToolTipCtrl::DelTool(Window* tool) {
    for (auto it = tools_.begin(); it != tools_.end(); ++it) {
        if (it->window == tool) {
            tools_.erase(it);
            tool->setToolTip(QString());
            return;
        }
    }
}

void ToolTipCtrl::UpdateTipText(std::string_view text, Window* tool) {
    for (Tool& t : tools_) {
        if (t.window == tool) {
            t.text = std::string(text);
            Apply(t);
        }
    }
}

void ToolTipCtrl::Activate(bool active) {
    active_ = active;
    for (const Tool& t : tools_) Apply(t);
}

std::string ToolTipCtrl::GetText(Window* tool) const {
    for (const Tool& t : tools_) {
        if (t.window == tool)
            return t.text;
    }
    return {};
}

}  // namespace fw
