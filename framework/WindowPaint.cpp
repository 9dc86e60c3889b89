// The backing image of a window, its invalid region and the paint cycle.
//
// Invalidating adds to the window's invalid region and queues one paint request at low
// priority, so that WM_PAINT comes after the messages and input already waiting, as programs
// expect. The paint handler draws into the backing image; the widget's paint event only copies
// the image to the screen.
#include "framework/PaintContext.h"
#include "framework/Window.h"
#include "framework/WindowPrivate.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>

namespace fw {

// --- Window side ---------------------------------------------------------------------------

void Window::Invalidate(bool erase) {
    InvalidateRgn(QRegion(rect()), erase);
}

void Window::InvalidateRect(const Rect& r, bool erase) {
    InvalidateRgn(QRegion(r.left, r.top, r.Width(), r.Height()), erase);
}

void Window::InvalidateRgn(const QRegion& region, bool erase) {
    const QRegion clipped =
        region.intersected(QRect(0, 0, d_->backing.width(), d_->backing.height()));
    if (clipped.isEmpty())
        return;
    d_->updateRegion += clipped;
    if (erase)
        d_->eraseNeeded = true;
    d_->SchedulePaint();
}

void Window::ValidateRect(const Rect& r) {
    d_->updateRegion -= QRegion(r.left, r.top, r.Width(), r.Height());
    if (d_->updateRegion.isEmpty())
        d_->eraseNeeded = false;
}

void Window::Validate() {
    d_->updateRegion = QRegion();
    d_->eraseNeeded = false;
}

void Window::UpdateWindow() {
    if (d_->updateRegion.isEmpty() || !isVisible())
        return;
    const QRegion painted = d_->updateRegion;
    const unsigned contexts = d_->paintContexts;
    QPointer<Window> alive(this);
    SendMessage(WM_PAINT);
    if (!alive)
        return;
    // A paint context took the invalid region when it began; what the paint itself invalidated
    // after that (a layout change) stays for the next paint. A paint without one is over.
    if (d_->paintContexts == contexts)
        d_->updateRegion = QRegion();
    if (d_->updateRegion.isEmpty())
        d_->eraseNeeded = false;
    repaint(painted);
}

bool Window::GetUpdateRect(Rect* r) const {
    const QRect b = d_->updateRegion.boundingRect();
    if (r)
        *r = Rect{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
    return !d_->updateRegion.isEmpty();
}

QRegion Window::GetUpdateRegion() const {
    return d_->updateRegion;
}
QImage& Window::BackingImage() {
    return d_->backing;
}
const QImage& Window::BackingImage() const {
    return d_->backing;
}
void Window::FlushToScreen(const QRegion& region) {
    update(region);
}
void Window::SetBackgroundColor(const QColor& color) {
    d_->background = color;
}

void Window::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    for (const QRect& r : e->region()) {
        const QRect inImage = r.intersected(d_->backing.rect());
        if (!inImage.isEmpty())
            p.drawImage(inImage.topLeft(), d_->backing, inImage);
        // Outside the client area (the corner between two scroll bars) shows the face colour.
        for (const QRect& rest : QRegion(r).subtracted(QRegion(d_->backing.rect()))) {
            p.fillRect(rest, palette().button());
        }
    }
}

void Window::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    d_->LayoutScrollBars();
    const QSize oldSize = d_->backing.size();
    d_->ResizeBacking();
    const Rect client = d_->ClientRect();
    const bool full = (d_->classStyle & (CS_HREDRAW | CS_VREDRAW)) != 0;
    if (full || oldSize.isEmpty()) {
        Invalidate(true);
    } else {
        QRegion fresh(0, 0, client.Width(), client.Height());
        fresh -= QRegion(0, 0, oldSize.width(), oldSize.height());
        InvalidateRgn(fresh, true);
    }
    UINT type = SIZE_RESTORED;
    if (isWindow() && isMaximized())
        type = SIZE_MAXIMIZED;
    if (isWindow() && isMinimized())
        type = SIZE_MINIMIZED;
    SendMessage(WM_SIZE, type, MAKELPARAM(client.Width(), client.Height()));
}

void Window::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    SendMessage(WM_MOVE, 0, MAKELPARAM(x(), y()));
}

void Window::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!e->spontaneous())
        SendMessage(WM_SHOWWINDOW, 1, 0);
    if (!d_->everShown) {
        d_->everShown = true;
        Invalidate(true);
    } else if (!d_->updateRegion.isEmpty()) {
        d_->SchedulePaint();
    }
}

void Window::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    if (!e->spontaneous())
        SendMessage(WM_SHOWWINDOW, 0, 0);
    if (GetCapture() == this) {
        SendMessage(WM_CANCELMODE);
        if (GetCapture() == this)
            ReleaseCapture();
    }
}

// --- Private side --------------------------------------------------------------------------

void WindowPrivate::ResizeBacking() {
    const Rect c = ClientRect();
    const QSize size(std::max(0, c.Width()), std::max(0, c.Height()));
    if (backing.size() == size)
        return;
    QImage next(size, QImage::Format_RGB32);
    next.fill(background.value_or(QColor(Qt::white)));
    if (!backing.isNull()) {
        QPainter p(&next);
        p.drawImage(0, 0, backing);
    }
    backing = std::move(next);
}

void WindowPrivate::SchedulePaint() {
    if (paintScheduled || !q->isVisible())
        return;
    paintScheduled = true;
    QCoreApplication::postEvent(q, new QEvent(detail::kPaintRequestEvent), Qt::LowEventPriority);
}

void WindowPrivate::DeliverPaint() {
    paintScheduled = false;
    if (updateRegion.isEmpty() || !q->isVisible())
        return;
    const QRegion painted = updateRegion;
    const unsigned contexts = paintContexts;
    QPointer<Window> alive(q);
    q->SendMessage(WM_PAINT);
    if (!alive)
        return;
    // A window that did not validate would be asked again and again: its paint is over now.
    // A paint context took the region when it began; what the paint invalidated after that
    // (a layout change) stays for the next paint.
    if (paintContexts == contexts)
        updateRegion = QRegion();
    if (updateRegion.isEmpty())
        eraseNeeded = false;
    else
        SchedulePaint();
    q->update(painted);
}

// --- Contexts --------------------------------------------------------------------------------

PaintContext::PaintContext(Window& window)
    : DeviceContext(&window.d_->backing), window_(window), region_(window.d_->updateRegion) {
    const bool erase = window.d_->eraseNeeded;
    ++window.d_->paintContexts;
    window.d_->updateRegion = QRegion();
    window.d_->eraseNeeded = false;
    SetBaseClip(region_);
    QPointer<Window> target(&window);
    SetOnFlush([target](const QRect& r) {
        if (target)
            target->update(r);
    });
    if (erase) {
        eraseNeeded_ = window.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(this)) == 0;
    }
}

PaintContext::~PaintContext() {
    Flush();
}

Rect PaintContext::PaintRect() const {
    const QRect b = region_.boundingRect();
    return {b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
}

ClientContext::ClientContext(Window& window) : DeviceContext(&window.d_->backing), window_(window) {
    SetBaseClip(QRegion(0, 0, window.d_->backing.width(), window.d_->backing.height()));
    QPointer<Window> target(&window);
    SetOnFlush([target](const QRect& r) {
        if (target)
            target->update(r);
    });
}

ClientContext::~ClientContext() {
    Flush();
}

}  // namespace fw
