#include "grid/extras/GXExtrasSupport.h"

#include "framework/persist/StringTable.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include <atomic>
#include <mutex>

namespace {

std::atomic<unsigned> beeps{0};

constexpr fw::StringEntry kTexts[] = {
    {20124, "Enter"},
    {20125, "Error "},
    {20134, "The binary data is not valid."},
    {20203, "The copy operation failed"},
    {20204, "The cut operation failed"},
    {20206, "You have already spawned a viewer. Please use this for editing"},
    {20207, "Failed to invoke insert object dialog."},
    {20208, "not supported"},
};

void AddTextsOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const fw::StringEntry& e : kTexts)
            if (!fw::FindString(e.id))
                fw::SetString(e.id, e.text);
    });
}

}  // namespace

void GXExtrasBeep() {
    ++beeps;
    QApplication::beep();
}

unsigned GXExtrasBeepCount() {
    return beeps.load();
}

std::string GXExtrasText(unsigned id) {
    AddTextsOnce();
    return fw::LoadString(id);
}

fw::Rect GXWorkAreaAt(fw::Point p) {
    QScreen* screen = QGuiApplication::screenAt(QPoint(p.x, p.y));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {0, 0, 1 << 15, 1 << 15};
    const QRect a = screen->availableGeometry();
    return {a.left(), a.top(), a.left() + a.width(), a.top() + a.height()};
}
