#include "versiontool/StateImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quillon {
namespace {

// A disc in the state's colour; an updatable device carries a white upward arrow.
QPixmap StatePicture(const QColor& colour, bool updatable) {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(150), 1));
    p.setBrush(colour);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    if (updatable) {
        QPainterPath arrow;
        arrow.moveTo(8, 3.5);
        arrow.lineTo(12, 8);
        arrow.lineTo(9.5, 8);
        arrow.lineTo(9.5, 12);
        arrow.lineTo(6.5, 12);
        arrow.lineTo(6.5, 8);
        arrow.lineTo(4, 8);
        arrow.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(arrow);
    } else {
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(QPointF(5, 8), QPointF(11, 8));
    }
    return picture;
}

QPixmap SortMark(bool ascending) {
    QPixmap picture(8, 8);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(80, 80, 80));
    QPolygonF triangle;
    if (ascending)
        triangle << QPointF(4, 1) << QPointF(7.5, 7) << QPointF(0.5, 7);
    else
        triangle << QPointF(0.5, 1) << QPointF(7.5, 1) << QPointF(4, 7);
    p.drawPolygon(triangle);
    return picture;
}

}  // namespace

fw::ImageList MakeStateImages() {
    const QColor current(46, 139, 87), older(214, 120, 0);
    fw::ImageList images(16, 16);
    images.Add(StatePicture(current, true));
    images.Add(StatePicture(current, false));
    images.Add(StatePicture(older, true));
    images.Add(StatePicture(older.darker(130), false));
    return images;
}

fw::ImageList MakeSortImages() {
    fw::ImageList images(8, 8);
    images.Add(SortMark(true));
    images.Add(SortMark(false));
    return images;
}

QIcon QuillonIcon() {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 60, 110), 2));
    p.setBrush(QColor(70, 120, 190));
    p.drawRoundedRect(QRectF(2, 5, 28, 22), 4, 4);
    p.setPen(Qt::NoPen);
    const QColor rows[] = {QColor(46, 139, 87), QColor(214, 120, 0), QColor(46, 139, 87)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(rows[i]);
        p.drawEllipse(QRectF(6, 9 + 6 * i, 4, 4));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(12, 10 + 6 * i, 14, 2));
    }
    return QIcon(picture);
}

}  // namespace quillon
