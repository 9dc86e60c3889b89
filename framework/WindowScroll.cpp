// Window scroll bars (range, page, position, the scroll messages they send) and scrolling the
// contents of a window.
#include "framework/Window.h"
#include "framework/WindowPrivate.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>

namespace fw {
namespace {

bool Scrollable(const ScrollInfo& i) {
    return i.max > i.min &&
           (i.page == 0 || static_cast<long long>(i.page) <= static_cast<long long>(i.max) - i.min);
}

int MaxPos(const ScrollInfo& i) {
    const long long m =
        static_cast<long long>(i.max) - (i.page > 0 ? static_cast<long long>(i.page) - 1 : 0);
    return static_cast<int>(std::max<long long>(i.min, m));
}

int BarExtent(const QWidget* w) {
    return w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w);
}

}  // namespace

// Connects one toolkit scroll bar to the window's scroll messages.
class WindowScrollBars {
public:
    static ScrollBarState& Ensure(Window& w, int bar);
    static void Sync(Window& w, int bar);
    static void OnAction(Window& w, int bar, int action);
    static void OnRelease(Window& w, int bar);
};

namespace {

class ReleaseWatch final : public QObject {
public:
    ReleaseWatch(Window* w, int bar) : QObject(w), window_(w), bar_(bar) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonRelease && window_) {
            QPointer<Window> w = window_;
            WindowScrollBars::OnRelease(*w, bar_);
        }
        return false;
    }

private:
    QPointer<Window> window_;
    int bar_;
};

}  // namespace

ScrollBarState& WindowScrollBars::Ensure(Window& w, int bar) {
    ScrollBarState& s = w.d_->bars[static_cast<std::size_t>(bar)];
    if (s.widget)
        return s;
    s.widget = new QScrollBar(bar == SB_VERT ? Qt::Vertical : Qt::Horizontal, &w);
    s.widget->setFocusPolicy(Qt::NoFocus);
    s.widget->hide();
    QObject::connect(s.widget, &QAbstractSlider::actionTriggered, &w,
                     [&w, bar](int action) { OnAction(w, bar, action); });
    s.widget->installEventFilter(new ReleaseWatch(&w, bar));
    return s;
}

void WindowScrollBars::Sync(Window& w, int bar) {
    ScrollBarState& s = Ensure(w, bar);
    const bool scrollable = Scrollable(s.info);
    s.widget->setRange(s.info.min, MaxPos(s.info));
    s.widget->setPageStep(static_cast<int>(std::max(1u, s.info.page)));
    s.widget->setSingleStep(1);
    if (!s.tracking)
        s.widget->setValue(s.info.pos);
    s.widget->setEnabled(scrollable);
    const bool visible = s.shown && (scrollable || s.disableNoScroll);
    if (visible != s.widget->isVisibleTo(&w)) {
        s.widget->setVisible(visible);
        w.d_->LayoutScrollBars();
        w.d_->ResizeBacking();
        if (w.IsCreated()) {
            const Rect c = w.d_->ClientRect();
            w.Invalidate(true);
            w.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.Width(), c.Height()));
        }
    }
}

void WindowScrollBars::OnAction(Window& w, int bar, int action) {
    ScrollBarState& s = w.d_->bars[static_cast<std::size_t>(bar)];
    unsigned code = 0;
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            code = SB_LINEDOWN;
            break;
        case QAbstractSlider::SliderSingleStepSub:
            code = SB_LINEUP;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            code = SB_PAGEDOWN;
            break;
        case QAbstractSlider::SliderPageStepSub:
            code = SB_PAGEUP;
            break;
        case QAbstractSlider::SliderToMinimum:
            code = SB_TOP;
            break;
        case QAbstractSlider::SliderToMaximum:
            code = SB_BOTTOM;
            break;
        case QAbstractSlider::SliderMove:
            code = SB_THUMBTRACK;
            break;
        default:
            return;
    }
    const UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    if (code == SB_THUMBTRACK) {
        s.tracking = true;
        s.info.trackPos = s.widget->sliderPosition();
        w.SendMessage(msg, MAKEWPARAM(SB_THUMBTRACK, s.info.trackPos));
        return;
    }
    // The program moves the bar itself (SetScrollPos); the toolkit's own step is undone.
    s.widget->setSliderPosition(s.info.pos);
    w.SendMessage(msg, MAKEWPARAM(static_cast<int>(code), 0));
}

void WindowScrollBars::OnRelease(Window& w, int bar) {
    ScrollBarState& s = w.d_->bars[static_cast<std::size_t>(bar)];
    const UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    QPointer<Window> alive(&w);
    if (s.tracking) {
        s.tracking = false;
        w.SendMessage(msg, MAKEWPARAM(SB_THUMBPOSITION, s.info.trackPos));
        if (!alive)
            return;
    }
    w.SendMessage(msg, MAKEWPARAM(SB_ENDSCROLL, 0));
    if (alive)
        Sync(w, bar);
}

int Window::SetScrollInfo(int bar, const ScrollInfo& info, bool) {
    if (bar != SB_HORZ && bar != SB_VERT)
        return 0;
    ScrollBarState& s = WindowScrollBars::Ensure(*this, bar);
    if (info.mask & SIF_RANGE) {
        s.info.min = info.min;
        s.info.max = info.max;
    }
    if (info.mask & SIF_PAGE)
        s.info.page = info.page;
    if (info.mask & SIF_POS)
        s.info.pos = info.pos;
    s.disableNoScroll = (info.mask & SIF_DISABLENOSCROLL) != 0;
    s.info.pos = std::clamp(s.info.pos, s.info.min, MaxPos(s.info));
    WindowScrollBars::Sync(*this, bar);
    return s.info.pos;
}

bool Window::GetScrollInfo(int bar, ScrollInfo& info) const {
    if (bar != SB_HORZ && bar != SB_VERT)
        return false;
    const ScrollBarState& s = d_->bars[static_cast<std::size_t>(bar)];
    const unsigned mask = info.mask;
    info = s.info;
    info.mask = mask;
    if (!s.tracking)
        info.trackPos = s.info.pos;
    return true;
}

int Window::SetScrollPos(int bar, int pos, bool redraw) {
    const int old = GetScrollPos(bar);
    ScrollInfo i;
    i.mask = SIF_POS;
    i.pos = pos;
    SetScrollInfo(bar, i, redraw);
    return old;
}

int Window::GetScrollPos(int bar) const {
    if (bar != SB_HORZ && bar != SB_VERT)
        return 0;
    return d_->bars[static_cast<std::size_t>(bar)].info.pos;
}

void Window::SetScrollRange(int bar, int min, int max, bool redraw) {
    ScrollInfo i;
    i.mask = SIF_RANGE;
    i.min = min;
    i.max = max;
    SetScrollInfo(bar, i, redraw);
}

void Window::GetScrollRange(int bar, int* min, int* max) const {
    ScrollInfo i;
    GetScrollInfo(bar, i);
    if (min)
        *min = i.min;
    if (max)
        *max = i.max;
}

void Window::ShowScrollBar(int bar, bool show) {
    for (int b : {SB_HORZ, SB_VERT}) {
        if (bar != b && bar != SB_BOTH)
            continue;
        ScrollBarState& s = WindowScrollBars::Ensure(*this, b);
        s.shown = show;
        d_->style = show ? (d_->style | (b == SB_VERT ? WS_VSCROLL : WS_HSCROLL))
                         : (d_->style & ~(b == SB_VERT ? WS_VSCROLL : WS_HSCROLL));
        if (show)
            s.disableNoScroll = true;  // shown on request even without a range
        WindowScrollBars::Sync(*this, b);
    }
}

bool Window::IsScrollBarVisible(int bar) const {
    if (bar != SB_HORZ && bar != SB_VERT)
        return false;
    const ScrollBarState& s = d_->bars[static_cast<std::size_t>(bar)];
    return s.widget && s.widget->isVisibleTo(this);
}

QWidget* Window::ScrollBarWidget(int bar) const {
    if (bar != SB_HORZ && bar != SB_VERT)
        return nullptr;
    return d_->bars[static_cast<std::size_t>(bar)].widget;
}

Rect WindowPrivate::ClientRect() const {
    int w = q->width();
    int h = q->height();
    if (q->IsScrollBarVisible(SB_VERT))
        w -= BarExtent(q);
    if (q->IsScrollBarVisible(SB_HORZ))
        h -= BarExtent(q);
    return {0, 0, std::max(0, w), std::max(0, h)};
}

Rect Window::GetClientRectWithoutScrollBars() const {
    return {0, 0, std::max(0, width()), std::max(0, height())};
}

void WindowPrivate::LayoutScrollBars() {
    const Rect c = ClientRect();
    const int ext = BarExtent(q);
    if (auto* v = bars[SB_VERT].widget)
        v->setGeometry(c.right, 0, ext, c.Height());
    if (auto* h = bars[SB_HORZ].widget)
        h->setGeometry(0, c.bottom, c.Width(), ext);
}

void Window::ScrollWindow(int dx, int dy, const Rect* scrollRect, const Rect* clipRect) {
    const Rect client = d_->ClientRect();
    Rect area = scrollRect ? Intersect(*scrollRect, client) : client;
    if (clipRect)
        area = Intersect(area, *clipRect);
    if (area.IsEmpty() || (dx == 0 && dy == 0))
        return;
    const QRect qa(area.left, area.top, area.Width(), area.Height());
    const QRect source = qa.translated(-dx, -dy).intersected(qa);
    if (!source.isEmpty()) {
        const QImage moved = d_->backing.copy(source);
        QPainter p(&d_->backing);
        p.drawImage(source.topLeft() + QPoint(dx, dy), moved);
    }
    // The invalid part moves with the pixels; what is uncovered becomes invalid.
    const QRegion inArea = d_->updateRegion.intersected(qa);
    d_->updateRegion -= inArea;
    d_->updateRegion += inArea.translated(dx, dy).intersected(qa);
    InvalidateRgn(QRegion(qa) - QRegion(source.translated(dx, dy)), true);
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child == d_->bars[0].widget || child == d_->bars[1].widget || child->isWindow())
            continue;
        if (scrollRect && !child->geometry().intersects(qa))
            continue;
        child->move(child->pos() + QPoint(dx, dy));
    }
    update(qa);
}

}  // namespace fw
