#include "editor/ui/ToolBarPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "framework/base/CommandIds.h"

namespace tessaly {
namespace {

const QColor kInk(40, 40, 40);
const QColor kPaper(255, 255, 255);

// A sheet with its top right corner folded over.
void Page(QPainter& p, int x, int y, int w, int h) {
    QPainterPath outline;
    outline.moveTo(x, y);
    outline.lineTo(x + w - 4, y);
    outline.lineTo(x + w, y + 4);
    outline.lineTo(x + w, y + h);
    outline.lineTo(x, y + h);
    outline.closeSubpath();
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawPath(outline);
    p.drawLine(x + w - 4, y, x + w - 4, y + 4);
    p.drawLine(x + w - 4, y + 4, x + w, y + 4);
}

// Text lines on a sheet.
void Lines(QPainter& p, int x, int y, int w, int count) {
    p.setPen(QColor(120, 120, 120));
    for (int i = 0; i < count; ++i) p.drawLine(x, y + 2 * i, x + w, y + 2 * i);
}

void DrawNew(QPainter& p) {
    Page(p, 3, 1, 10, 13);
    p.setPen(QColor(230, 170, 20));  // a spark: the sheet is new
    p.drawLine(12, 9, 12, 13);
    p.drawLine(10, 11, 14, 11);
}

void DrawOpen(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(QColor(220, 180, 80));
    p.drawPolygon(QPolygon({{1, 3}, {5, 3}, {6, 5}, {13, 5}, {13, 13}, {1, 13}}));
    p.setBrush(QColor(245, 210, 110));
    p.drawPolygon(QPolygon({{3, 7}, {15, 7}, {13, 13}, {1, 13}}));
}

void DrawSave(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(QColor(60, 90, 150));
    p.drawRect(1, 1, 13, 13);
    p.setBrush(kPaper);
    p.drawRect(4, 1, 7, 5);  // the label
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(4, 9, 7, 5);  // the shutter
    p.fillRect(8, 10, 2, 3, kInk);
}

void DrawCopy(QPainter& p) {
    Page(p, 1, 1, 8, 10);
    Lines(p, 3, 5, 4, 3);
    Page(p, 6, 4, 8, 10);
    Lines(p, 8, 8, 4, 3);
}

void DrawPaste(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(QColor(170, 120, 70));
    p.drawRect(1, 2, 10, 12);  // the board
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(4, 1, 4, 2);  // the clip
    Page(p, 6, 5, 8, 9);
    Lines(p, 8, 9, 4, 3);
}

void DrawPrint(QPainter& p) {
    Page(p, 4, 1, 8, 6);
    p.setPen(kInk);
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(1, 6, 14, 6);  // the body
    p.setBrush(kPaper);
    p.drawRect(4, 10, 8, 4);  // the sheet coming out
    p.fillRect(12, 8, 2, 1, QColor(60, 160, 60));
}

void DrawAbout(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(30, 60, 130));
    p.setBrush(QColor(70, 110, 190));
    p.drawEllipse(QRectF(0.5, 0.5, 14, 14));
    QFont font("DejaVu Sans");
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 16, 15), Qt::AlignCenter, "?");
}

}  // namespace

QIcon ToolBarPicture(unsigned commandId) {
    void (*draw)(QPainter&) = nullptr;
    switch (commandId) {
        case fw::ID_FILE_NEW:
            draw = DrawNew;
            break;
        case fw::ID_FILE_OPEN:
            draw = DrawOpen;
            break;
        case fw::ID_FILE_SAVE:
            draw = DrawSave;
            break;
        case fw::ID_EDIT_COPY:
            draw = DrawCopy;
            break;
        case fw::ID_EDIT_PASTE:
            draw = DrawPaste;
            break;
        case fw::ID_FILE_PRINT:
            draw = DrawPrint;
            break;
        case fw::ID_APP_ABOUT:
            draw = DrawAbout;
            break;
        default:
            return {};
    }
    QPixmap pixmap(16, 15);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    draw(p);
    p.end();
    return QIcon(pixmap);
}

}  // namespace tessaly
