#include "framework/controls/SpinButton.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QToolButton>
#include <QVBoxLayout>

namespace fw {

bool SpinButton::Create(DWORD style, const Rect& rect, Window* parent, UINT id) {
    if (!Window::Create(parent, rect, id, style | WS_CHILD))
        return false;
    auto* box = new QWidget(this);
    QBoxLayout* layout = (style & UDS_HORZ) ? static_cast<QBoxLayout*>(new QHBoxLayout(box))
                                            : static_cast<QBoxLayout*>(new QVBoxLayout(box));
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* up = new QToolButton(box);
    auto* down = new QToolButton(box);
    up->setArrowType((style & UDS_HORZ) ? Qt::RightArrow : Qt::UpArrow);
    down->setArrowType((style & UDS_HORZ) ? Qt::LeftArrow : Qt::DownArrow);
    up->setAutoRepeat(true);
    down->setAutoRepeat(true);
    up->setObjectName("up");
    down->setObjectName("down");
    if (style & UDS_HORZ) {
        layout->addWidget(down);
        layout->addWidget(up);
    } else {
        layout->addWidget(up);
        layout->addWidget(down);
    }
    connect(up, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(down, &QToolButton::clicked, this, [this] { Step(-1); });
    SetInner(box);
    return true;
}

int SpinButton::Clamp(int pos) const {
    const int lo = std::min(lower_, upper_);
    const int hi = std::max(lower_, upper_);
    return std::clamp(pos, lo, hi);
}

void SpinButton::SetRange(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    pos_ = Clamp(pos_);
}

void SpinButton::GetRange(int& lower, int& upper) const {
    lower = lower_;
    upper = upper_;
}

int SpinButton::SetPos(int pos) {
    const int old = pos_;
    pos_ = Clamp(pos);
    if (buddy_ && (GetStyle() & UDS_SETBUDDYINT))
        buddy_->SetWindowText(std::to_string(pos_));
    return old;
}

void SpinButton::SetBuddy(Window* buddy) {
    buddy_ = buddy;
    SetPos(pos_);
}

void SpinButton::Step(int delta) {
    // "Up" goes toward the upper end of the range, whichever way round the range is.
    const int dir = upper_ >= lower_ ? delta : -delta;
    SpinDelta d;
    d.hdr.code = UDN_DELTAPOS;
    d.pos = pos_;
    d.delta = dir;
    QPointer<SpinButton> alive(this);
    if (NotifyParent(d.hdr) != 0 || !alive)
        return;
    int next = pos_ + d.delta;
    if (GetStyle() & UDS_WRAP) {
        const int lo = std::min(lower_, upper_);
        const int hi = std::max(lower_, upper_);
        if (next > hi)
            next = lo;
        if (next < lo)
            next = hi;
    }
    SetPos(next);
    if (Window* p = GetParentWindow()) {
        const UINT msg = (GetStyle() & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
        p->SendMessage(msg, MAKEWPARAM(SB_THUMBPOSITION, pos_),
                       static_cast<LPARAM>(Handle().value));
    }
}

}  // namespace fw
