// A list of small pictures of one size, indexed from 0, as list views and their headers show
// them. A strip is cut into pictures of the given width; pixels of the mask colour become
// transparent.
#pragma once

#include "framework/base/Color.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <vector>

namespace fw {

class ImageList {
public:
    ImageList() = default;
    ImageList(int cx, int cy) : cx_(cx), cy_(cy) {}
    static ImageList FromStrip(const QImage& strip, int cx, ColorRef maskColor);

    int Add(const QPixmap& picture);
    int GetImageCount() const { return static_cast<int>(images_.size()); }
    QIcon Icon(int index) const;
    QPixmap Picture(int index) const;
    int Width() const { return cx_; }
    int Height() const { return cy_; }

private:
    int cx_ = 16;
    int cy_ = 16;
    std::vector<QPixmap> images_;
};

}  // namespace fw
