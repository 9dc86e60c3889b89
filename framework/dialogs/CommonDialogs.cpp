#include "framework/dialogs/CommonDialogs.h"

#include "framework/base/CommandIds.h"
#include "framework/drawing/DcImpl.h"
#include "framework/drawing/DeviceContext.h"
#include "framework/window/Window.h"

#include <QColorDialog>
#include <QFontDialog>

#include <cmath>

namespace fw {
namespace {

FontDialogHook& FontHook() {
    static FontDialogHook hook;
    return hook;
}

ColorDialogHook& ColorHook() {
    static ColorDialogHook hook;
    return hook;
}

QWidget* ParentWidget(Window* parent) {
    return parent ? parent->window() : nullptr;
}

}  // namespace

FontDialogHook SetFontDialogHook(FontDialogHook hook) {
    FontDialogHook old = std::move(FontHook());
    FontHook() = std::move(hook);
    return old;
}

ColorDialogHook SetColorDialogHook(ColorDialogHook hook) {
    ColorDialogHook old = std::move(ColorHook());
    ColorHook() = std::move(hook);
    return old;
}

LogFont LogFontFromQFont(const QFont& font) {
    LogFont lf;
    const double points =
        font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / ScreenDpi();
    lf.height = -static_cast<int>(std::lround(points * ScreenDpi() / 72.0));
    lf.weight = font.weight();
    lf.italic = font.italic();
    lf.underline = font.underline();
    lf.strikeOut = font.strikeOut();
    lf.faceName = font.family().toStdString();
    return lf;
}

FontDialog::FontDialog(const LogFont* initial, Window* parent)
    : font_(initial ? *initial : DefaultGuiFont()), parent_(parent) {}

int FontDialog::GetSize() const {
    if (font_.height == 0)
        return 0;
    return static_cast<int>(std::lround(std::abs(font_.height) * 720.0 / ScreenDpi()));
}

int FontDialog::DoModal() {
    if (FontHook()) {
        if (auto answer = FontHook()(font_)) {
            if (!*answer)
                return IDCANCEL;
            font_ = **answer;
            return IDOK;
        }
    }
    CancelModeForModal();
    bool ok = false;
    const QFont chosen =
        QFontDialog::getFont(&ok, RealizeFont(font_, 1.0, 1.0), ParentWidget(parent_));
    if (!ok)
        return IDCANCEL;
    font_ = LogFontFromQFont(chosen);
    return IDOK;
}

ColorDialog::ColorDialog(ColorRef initial, Window* parent)
    : color_(initial & 0xFFFFFF), parent_(parent) {}

int ColorDialog::DoModal() {
    if (ColorHook()) {
        if (auto answer = ColorHook()(color_)) {
            if (!*answer)
                return IDCANCEL;
            color_ = **answer & 0xFFFFFF;
            return IDOK;
        }
    }
    CancelModeForModal();
    const QColor c = QColorDialog::getColor(ToQColor(color_), ParentWidget(parent_));
    if (!c.isValid())
        return IDCANCEL;
    color_ = FromQColor(c);
    return IDOK;
}

}  // namespace fw
