#include "framework/controls/Static.h"

#include <QLabel>

namespace fw {

bool Static::Create(std::string_view text, DWORD style, const Rect& rect, Window* parent, UINT id) {
    if (!Window::Create(parent, rect, id, style | WS_CHILD))
        return false;
    label_ = new QLabel(this);
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
    if ((style & 0xF) == SS_CENTER)
        align = Qt::AlignHCenter | Qt::AlignTop;
    if ((style & 0xF) == SS_RIGHT)
        align = Qt::AlignRight | Qt::AlignTop;
    label_->setAlignment(align);
    label_->setWordWrap(true);
    label_->setTextFormat(Qt::PlainText);
    if (style & SS_SUNKEN)
        label_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    SetInner(label_);
    setFocusProxy(nullptr);
    SetWindowText(text);
    return true;
}

void Static::SetWindowText(std::string_view text) {
    text_ = std::string(text);
    if (!label_)
        return;
    QString shown = QString::fromStdString(text_);
    if (!(GetStyle() & SS_NOPREFIX)) {
        // The access-key marker is not shown; "&&" shows one "&".
        shown.replace("&&", QString(QChar(0xE000)));
        shown.remove('&');
        shown.replace(QChar(0xE000), "&");
    }
    label_->setText(shown);
}

void Static::SetPicture(const QPixmap& picture) {
    if (label_)
        label_->setPixmap(picture);
}

}  // namespace fw
