#include "grid/extras/CGXBCalendarPanels.h"

#include "framework/drawing/DeviceContext.h"

void GXCalColors::Load() {
    text = fw::GetSysColor(fw::COLOR_WINDOWTEXT);
    grey = fw::GetSysColor(fw::COLOR_GRAYTEXT);
    buttonText = fw::GetSysColor(fw::COLOR_BTNTEXT);
    face = fw::GetSysColor(fw::COLOR_BTNFACE);
    caption = fw::GetSysColor(fw::COLOR_ACTIVECAPTION);
    captionText = fw::GetSysColor(fw::COLOR_CAPTIONTEXT);
    window = fw::GetSysColor(fw::COLOR_WINDOW);
}

fw::ColorRef CGXBPanel::FaceColor(const GXCalColors& colors) const {
    return colors.face;
}

fw::ColorRef CGXBPanel::TextColor(const GXCalColors& colors) const {
    return colors.buttonText;
}

unsigned CGXBPanel::TextFormat() const {
    return fw::DT_SINGLELINE | fw::DT_NOPREFIX |
           ((style & GXCalStyle::kCentre) ? fw::DT_CENTER | fw::DT_VCENTER : 0u);
}

void CGXBPanel::Draw(fw::DeviceContext& dc, const GXCalColors& colors) const {
    using namespace GXCalStyle;
    fw::Rect r = rect;
    if (style & (selected ? kOutlineSelected : kOutlineUnselected)) {
        dc.FrameRect(r, fw::Brush::Solid(colors.text));
        r.Inflate(-1, -1);
    }
    if (style & (selected ? kFrameSelected : kFrameUnselected)) {
        // Three pixels wide: sunken while selected, raised otherwise.
        const fw::ColorRef light = fw::GetSysColor(fw::COLOR_BTNHIGHLIGHT);
        const fw::ColorRef dark = fw::GetSysColor(fw::COLOR_BTNSHADOW);
        for (int i = 0; i < 3 && r.Width() > 2 && r.Height() > 2; ++i) {
            dc.Draw3dRect(r, selected ? dark : light, selected ? light : dark);
            r.Inflate(-1, -1);
        }
    }
    dc.FillSolidRect(r, FaceColor(colors));
    if (!text.empty()) {
        fw::Rect t = r;
        if (!(style & kCentre)) {
            t.left += rect.Width() / 10;
            t.top += rect.Height() / 10;
        }
        const fw::LogFont old = dc.SelectFont(font);
        dc.SetBkMode(fw::TRANSPARENT);
        dc.SetTextColor(TextColor(colors));
        dc.DrawText(text, t, TextFormat());
        dc.SelectFont(old);
    }
    if (highlighted && (style & (selected ? kBandSelected : kBandUnselected))) {
        fw::Rect band = rect;
        for (int i = 0; i < 3; ++i) {
            dc.FrameRect(band, fw::Brush::Solid(colors.highlight));
            band.Inflate(-1, -1);
        }
    }
}

fw::ColorRef CGXBDayBox::FaceColor(const GXCalColors& colors) const {
    return selected ? colors.caption : colors.window;
}

fw::ColorRef CGXBDayBox::TextColor(const GXCalColors& colors) const {
    if (selected)
        return colors.captionText;
    if (otherMonth && (style & GXCalStyle::kGreyOtherMonth))
        return colors.grey;
    return colors.text;
}

void CGXBDayBar::Draw(fw::DeviceContext& dc, const GXCalColors& colors) const {
    CGXBPanel::Draw(dc, colors);
    const fw::LogFont old = dc.SelectFont(font);
    dc.SetBkMode(fw::TRANSPARENT);
    dc.SetTextColor(colors.buttonText);
    for (int i = 0; i < 7; ++i) {
        fw::Rect cell{rect.left + rect.Width() * i / 7, rect.top,
                      rect.left + rect.Width() * (i + 1) / 7, rect.bottom};
        dc.DrawText(names[static_cast<std::size_t>(i)], cell,
                    fw::DT_CENTER | fw::DT_VCENTER | fw::DT_SINGLELINE | fw::DT_NOPREFIX);
    }
    dc.SelectFont(old);
}

bool CGXBCalTitle::ButtonShown(int index) const {
    const bool yearButton = index == 0 || index == 3;
    return (panelStyle & (yearButton ? GXCalPanel::kYearButtons : GXCalPanel::kMonthButtons)) != 0;
}

void CGXBCalTitle::LayoutButtons() {
    const int w = rect.Width();
    const int top = rect.top + rect.Height() / 5;
    const int bottom = rect.top + rect.Height() * 4 / 5;
    const bool years = (panelStyle & GXCalPanel::kYearButtons) != 0;
    const int monthIn = years ? 30 : 10;
    const int monthOut = years ? 50 : 30;
    buttons[0] = {rect.left + w * 10 / 200, top, rect.left + w * 30 / 200, bottom};
    buttons[1] = {rect.left + w * monthIn / 200, top, rect.left + w * monthOut / 200, bottom};
    buttons[2] = {rect.right - w * monthOut / 200, top, rect.right - w * monthIn / 200, bottom};
    buttons[3] = {rect.right - w * 30 / 200, top, rect.right - w * 10 / 200, bottom};
}

int CGXBCalTitle::ButtonAt(fw::Point p) const {
    for (int i = 0; i < 4; ++i)
        if (ButtonShown(i) && buttons[static_cast<std::size_t>(i)].Contains(p))
            return i;
    return -1;
}

void CGXBCalTitle::Draw(fw::DeviceContext& dc, const GXCalColors& colors) const {
    CGXBPanel::Draw(dc, colors);
    static const char* const captions[4] = {"<<", "<", ">", ">>"};
    for (int i = 0; i < 4; ++i) {
        if (!ButtonShown(i))
            continue;
        fw::Rect b = buttons[static_cast<std::size_t>(i)];
        dc.FillSolidRect(b, colors.face);
        fw::Rect edge = b;
        dc.DrawEdge(edge, i == pressed ? fw::EDGE_SUNKEN : fw::EDGE_RAISED, fw::BF_RECT);
        if (i == pressed)
            b.Offset(1, 1);
        fw::LogFont small = font;
        small.height = font.height / 2;
        const fw::LogFont old = dc.SelectFont(small);
        dc.SetBkMode(fw::TRANSPARENT);
        dc.SetTextColor(colors.buttonText);
        dc.DrawText(captions[i], b, fw::DT_CENTER | fw::DT_VCENTER | fw::DT_SINGLELINE);
        dc.SelectFont(old);
    }
}
