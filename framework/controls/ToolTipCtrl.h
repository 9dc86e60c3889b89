// Tool tips: a text shown when the mouse rests over a window. AddTool takes the text, or an id
// whose string-table text is used (the part after '\n' when it has one).
#pragma once

#include "framework/window/Messages.h"

#include <string>
#include <string_view>
#include <vector>

namespace fw {

class Window;

class ToolTipCtrl {
public:
    void AddTool(Window* tool, std::string_view text);
    void AddTool(Window* tool, UINT textId);
    void DelTool(Window* tool);
    void UpdateTipText(std::string_view text, Window* tool);
    // Inactive tips are not shown (their texts stay).
    void Activate(bool active);
    std::string GetText(Window* tool) const;

private:
    struct Tool {
        Window* window;
        std::string text;
    };
    void Apply(const Tool& t) const;
    std::vector<Tool> tools_;
    bool active_ = true;
};

}  // namespace fw
