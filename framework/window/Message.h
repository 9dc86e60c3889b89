// One window message: a number, two parameters and an optional payload that the message owns.
//
// A worker thread that hands data to a window (a node's hardware address, a text for the status
// bar) puts it in the payload instead of casting a heap pointer into a parameter: the payload is
// freed with the message unless the receiving handler takes it, so nothing leaks when a post
// fails, when a window closes with messages still queued, or when a handler ignores one.
#pragma once

#include "framework/window/Messages.h"

#include <memory>
#include <typeinfo>
#include <utility>

namespace fw {

class Payload {
public:
    Payload() = default;
    template <class T>
    explicit Payload(std::unique_ptr<T> value) {
        if (value)
            holder_ = std::make_unique<Holder<T>>(std::move(value));
    }
    template <class T>
    static Payload Make(T value) {
        return Payload(std::make_unique<T>(std::move(value)));
    }

    bool HasValue() const { return holder_ != nullptr; }
    explicit operator bool() const { return HasValue(); }

    // The held object when it is a T, else null; the payload keeps it.
    template <class T>
    T* Get() const {
        auto* h = dynamic_cast<Holder<T>*>(holder_.get());
        return h ? h->value.get() : nullptr;
    }
    // Moves the held object out when it is a T (the payload is then empty); else null and the
    // payload keeps what it has.
    template <class T>
    std::unique_ptr<T> Take() {
        auto* h = dynamic_cast<Holder<T>*>(holder_.get());
        if (!h)
            return nullptr;
        std::unique_ptr<T> out = std::move(h->value);
        holder_.reset();
        return out;
    }
    void Reset() { holder_.reset(); }

private:
    struct HolderBase {
        virtual ~HolderBase() = default;
    };
    template <class T>
    struct Holder final : HolderBase {
        explicit Holder(std::unique_ptr<T> v) : value(std::move(v)) {}
        std::unique_ptr<T> value;
    };
    std::unique_ptr<HolderBase> holder_;
};

struct Message {
    UINT id = WM_NULL;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    Payload payload;
};

}  // namespace fw
