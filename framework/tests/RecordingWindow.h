// A window that records every message it sees, for the framework's tests.
#pragma once

#include "framework/window/Window.h"
#include "testsupport/EventLoopWait.h"

#include <QApplication>

#include <functional>
#include <vector>

namespace fw::test {

struct Seen {
    UINT id;
    WPARAM w;
    LPARAM l;
};

class RecordingWindow : public Window {
public:
    explicit RecordingWindow(QWidget* parent = nullptr) : Window(parent) {}

    std::vector<Seen> seen;
    // Messages to record; empty records all.
    std::vector<UINT> only;
    // Optional answer for a message (called before the default handling).
    std::function<bool(Message&, LRESULT&)> answer;
    UINT dlgCode = 0;

    std::vector<Seen> Of(UINT id) const {
        std::vector<Seen> out;
        for (const Seen& s : seen) {
            if (s.id == id)
                out.push_back(s);
        }
        return out;
    }

protected:
    LRESULT WindowProc(Message& m) override {
        if (only.empty() || std::find(only.begin(), only.end(), m.id) != only.end()) {
            seen.push_back({m.id, m.wParam, m.lParam});
        }
        LRESULT r = 0;
        if (answer && answer(m, r))
            return r;
        if (m.id == WM_GETDLGCODE)
            return dlgCode;
        return Window::WindowProc(m);
    }
};

// Runs the event loop until `done` holds, woken by the events that come; true when it
// held within `ms`.
using ixo::testsupport::PumpUntil;

}  // namespace fw::test
