#include "os/NamedMutex.h"

#include <pthread.h>
#include <time.h>

#include <cerrno>

namespace os {

namespace {
constexpr uint32_t kMutexMagic = 0x49584F4D;  // "IXOM"

bool InitMutex(pthread_mutex_t* mutex) {
    pthread_mutexattr_t attr;
    if (pthread_mutexattr_init(&attr) != 0) {
        return false;
    }
    const bool ok = pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED) == 0 &&
                    pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST) == 0 &&
                    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE) == 0 &&
                    pthread_mutex_init(mutex, &attr) == 0;
    pthread_mutexattr_destroy(&attr);
    return ok;
}

timespec MonotonicIn(uint32_t ms) {
    timespec at{};
    clock_gettime(CLOCK_MONOTONIC, &at);
    at.tv_sec += static_cast<time_t>(ms / 1000);
    at.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
    if (at.tv_nsec >= 1000000000L) {
        at.tv_sec += 1;
        at.tv_nsec -= 1000000000L;
    }
    return at;
}

}  // namespace

struct NamedMutex::Shared {
    uint32_t magic;  // set only once the mutex is made
    pthread_mutex_t mutex;
};

OpenResult NamedMutex::Create(std::string_view name) {
    const auto init = [](void* data) {
        auto* shared = static_cast<Shared*>(data);
        shared->magic = InitMutex(&shared->mutex) ? kMutexMagic : 0;
    };
    return object_.Open("mutex", name, sizeof(Shared), sizeof(Shared), kMutexMagic, init);
}

OpenResult NamedMutex::Open(std::string_view name) {
    return object_.Open("mutex", name, 0, sizeof(Shared), kMutexMagic, nullptr);
}

NamedMutex::Shared* NamedMutex::State() const {
    return static_cast<Shared*>(object_.Data());
}

LockResult NamedMutex::Lock(uint32_t ms) {
    if (!IsOpen()) {
        return LockResult::Failed;
    }
    pthread_mutex_t* mutex = &State()->mutex;
    int rc = 0;
    if (ms == kInfinite) {
        rc = pthread_mutex_lock(mutex);
    } else if (ms == 0) {
        rc = pthread_mutex_trylock(mutex);
    } else {
        const timespec at = MonotonicIn(ms);
        rc = pthread_mutex_clocklock(mutex, CLOCK_MONOTONIC, &at);
    }
    switch (rc) {
        case 0:
            return LockResult::Acquired;
        case EOWNERDEAD:
            pthread_mutex_consistent(mutex);
            return LockResult::Abandoned;
        case EBUSY:
        case ETIMEDOUT:
            return LockResult::Timeout;
        default:
            return LockResult::Failed;
    }
}

bool NamedMutex::Unlock() {
    return IsOpen() && pthread_mutex_unlock(&State()->mutex) == 0;
}

}  // namespace os
