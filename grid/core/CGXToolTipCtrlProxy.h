// Cell tooltips: when the pointer comes to rest over a cell whose style carries the user
// attribute "Tooltip-Text" (51022), that text is shown as the grid window's tooltip.
#pragma once

#include "framework/base/Geometry.h"
#include "framework/window/Message.h"
#include "framework/window/Window.h"
#include "grid/core/GXTypes.h"

#include <QPointer>

#include <string>

inline constexpr std::uint16_t GX_IDS_UA_TOOLTIPTEXT = 51022;
inline constexpr unsigned GX_TOOLTIP_TOOL_ID = 51085;

// What the proxy needs of its grid (the grid core provides it).
class CGXToolTipHost {
public:
    virtual ~CGXToolTipHost() = default;
    // The cell under a client point when the point is on a cell (or a header), widened to the
    // top-left cell of its covered or merged span; FALSE elsewhere.
    virtual bool ToolTipCellFromPoint(fw::Point client, ROWCOL& row, ROWCOL& col) = 0;
    // The cell's "Tooltip-Text" user attribute, read from its composed style.
    virtual std::string ToolTipText(ROWCOL row, ROWCOL col) = 0;
};

class CGXNoToolTipCtrlProxy {
public:
    virtual ~CGXNoToolTipCtrlProxy() = default;
    virtual void RelayEvent(const fw::Message& message) = 0;
    virtual void OnMouseMove(fw::Point client) = 0;
    virtual void UpdateToolRect() = 0;
    virtual void ResetLastCell() = 0;
    virtual bool Create() = 0;
};

class CGXToolTipCtrlProxy : public CGXNoToolTipCtrlProxy {
public:
    CGXToolTipCtrlProxy(CGXToolTipHost* host, fw::Window* gridWindow)
        : host_(host), window_(gridWindow) {}
    ~CGXToolTipCtrlProxy() override;

    void RelayEvent(const fw::Message& message) override;
    void OnMouseMove(fw::Point client) override;
    void UpdateToolRect() override {}
    void ResetLastCell() override;
    bool Create() override;

    bool IsActive() const { return active_; }
    const std::string& GetTipText() const { return tipText_; }
    ROWCOL GetLastRow() const { return lastRow_; }
    ROWCOL GetLastCol() const { return lastCol_; }

private:
    void Show(fw::Point client);
    void Hide();

    CGXToolTipHost* host_;
    QPointer<fw::Window> window_;
    ROWCOL lastRow_ = GX_INVALID;
    ROWCOL lastCol_ = GX_INVALID;
    std::string tipText_;
    bool active_ = false;
};
