// The wait of a Qt test for what the event loop brings: the thread's events run until the
// condition holds, and between batches the thread sleeps inside the event loop, so a posted
// event, a timer, a window-system event or a WakePump from another thread wakes it. The
// condition is looked at after every batch, never on a schedule; the limit only bounds a
// failure.
//
//   ASSERT_TRUE(PumpUntil([&] { return view.Cell(row, 1) == "1"; }));
//   // a worker that changes state without posting anything:  Record(...);  WakePump();
#pragma once

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <functional>

namespace ixo::testsupport {

// True once `done` holds (looked at now and after each batch of events); false when it
// does not within `ms` of real time.
inline bool PumpUntil(const std::function<bool()>& done, int ms = 5000) {
    if (done())
        return true;
    // The limit ends the wait by its own event (the loop sleeps until some event comes,
    // so a clock looked at between batches could pass its end with nothing to wake it).
    bool late = false;
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    QObject::connect(&limit, &QTimer::timeout, [&] { late = true; });
    limit.start(ms);
    while (!late) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        if (done())
            return true;
    }
    return done();
}

// Wakes a PumpUntil on the application's thread from any thread, after a change that
// posts no event of its own.
inline void WakePump() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        if (QAbstractEventDispatcher* events = QAbstractEventDispatcher::instance(app->thread()))
            events->wakeUp();
    }
}

}  // namespace ixo::testsupport
