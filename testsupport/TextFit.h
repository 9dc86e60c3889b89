// For GUI tests at several desktop font sizes: every text a dialog shows must fit the rectangle
// it is drawn in. TextMisfits names each control (and list header) whose text does not.
//   QApplication::setFont(FontOfPixels(16));
//   EXPECT_THAT(TextMisfits(dialog), IsEmpty());
#pragma once

#include "framework/controls/Button.h"
#include "framework/controls/ListView.h"
#include "framework/controls/Static.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QRegularExpression>
#include <QStyle>
#include <QTreeWidget>

#include <string>
#include <vector>

namespace ixo::testsupport {

// The desktop font of the tests (fonts-dejavu-core) at a size in pixels.
inline QFont FontOfPixels(int pixels) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    return font;
}

// The program's font for one test; the one before comes back at the end of the scope.
class ScopedAppFont {
public:
    explicit ScopedAppFont(const QFont& font) : before_(QApplication::font()) {
        QApplication::setFont(font);
    }
    ~ScopedAppFont() { QApplication::setFont(before_); }
    ScopedAppFont(const ScopedAppFont&) = delete;
    ScopedAppFont& operator=(const ScopedAppFont&) = delete;

private:
    QFont before_;
};

namespace detail {

inline QString Shown(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.remove(QRegularExpression(QStringLiteral("&(?!&)")));  // access-key marks draw nothing
    return s;
}

inline void CheckButton(const fw::Button& b, std::vector<std::string>& out) {
    const QString text = Shown(b.GetWindowText());
    const QFontMetrics fm(b.font());
    const QStyle* style = b.style();
    int need = fm.horizontalAdvance(text);
    if (b.Kind() == fw::BS_PUSHBUTTON || b.Kind() == fw::BS_DEFPUSHBUTTON) {
        need += 2 * (style->pixelMetric(QStyle::PM_ButtonMargin) / 2 +
                     style->pixelMetric(QStyle::PM_DefaultFrameWidth));
    } else if (b.Kind() == fw::BS_GROUPBOX) {
        need += 2 * fm.averageCharWidth();
    } else {
        need += style->pixelMetric(QStyle::PM_IndicatorWidth) +
                style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    }
    if (need > b.width() || fm.height() > b.height())
        out.push_back("button \"" + text.toStdString() + "\" needs " + std::to_string(need) +
                      " x " + std::to_string(fm.height()) + ", has " + std::to_string(b.width()) +
                      " x " + std::to_string(b.height()));
}

inline void CheckStatic(const fw::Static& s, std::vector<std::string>& out) {
    const QString text = Shown(s.GetWindowText());
    if (text.isEmpty())
        return;
    const QFontMetrics fm(s.font());
    // Statics wrap at word breaks: the wrapped text must fit in height, and no word in width.
    // A line needs the font's height; the leading below the last line may be cut.
    QRect bound(0, 0, fm.horizontalAdvance(text), fm.height());
    if (bound.width() > s.width()) {
        bound =
            fm.boundingRect(QRect(0, 0, s.width(), 100000), Qt::TextWordWrap | Qt::AlignLeft, text);
        bound.setHeight(bound.height() - fm.leading());
    }
    if (bound.width() > s.width() || bound.height() > s.height())
        out.push_back("static \"" + text.toStdString() + "\" needs " +
                      std::to_string(bound.width()) + " x " + std::to_string(bound.height()) +
                      ", has " + std::to_string(s.width()) + " x " + std::to_string(s.height()));
}

inline void CheckHeaders(const fw::ListView& list, std::vector<std::string>& out) {
    const QTreeWidget* tree = list.Widget();
    if (tree->isHeaderHidden())
        return;
    const QFontMetrics fm(tree->header()->font());
    const int margin = 2 * tree->style()->pixelMetric(QStyle::PM_HeaderMargin);
    for (int c = 0; c < list.GetColumnCount(); ++c) {
        const QString text = tree->headerItem()->text(c);
        const int need = fm.horizontalAdvance(text) + margin;
        if (need > list.GetColumnWidth(c))
            out.push_back("header \"" + text.toStdString() + "\" needs " + std::to_string(need) +
                          ", has " + std::to_string(list.GetColumnWidth(c)));
    }
}

}  // namespace detail

inline std::vector<std::string> TextMisfits(const QWidget& dialog) {
    std::vector<std::string> out;
    for (const fw::Window* w : dialog.findChildren<const fw::Window*>()) {
        if (!w->isVisibleTo(&dialog))
            continue;
        if (const auto* b = qobject_cast<const fw::Button*>(w))
            detail::CheckButton(*b, out);
        else if (const auto* s = qobject_cast<const fw::Static*>(w))
            detail::CheckStatic(*s, out);
        else if (const auto* l = qobject_cast<const fw::ListView*>(w))
            detail::CheckHeaders(*l, out);
    }
    return out;
}

}  // namespace ixo::testsupport
