// The windowless panels a month calendar draws: the title with its four navigation buttons, the
// bar of weekday names and the day boxes. Each panel paints, from the outside in, an outline
// band, a 3-D frame, its face, its text and a highlight band, as its two option words ask.
#pragma once

#include "framework/base/Color.h"
#include "framework/base/Geometry.h"
#include "framework/drawing/GdiObjects.h"

#include <QDate>

#include <array>
#include <string>

namespace fw {
class DeviceContext;
}

// Bits of a panel's style word.
namespace GXCalStyle {
inline constexpr unsigned kDblClkChooses = 1;
inline constexpr unsigned kFrameSelected = 2;
inline constexpr unsigned kFrameUnselected = 4;
inline constexpr unsigned kOutlineSelected = 8;
inline constexpr unsigned kOutlineUnselected = 0x10;
inline constexpr unsigned kBandSelected = 0x20;
inline constexpr unsigned kBandUnselected = 0x40;
inline constexpr unsigned kCentre = 0x80;
inline constexpr unsigned kGreyOtherMonth = 0x100;
inline constexpr unsigned kFullMonthNames = 0x10000000;
inline constexpr unsigned kFullDayNames = 0x20000000;
}  // namespace GXCalStyle

// Bits of a panel's panel word.
namespace GXCalPanel {
inline constexpr unsigned kSelectable = 0x4000;
inline constexpr unsigned kHighlightable = 0x8000;
inline constexpr unsigned kMonthButtons = 0x80000;
inline constexpr unsigned kYearButtons = 0x100000;
inline constexpr unsigned kClickSelects = 0x1000000;
}  // namespace GXCalPanel

struct GXCalColors {
    fw::ColorRef text = 0;
    fw::ColorRef grey = 0x808080;
    fw::ColorRef buttonText = 0;
    fw::ColorRef face = 0xC0C0C0;
    fw::ColorRef caption = 0x800000;
    fw::ColorRef captionText = 0xFFFFFF;
    fw::ColorRef highlight = 0x0000FF;  // the highlight band: red
    fw::ColorRef window = 0xFFFFFF;
    void Load();
};

class CGXBPanel {
public:
    virtual ~CGXBPanel() = default;

    fw::Rect rect;
    unsigned style = 0;
    unsigned panelStyle = 0;
    fw::LogFont font;
    std::string text;
    bool selected = false;
    bool highlighted = false;
    bool otherMonth = false;

    // Paints the panel with the calendar's colours.
    virtual void Draw(fw::DeviceContext& dc, const GXCalColors& colors) const;

protected:
    virtual fw::ColorRef FaceColor(const GXCalColors& colors) const;
    virtual fw::ColorRef TextColor(const GXCalColors& colors) const;
    virtual unsigned TextFormat() const;
};

class CGXBDayBox : public CGXBPanel {
public:
    QDate date;

protected:
    fw::ColorRef FaceColor(const GXCalColors& colors) const override;
    fw::ColorRef TextColor(const GXCalColors& colors) const override;
};

class CGXBDayBar : public CGXBPanel {
public:
    std::array<std::string, 7> names;
    void Draw(fw::DeviceContext& dc, const GXCalColors& colors) const override;
};

class CGXBCalTitle : public CGXBPanel {
public:
    // The buttons in the order "<<", "<", ">", ">>" with their commands.
    static constexpr std::array<unsigned, 4> kCommands = {20030, 20032, 20029, 20031};
    std::array<fw::Rect, 4> buttons{};
    int pressed = -1;  // index of the button drawn pressed

    // Places the buttons inside the title's rectangle by its panel word.
    void LayoutButtons();
    // The index of the shown button under the point, or -1.
    int ButtonAt(fw::Point p) const;
    bool ButtonShown(int index) const;
    void Draw(fw::DeviceContext& dc, const GXCalColors& colors) const override;

protected:
    fw::ColorRef FaceColor(const GXCalColors& colors) const override { return colors.caption; }
    fw::ColorRef TextColor(const GXCalColors& colors) const override { return colors.captionText; }
};
