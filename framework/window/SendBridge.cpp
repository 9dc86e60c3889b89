#include "framework/window/SendBridge.h"

#include "framework/window/Window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace fw::detail {
namespace {

const QEvent::Type kSendWakeEvent = static_cast<QEvent::Type>(QEvent::User + 0x403);

struct Request {
    WindowHandle target;
    Message msg;
    LRESULT result = 0;
    bool done = false;
};

// Lives on the user-interface thread as a child of the application object: runs queued sends
// from the event loop, and closes the bridge when the application goes away.
class Pump final : public QObject {
public:
    explicit Pump(QObject* parent) : QObject(parent) {}
    bool event(QEvent* e) override {
        if (e->type() != kSendWakeEvent)
            return QObject::event(e);
        SendBridge::Instance().ServicePending();
        return true;
    }
};

}  // namespace

struct SendBridge::Impl {
    std::mutex mutex;
    std::condition_variable cv;
    std::deque<std::shared_ptr<Request>> pending;
    QPointer<Pump> pump;
    bool open = false;
};

SendBridge& SendBridge::Instance() {
    static SendBridge bridge;
    return bridge;
}

SendBridge::Impl& SendBridge::impl() {
    static Impl impl;
    return impl;
}

void SendBridge::Attach() {
    Impl& d = impl();
    std::lock_guard lock(d.mutex);
    if (d.pump)
        return;
    auto* app = QCoreApplication::instance();
    if (!app)
        return;
    d.pump = new Pump(app);
    d.open = true;
    QObject::connect(d.pump, &QObject::destroyed, [] {
        Impl& dd = SendBridge::Instance().impl();
        std::deque<std::shared_ptr<Request>> dropped;
        {
            std::lock_guard l(dd.mutex);
            dd.open = false;
            dropped.swap(dd.pending);
        }
        dd.cv.notify_all();
    });
}

LRESULT SendBridge::SendFromWorker(WindowHandle target, Message msg,
                                   std::chrono::milliseconds timeout, bool* delivered) {
    Impl& d = impl();
    if (delivered)
        *delivered = false;
    auto req = std::make_shared<Request>();
    req->target = target;
    req->msg = std::move(msg);
    std::unique_lock lock(d.mutex);
    if (!d.open || !d.pump)
        return 0;
    d.pending.push_back(req);
    QCoreApplication::postEvent(d.pump, new QEvent(kSendWakeEvent));
    d.cv.notify_all();
    auto finished = [&] { return req->done || !d.open; };
    if (timeout.count() < 0) {
        d.cv.wait(lock, finished);
    } else {
        d.cv.wait_for(lock, timeout, finished);
    }
    if (!req->done) {
        // Not run yet (time-out or shut-down): withdraw it so that it never runs late.
        std::erase(d.pending, req);
        return 0;
    }
    if (delivered)
        *delivered = true;
    return req->result;
}

void SendBridge::ServicePending() {
    Impl& d = impl();
    for (;;) {
        std::shared_ptr<Request> req;
        {
            std::lock_guard lock(d.mutex);
            if (d.pending.empty())
                return;
            req = d.pending.front();
            d.pending.pop_front();
        }
        Window* w = Window::FromHandle(req->target);
        LRESULT r = w ? w->SendMessage(req->msg) : 0;
        {
            std::lock_guard lock(d.mutex);
            req->result = r;
            req->done = true;
        }
        d.cv.notify_all();
    }
}

bool SendBridge::WaitServicingSends(const std::function<bool()>& done,
                                    std::chrono::milliseconds timeout) {
    Impl& d = impl();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    constexpr auto kSlice = std::chrono::milliseconds(5);
    for (;;) {
        ServicePending();
        if (done())
            return true;
        const auto now = std::chrono::steady_clock::now();
        if (timeout.count() >= 0 && now >= deadline)
            return false;
        auto until = now + kSlice;
        if (timeout.count() >= 0 && until > deadline)
            until = deadline;
        std::unique_lock lock(d.mutex);
        d.cv.wait_until(lock, until, [&] { return !d.pending.empty(); });
    }
}

void SendBridge::Notify() {
    impl().cv.notify_all();
}

}  // namespace fw::detail

namespace fw {

bool WaitServicingSends(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    return detail::SendBridge::Instance().WaitServicingSends(done, timeout);
}

}  // namespace fw
