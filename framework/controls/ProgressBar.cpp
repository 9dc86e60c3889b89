#include "framework/controls/ProgressBar.h"

#include <QProgressBar>

namespace fw {

bool ProgressBar::Create(DWORD style, const Rect& rect, Window* parent, UINT id) {
    if (!Window::Create(parent, rect, id, style | WS_CHILD))
        return false;
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    SetInner(bar_);
    setFocusProxy(nullptr);
    return true;
}

void ProgressBar::SetRange(int lower, int upper) {
    bar_->setRange(lower, std::max(lower, upper));
    bar_->setValue(std::clamp(bar_->value(), bar_->minimum(), bar_->maximum()));
}

int ProgressBar::SetPos(int pos) {
    const int old = bar_->value();
    bar_->setValue(std::clamp(pos, bar_->minimum(), bar_->maximum()));
    return old;
}

int ProgressBar::GetPos() const {
    return bar_->value();
}
int ProgressBar::OffsetPos(int delta) {
    return SetPos(bar_->value() + delta);
}

int ProgressBar::SetStep(int step) {
    const int old = step_;
    step_ = step;
    return old;
}

int ProgressBar::StepIt() {
    const int old = bar_->value();
    int next = old + step_;
    if (next > bar_->maximum())
        next = bar_->minimum() + (next - bar_->maximum() - 1);
    bar_->setValue(std::clamp(next, bar_->minimum(), bar_->maximum()));
    return old;
}

}  // namespace fw
