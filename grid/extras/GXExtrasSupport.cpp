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
    {20132, "Dao object preview control"},
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

#include "grid/core/GXBitmapResources.h"

#include <QImage>

std::vector<std::uint8_t> GXPackDIB(const QImage& source) {
    const QImage img = source.convertToFormat(QImage::Format_RGB32);
    const int w = img.width();
    const int h = img.height();
    const int stride = (w * 3 + 3) & ~3;
    std::vector<std::uint8_t> out(
        40 + static_cast<std::size_t>(stride) * static_cast<std::size_t>(h), 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, static_cast<std::uint32_t>(w));
    put32(8, static_cast<std::uint32_t>(h));
    out[12] = 1;   // planes
    out[14] = 24;  // bits per pixel
    for (int y = 0; y < h; ++y) {
        std::size_t row =
            40 + static_cast<std::size_t>(stride) * static_cast<std::size_t>(h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const QRgb p = img.pixel(x, y);
            out[row++] = static_cast<std::uint8_t>(qBlue(p));
            out[row++] = static_cast<std::uint8_t>(qGreen(p));
            out[row++] = static_cast<std::uint8_t>(qRed(p));
        }
    }
    return out;
}

namespace {

// Pictures drawn on the light grey that bitmap loading turns into the button face.
QImage DropArrowPicture() {
    QImage img(7, 4, QImage::Format_RGB32);
    img.fill(qRgb(192, 192, 192));
    for (int row = 0; row < 4; ++row)
        for (int x = row; x < 7 - row; ++x) img.setPixel(x, row, qRgb(0, 0, 0));
    return img;
}

QImage CalculatorPicture() {
    QImage img(9, 11, QImage::Format_RGB32);
    img.fill(qRgb(192, 192, 192));
    const QRgb ink = qRgb(0, 0, 0);
    for (int x = 0; x < 9; ++x) {
        img.setPixel(x, 0, ink);
        img.setPixel(x, 10, ink);
    }
    for (int y = 0; y < 11; ++y) {
        img.setPixel(0, y, ink);
        img.setPixel(8, y, ink);
    }
    for (int x = 2; x <= 6; ++x) img.setPixel(x, 2, ink);
    for (int ky = 5; ky <= 8; ky += 3)
        for (int kx = 2; kx <= 6; kx += 2) img.setPixel(kx, ky, ink);
    return img;
}

}  // namespace

void GXRegisterExtrasBitmaps() {
    static std::once_flag once;
    std::call_once(once, [] {
        const std::pair<const char*, QImage> pictures[] = {
            {"GXBDROPARROW", DropArrowPicture()},
            {"GXBCALCBTN", CalculatorPicture()},
        };
        for (const auto& [name, image] : pictures) {
            const GXResourceName n = GXResourceName::Named(name);
            if (!GXLoadDIBResource(n))
                GXRegisterBitmapResource(n, GXPackDIB(image));
        }
    });
}
