#include "framework/window/WindowRegistry.h"

#include "framework/window/Window.h"

#include <QCoreApplication>

#include <atomic>
#include <mutex>
#include <unordered_map>

namespace fw::detail {

struct WindowRegistry::Impl {
    struct Entry {
        Window* window = nullptr;
        std::shared_ptr<PostedQueue> queue;
    };
    mutable std::mutex mutex;
    std::unordered_map<WindowHandle, Entry> entries;
    std::atomic<std::uint64_t> next{1};
};

WindowRegistry& WindowRegistry::Instance() {
    static WindowRegistry registry;
    return registry;
}

WindowRegistry::Impl& WindowRegistry::impl() const {
    static Impl impl;
    return impl;
}

WindowHandle WindowRegistry::Register(Window* window, std::shared_ptr<PostedQueue> queue) {
    Impl& d = impl();
    WindowHandle h{d.next.fetch_add(1)};
    std::lock_guard lock(d.mutex);
    d.entries[h] = Impl::Entry{window, std::move(queue)};
    return h;
}

void WindowRegistry::Unregister(WindowHandle handle) {
    Impl& d = impl();
    std::shared_ptr<PostedQueue> queue;
    {
        std::lock_guard lock(d.mutex);
        auto it = d.entries.find(handle);
        if (it == d.entries.end())
            return;
        queue = std::move(it->second.queue);
        d.entries.erase(it);
    }
    if (queue)
        queue->Close();
}

Window* WindowRegistry::Find(WindowHandle handle) const {
    Impl& d = impl();
    std::lock_guard lock(d.mutex);
    auto it = d.entries.find(handle);
    return it == d.entries.end() ? nullptr : it->second.window;
}

bool WindowRegistry::Post(WindowHandle handle, Message& msg) const {
    Impl& d = impl();
    // The lock is held across the wake so that the window cannot be destroyed between finding
    // it and handing Qt the event for it.
    std::lock_guard lock(d.mutex);
    auto it = d.entries.find(handle);
    if (it == d.entries.end())
        return false;
    bool wake = false;
    if (!it->second.queue->Push(msg, wake))
        return false;
    if (wake) {
        QCoreApplication::postEvent(static_cast<QObject*>(it->second.window),
                                    new QEvent(kPostedWakeEvent));
    }
    return true;
}

}  // namespace fw::detail
