// A static text (or picture) and the group box's frame text. "&" marks an access key unless the
// style has SS_NOPREFIX.
#pragma once

#include "framework/controls/Control.h"

#include <QPixmap>

class QLabel;

namespace fw {

class Static : public Control {
    Q_OBJECT

public:
    bool Create(std::string_view text, DWORD style, const Rect& rect, Window* parent, UINT id);
    void SetWindowText(std::string_view text) override;
    std::string GetWindowText() const override { return text_; }
    void SetPicture(const QPixmap& picture);

private:
    QLabel* label_ = nullptr;
    std::string text_;
};

}  // namespace fw
