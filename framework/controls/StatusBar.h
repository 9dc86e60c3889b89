// The status bar at the bottom of a frame: a row of panes, each shown by an indicator id. The
// first pane (id 0) stretches and carries the message text ("Ready", menu prompts); the others
// are as wide as their indicator's text in the string table. The bar draws itself into its
// backing image, so a program may also draw straight into a pane (a progress bar) with a client
// context over the pane's rectangle.
#pragma once

#include "framework/window/Window.h"

#include <string>
#include <vector>

namespace fw {

inline constexpr unsigned SBPS_NORMAL = 0x0000;
inline constexpr unsigned SBPS_NOBORDERS = 0x0100;
inline constexpr unsigned SBPS_POPOUT = 0x0200;
inline constexpr unsigned SBPS_DISABLED = 0x04000000;
inline constexpr unsigned SBPS_STRETCH = 0x08000000;

class StatusBar : public Window {
    Q_OBJECT

public:
    StatusBar();

    bool Create(Window* parent, UINT id = 0xE801);
    // Sets the panes; each id's text in the string table sets its width and its first text.
    bool SetIndicators(const std::vector<unsigned>& ids);

    int GetCount() const { return static_cast<int>(panes_.size()); }
    int CommandToIndex(unsigned id) const;
    unsigned GetItemID(int index) const;
    // The pane's rectangle in the bar's client coordinates (inside its border).
    bool GetItemRect(int index, Rect& rect) const;
    bool SetPaneText(int index, std::string_view text, bool update = true);
    std::string GetPaneText(int index) const;
    void GetPaneInfo(int index, unsigned& id, unsigned& style, int& width) const;
    void SetPaneInfo(int index, unsigned id, unsigned style, int width);
    // The height the bar asks for.
    int CalcHeight() const;

protected:
    void OnPaint() override;
    void OnSize(UINT type, int cx, int cy) override;

private:
    struct Pane {
        unsigned id = 0;
        unsigned style = SBPS_NORMAL;
        int width = 0;
        std::string text;
        Rect rect;
    };
    void Layout();
    std::vector<Pane> panes_;
};

}  // namespace fw
