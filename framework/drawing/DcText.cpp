// Device context: text output, formatted text and text measurement.
#include "framework/drawing/DcImpl.h"
#include "framework/drawing/TextLayout.h"

#include <QFontMetrics>

#include <cstdlib>

namespace fw {

namespace {

QString ToQ(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Text output draws a line break or tab as a blank; only DrawText interprets them.
QString Plain(QString s) {
    for (QChar& c : s)
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    return s;
}

}  // namespace

// Draws one run of text whose cell's top-left corner is at `topLeft` (device pixels); a tab
// width above 0 expands tabs. The background of the cell is filled when `fill` is set.
static void DrawRun(DeviceContext::Impl& d, QPoint topLeft, const QString& s, int tabWidth,
                    int underline, bool fill) {
    QPainter* p = d.PainterForDrawing();
    if (!p)
        return;
    const QFont& font = d.Font();
    QFontMetrics m(font);
    auto measure = [&m](QStringView v) { return m.horizontalAdvance(v.toString()); };
    int width = text::MeasureTabbed(s, measure, tabWidth);
    QRect cell(topLeft, QSize(width, m.ascent() + m.descent()));
    if (fill)
        p->fillRect(cell, ToQColor(d.Surface(d.st.bkColor)));
    p->setFont(font);
    p->setPen(ToQColor(d.Surface(d.st.textColor)));
    int baseline = topLeft.y() + m.ascent();
    if (tabWidth > 0 && s.contains(u'\t')) {
        int x = 0;
        qsizetype from = 0;
        while (from <= s.size()) {
            qsizetype tab = s.indexOf(u'\t', from);
            QString part = s.mid(from, (tab < 0 ? s.size() : tab) - from);
            p->drawText(QPoint(topLeft.x() + x, baseline), part);
            x += measure(part);
            if (tab < 0)
                break;
            x = (x / tabWidth + 1) * tabWidth;
            from = tab + 1;
        }
    } else {
        p->drawText(QPoint(topLeft.x(), baseline), Plain(s));
    }
    if (underline >= 0 && underline < s.size()) {
        int x0 =
            topLeft.x() + text::MeasureTabbed(QStringView(s).left(underline), measure, tabWidth);
        int w = measure(QStringView(s).mid(underline, 1));
        p->fillRect(QRect(x0, baseline + 1, std::max(1, w), 1),
                    ToQColor(d.Surface(d.st.textColor)));
    }
    d.MarkDirty(cell);
}

bool DeviceContext::TextOut(int x, int y, std::string_view text) {
    return ExtTextOut(x, y, 0, nullptr, text);
}

bool DeviceContext::ExtTextOut(int x, int y, unsigned options, const Rect* rect,
                               std::string_view text) {
    if (!d_->HasSurface())
        return false;
    State& s = d_->st;
    if (s.textAlign & TA_UPDATECP)
        x = s.currentPos.x, y = s.currentPos.y;
    QString q = Plain(ToQ(text));
    QFontMetrics m(d_->Font());
    int width = m.horizontalAdvance(q);
    int height = m.ascent() + m.descent();
    if (s.textAlign & TA_UPDATECP)
        s.currentPos.x = x + d_->UnscaleLenX(width);

    if (rect && (options & ETO_OPAQUE)) {
        if (QPainter* p = d_->PainterForDrawing()) {
            QRect r = d_->ToDevRect(*rect);
            p->fillRect(r, ToQColor(d_->Surface(s.bkColor)));
            d_->MarkDirty(r);
        }
    }
    if (q.isEmpty())
        return true;
    std::optional<QRegion> oldClip = s.clip;
    if (rect && (options & ETO_CLIPPED)) {
        QRegion c = oldClip ? *oldClip : QRegion(d_->Bounds());
        s.clip = c & QRegion(d_->ToDevRect(*rect));
        d_->ClipChanged();
    }
    // The reference point relative to the text cell's top-left corner.
    int dx = 0, dy = 0;
    unsigned h = s.textAlign & TA_CENTER;
    if (h == TA_CENTER)
        dx = width / 2;
    else if (h == TA_RIGHT)
        dx = width;
    unsigned v = s.textAlign & TA_BASELINE;
    if (v == TA_BASELINE)
        dy = m.ascent();
    else if (v == TA_BOTTOM)
        dy = height;
    QPoint ref(d_->ToDevX(x), d_->ToDevY(y));
    bool fill = s.bkMode == OPAQUE && !(rect && (options & ETO_OPAQUE));
    if (s.font.escapement % 3600 == 0) {
        DrawRun(*d_, ref - QPoint(dx, dy), q, 0, -1, fill);
    } else if (QPainter* p = d_->PainterForDrawing()) {
        // Rotated text: draw in a frame turned about the reference point.
        p->save();
        p->translate(ref);
        p->rotate(-s.font.escapement / 10.0);
        QRect cell(-dx, -dy, width, height);
        if (fill)
            p->fillRect(cell, ToQColor(d_->Surface(s.bkColor)));
        p->setFont(d_->Font());
        p->setPen(ToQColor(d_->Surface(s.textColor)));
        p->drawText(QPoint(-dx, -dy + m.ascent()), q);
        d_->MarkDirty(p->transform().mapRect(cell).adjusted(-1, -1, 1, 1));
        p->restore();
    }
    if (rect && (options & ETO_CLIPPED)) {
        s.clip = oldClip;
        d_->ClipChanged();
    }
    return true;
}

Size DeviceContext::GetTextExtent(std::string_view text) const {
    Impl::RealizedFont& font = d_->CurrentFont();
    auto it = font.advances.find(text);
    if (it == font.advances.end()) {
        QFontMetrics m(font.qfont);
        font.lineHeight = m.ascent() + m.descent();
        if (font.advances.size() >= Impl::kAdvancesPerFont)
            font.advances.clear();
        it = font.advances.emplace(std::string(text), m.horizontalAdvance(Plain(ToQ(text)))).first;
    }
    return {d_->UnscaleLenX(it->second), d_->UnscaleLenY(font.lineHeight)};
}

TextMetrics DeviceContext::GetTextMetrics() const {
    Impl::RealizedFont& font = d_->CurrentFont();
    if (!font.metrics)
        font.metrics = DeviceMetrics(font.qfont, font.font);
    TextMetrics tm = *font.metrics;
    auto y = [this](int v) { return d_->UnscaleLenY(v); };
    auto x = [this](int v) { return d_->UnscaleLenX(v); };
    tm.ascent = y(tm.ascent);
    tm.descent = y(tm.descent);
    tm.height = tm.ascent + tm.descent;
    tm.internalLeading = y(tm.internalLeading);
    tm.externalLeading = y(tm.externalLeading);
    tm.aveCharWidth = x(tm.aveCharWidth);
    tm.maxCharWidth = x(tm.maxCharWidth);
    return tm;
}

std::string DeviceContext::GetTextFace() const {
    if (!d_->st.font.faceName.empty())
        return d_->st.font.faceName;
    return QFontInfo(d_->Font()).family().toStdString();
}

QFont DeviceContext::RealizedFont() const {
    return d_->Font();
}

int DeviceContext::DrawText(std::string_view textIn, Rect& r, unsigned format) {
    const bool tabStop = format & DT_TABSTOP;
    // With DT_TABSTOP, bits 8-15 are the tab width in characters, not flags.
    unsigned flags = tabStop ? (format & ~0xFF00u) : format;
    QFontMetrics m(d_->Font());
    const int aveChar = std::max(1, m.averageCharWidth());
    int tabChars = tabStop ? static_cast<int>((format >> 8) & 0xFF) : 8;
    if (tabChars == 0)
        tabChars = 8;
    const int tabWidth = (flags & DT_EXPANDTABS) ? tabChars * aveChar : 0;

    text::Prefixed pre;
    if (flags & DT_NOPREFIX)
        pre.text = ToQ(textIn);
    else
        pre = text::StripPrefix(ToQ(textIn));
    if (flags & DT_HIDEPREFIX)
        pre.underline = -1;
    if (flags & DT_SINGLELINE)
        pre.text = Plain(pre.text);

    QRect box = d_->ToDevRect(r);
    auto measure = [&m](QStringView v) { return m.horizontalAdvance(v.toString()); };
    text::LayoutOptions opt;
    opt.width = box.width();
    opt.singleLine = flags & DT_SINGLELINE;
    opt.wordBreak = flags & DT_WORDBREAK;
    opt.tabWidth = tabWidth;
    std::vector<text::Line> lines =
        pre.text.isEmpty() ? std::vector<text::Line>{} : text::BreakLines(pre.text, measure, opt);

    const int lineHeight =
        m.ascent() + m.descent() + ((flags & DT_EXTERNALLEADING) ? std::max(0, m.leading()) : 0);
    const int total = lineHeight * static_cast<int>(lines.size());
    int top = box.top();
    if (flags & DT_SINGLELINE) {
        if (flags & DT_VCENTER)
            top = box.top() + (box.height() - lineHeight) / 2;
        else if (flags & DT_BOTTOM)
            top = box.top() + box.height() - lineHeight;
    }

    // Lines too wide get their end replaced by "...".
    std::vector<QString> shown;
    int widest = 0;
    for (text::Line& line : lines) {
        QString s = pre.text.mid(line.start, line.length);
        if ((flags & DT_END_ELLIPSIS) && line.width > box.width()) {
            s = text::Ellipsize(
                s, [&](QStringView v) { return text::MeasureTabbed(v, measure, tabWidth); },
                box.width());
            line.width = text::MeasureTabbed(s, measure, tabWidth);
        }
        widest = std::max(widest, line.width);
        shown.push_back(std::move(s));
    }

    const bool vertical = (flags & DT_SINGLELINE) && (flags & (DT_VCENTER | DT_BOTTOM));
    const int resultDev = vertical ? top + total - box.top() : total;
    if (flags & DT_CALCRECT) {
        r.right = r.left + d_->UnscaleLenX(widest) * (r.right < r.left ? -1 : 1);
        r.bottom = r.top + d_->UnscaleLenY(total);
        return d_->UnscaleLenY(resultDev);
    }

    std::optional<QRegion> oldClip = d_->st.clip;
    if (!(flags & DT_NOCLIP)) {
        QRegion c = oldClip ? *oldClip : QRegion(d_->Bounds());
        d_->st.clip = c & QRegion(box);
        d_->ClipChanged();
    }
    int y = top;
    for (std::size_t i = 0; i < lines.size(); ++i, y += lineHeight) {
        int x = box.left();
        if (flags & DT_CENTER)
            x = box.left() + (box.width() - lines[i].width) / 2;
        else if (flags & DT_RIGHT)
            x = box.left() + box.width() - lines[i].width;
        int ul = pre.underline - lines[i].start;
        if (ul < 0 || ul >= lines[i].length || shown[i].size() != lines[i].length)
            ul = -1;
        DrawRun(*d_, QPoint(x, y), shown[i], tabWidth, ul, d_->st.bkMode == OPAQUE);
    }
    if (!(flags & DT_NOCLIP)) {
        d_->st.clip = oldClip;
        d_->ClipChanged();
    }
    return d_->UnscaleLenY(resultDev);
}

}  // namespace fw
