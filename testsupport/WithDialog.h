// For GUI tests: runs `inside` on the first visible top-level window of type T while `open`
// runs. `open` usually starts a modal dialog; the dialog's own event loop keeps the poll going.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace ixo::testsupport {

template <class T>
void WithDialog(const std::function<void()>& open, const std::function<void(T&)>& inside) {
    bool seen = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = dynamic_cast<T*>(w); dialog && dialog->isVisible()) {
                poll.stop();
                seen = true;
                inside(*dialog);
                return;
            }
    });
    poll.start();
    open();
    poll.stop();
    EXPECT_TRUE(seen);
}

}  // namespace ixo::testsupport
