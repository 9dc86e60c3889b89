#include "framework/controls/TabCtrl.h"

#include <QPointer>
#include <QTabBar>

namespace fw {

bool TabCtrl::Create(DWORD style, const Rect& rect, Window* parent, UINT id) {
    if (!Window::Create(parent, rect, id, style | WS_CHILD))
        return false;
    bar_ = new QTabBar(this);
    bar_->setExpanding(false);
    connect(bar_, &QTabBar::currentChanged, this, [this](int index) {
        if (settingByCode_) {
            current_ = index;
            return;
        }
        QPointer<TabCtrl> alive(this);
        NotifyHeader changing;
        changing.code = TCN_SELCHANGING;
        if (NotifyParent(changing) != 0 && alive) {
            settingByCode_ = true;
            bar_->setCurrentIndex(current_);
            settingByCode_ = false;
            return;
        }
        if (!alive)
            return;
        current_ = index;
        NotifyHeader changed;
        changed.code = TCN_SELCHANGE;
        NotifyParent(changed);
    });
    SetInner(bar_);
    return true;
}

int TabCtrl::InsertItem(int index, std::string_view text) {
    settingByCode_ = true;
    const int i =
        bar_->insertTab(index, QString::fromUtf8(text.data(), static_cast<int>(text.size())));
    settingByCode_ = false;
    current_ = bar_->currentIndex();
    return i;
}

bool TabCtrl::DeleteItem(int index) {
    if (index < 0 || index >= bar_->count())
        return false;
    settingByCode_ = true;
    bar_->removeTab(index);
    settingByCode_ = false;
    current_ = bar_->currentIndex();
    return true;
}

bool TabCtrl::DeleteAllItems() {
    while (bar_->count() > 0) DeleteItem(0);
    return true;
}

int TabCtrl::GetItemCount() const {
    return bar_->count();
}
int TabCtrl::GetCurSel() const {
    return bar_->currentIndex();
}

int TabCtrl::SetCurSel(int index) {
    if (index < 0 || index >= bar_->count())
        return -1;
    const int old = bar_->currentIndex();
    settingByCode_ = true;
    bar_->setCurrentIndex(index);
    settingByCode_ = false;
    return old;
}

std::string TabCtrl::GetItemText(int index) const {
    return bar_->tabText(index).toStdString();
}

bool TabCtrl::GetItemRect(int index, Rect& rect) const {
    if (index < 0 || index >= bar_->count())
        return false;
    const QRect r = bar_->tabRect(index);
    rect = Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    return true;
}

void TabCtrl::AdjustRect(bool larger, Rect& rect) const {
    const int tabs = bar_->sizeHint().height();
    if (larger) {
        rect.top -= tabs;
    } else {
        rect.top += tabs;
    }
}

}  // namespace fw
