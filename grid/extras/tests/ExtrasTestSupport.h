// Shared by the stand-alone controls' tests: an owner window that records what the controls send
// it, locale switching, and the screenshot folder.
#pragma once

#include "framework/window/Window.h"

#include <QApplication>
#include <QImage>
#include <QLocale>
#include <QString>

#include <string>
#include <vector>

namespace extras_test {

struct Received {
    fw::UINT id;
    fw::WPARAM w;
    fw::LPARAM l;
    std::string text;  // for messages whose second parameter is a text
};

class OwnerWindow : public fw::Window {
public:
    std::vector<Received> seen;
    std::vector<fw::UINT> textMessages;  // messages whose lParam is a const char*

    std::vector<Received> Of(fw::UINT id) const {
        std::vector<Received> out;
        for (const Received& r : seen)
            if (r.id == id)
                out.push_back(r);
        return out;
    }

protected:
    fw::LRESULT WindowProc(fw::Message& msg) override {
        if (msg.id >= 1900 || msg.id == fw::WM_COMMAND) {
            Received r{msg.id, msg.wParam, msg.lParam, {}};
            for (fw::UINT t : textMessages)
                if (t == msg.id && msg.lParam)
                    r.text = reinterpret_cast<const char*>(msg.lParam);
            seen.push_back(r);
        }
        return fw::Window::WindowProc(msg);
    }
};

// Sets the default locale for the scope of a test and puts the old one back.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale& l) : old_(QLocale()) { QLocale::setDefault(l); }
    ~LocaleScope() { QLocale::setDefault(old_); }

private:
    QLocale old_;
};

// Delivers posted messages and toolkit events until nothing is left.
inline void Drain() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// Writes a control's rendered image beside the other build outputs.
inline bool SaveShot(const QImage& image, const char* name) {
    return image.save(QString(EXTRAS_BUILD_DIR) + "/extras_" + name + ".png");
}

}  // namespace extras_test
