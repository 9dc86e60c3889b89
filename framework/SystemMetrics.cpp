#include "framework/SystemMetrics.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

namespace fw {

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXFRAME:
        case SM_CYFRAME:
            // A sizing frame of the classic desktop: four pixels on each side.
            return 4;
        default:
            break;
    }
    if (!qApp)
        return 0;
    switch (index) {
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
            return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        case SM_CXSCREEN:
        case SM_CYSCREEN: {
            const QScreen* s = QGuiApplication::primaryScreen();
            if (!s)
                return 0;
            return index == SM_CXSCREEN ? s->geometry().width() : s->geometry().height();
        }
        default:
            return 0;
    }
}

}  // namespace fw
