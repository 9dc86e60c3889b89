// For GUI tests: runs `inside` on the first visible top-level window of type T while `open`
// runs. `open` usually starts a modal dialog; `inside` runs from the dialog's own event loop,
// woken by the dialog's show event (WhenShown), not by looking for it again and again.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace ixo::testsupport {

// Runs `then` once, from the event loop, after a widget of type T is shown (or, when one is
// visible already, at the loop's next turn).
template <class T>
class WhenShown : public QObject {
public:
    explicit WhenShown(std::function<void(T&)> then) : then_(std::move(then)) {
        QCoreApplication::instance()->installEventFilter(this);
        QTimer::singleShot(0, this, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* shown = dynamic_cast<T*>(w); shown && shown->isVisible()) {
                    Run(shown);
                    return;
                }
            }
        });
    }
    ~WhenShown() override { QCoreApplication::instance()->removeEventFilter(this); }
    WhenShown(const WhenShown&) = delete;
    WhenShown& operator=(const WhenShown&) = delete;

    bool Ran() const { return ran_; }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !seen_) {
            if (auto* shown = dynamic_cast<T*>(watched)) {
                // Once the show has finished (a modal dialog is then in its own loop).
                seen_ = true;
                QPointer<QObject> alive(watched);
                QTimer::singleShot(0, this, [this, shown, alive] {
                    if (alive)
                        Run(shown);
                });
            }
        }
        return false;
    }

private:
    void Run(T* shown) {
        if (ran_)
            return;
        ran_ = seen_ = true;
        then_(*shown);
    }

    std::function<void(T&)> then_;
    bool seen_ = false;
    bool ran_ = false;
};

template <class T>
void WithDialog(const std::function<void()>& open, const std::function<void(T&)>& inside) {
    WhenShown<T> shown(inside);
    open();
    EXPECT_TRUE(shown.Ran());
}

}  // namespace ixo::testsupport
