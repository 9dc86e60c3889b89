// The font and colour dialogs, each with a hook through which tests answer it. The open and
// save dialogs are in FileDialog.h, the find and replace dialog in FindReplaceDialog.h.
#pragma once

#include "framework/base/Color.h"
#include "framework/drawing/GdiObjects.h"

#include <functional>
#include <optional>

class QFont;

namespace fw {

class Window;

// A hook answers with the chosen value, or with an empty inner optional for Cancel; an empty
// outer optional lets the real dialog appear.
using FontDialogHook = std::function<std::optional<std::optional<LogFont>>(const LogFont& initial)>;
using ColorDialogHook = std::function<std::optional<std::optional<ColorRef>>(ColorRef initial)>;
FontDialogHook SetFontDialogHook(FontDialogHook hook);
ColorDialogHook SetColorDialogHook(ColorDialogHook hook);

class FontDialog {
public:
    explicit FontDialog(const LogFont* initial = nullptr, Window* parent = nullptr);
    int DoModal();  // IDOK or IDCANCEL
    const LogFont& GetLogFont() const { return font_; }
    std::string GetFaceName() const { return font_.faceName; }
    // The size in tenths of a point.
    int GetSize() const;

private:
    LogFont font_;
    Window* parent_;
};

class ColorDialog {
public:
    explicit ColorDialog(ColorRef initial = 0, Window* parent = nullptr);
    int DoModal();
    ColorRef GetColor() const { return color_; }

private:
    ColorRef color_;
    Window* parent_;
};

// The logical font of a toolkit font (height negative: the character height in pixels at
// the screen's resolution) and back.
LogFont LogFontFromQFont(const QFont& font);

}  // namespace fw
