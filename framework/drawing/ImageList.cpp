#include "framework/drawing/ImageList.h"

namespace fw {

ImageList ImageList::FromStrip(const QImage& strip, int cx, ColorRef maskColor) {
    ImageList list(cx, strip.height());
    if (cx <= 0)
        return list;
    const QImage rgb = strip.convertToFormat(QImage::Format_ARGB32);
    const QRgb mask = qRgb(RedOf(maskColor), GreenOf(maskColor), BlueOf(maskColor));
    for (int x = 0; x + cx <= rgb.width(); x += cx) {
        QImage part = rgb.copy(x, 0, cx, rgb.height());
        for (int py = 0; py < part.height(); ++py) {
            auto* line = reinterpret_cast<QRgb*>(part.scanLine(py));
            for (int px = 0; px < part.width(); ++px) {
                if ((line[px] & 0xFFFFFF) == (mask & 0xFFFFFF))
                    line[px] = 0;
            }
        }
        list.images_.push_back(QPixmap::fromImage(part));
    }
    return list;
}

int ImageList::Add(const QPixmap& picture) {
    images_.push_back(picture);
    return GetImageCount() - 1;
}

QIcon ImageList::Icon(int index) const {
    return index >= 0 && index < GetImageCount() ? QIcon(images_[static_cast<std::size_t>(index)])
                                                 : QIcon();
}

QPixmap ImageList::Picture(int index) const {
    return index >= 0 && index < GetImageCount() ? images_[static_cast<std::size_t>(index)]
                                                 : QPixmap();
}

}  // namespace fw
