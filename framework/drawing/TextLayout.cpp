#include "framework/drawing/TextLayout.h"

namespace fw::text {

Prefixed StripPrefix(const QString& text) {
    Prefixed out;
    out.text.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c != u'&') {
            out.text += c;
            continue;
        }
        if (i + 1 >= text.size())
            break;  // a lone trailing prefix shows nothing
        if (text[i + 1] == u'&') {
            out.text += u'&';
        } else if (out.underline < 0) {
            out.underline = static_cast<int>(out.text.size());
            out.text += text[i + 1];
        } else {
            out.text += text[i + 1];
        }
        ++i;
    }
    return out;
}

int MeasureTabbed(QStringView s, const Measure& measure, int tabWidth) {
    if (tabWidth <= 0) {
        if (!s.contains(u'\t'))
            return measure(s);
        QString copy = s.toString();
        copy.replace(u'\t', u' ');
        return measure(copy);
    }
    int x = 0;
    qsizetype from = 0;
    for (;;) {
        qsizetype tab = s.indexOf(u'\t', from);
        QStringView part = s.mid(from, (tab < 0 ? s.size() : tab) - from);
        if (!part.isEmpty())
            x += measure(part);
        if (tab < 0)
            return x;
        x = (x / tabWidth + 1) * tabWidth;
        from = tab + 1;
    }
}

namespace {

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

struct Breaker {
    const QString& text;
    const Measure& measure;
    const LayoutOptions& opt;
    std::vector<Line>& out;

    int Width(qsizetype from, qsizetype to) const {
        return MeasureTabbed(QStringView(text).mid(from, to - from), measure, opt.tabWidth);
    }
    void Add(qsizetype from, qsizetype to) {
        out.push_back({static_cast<int>(from), static_cast<int>(to - from), Width(from, to)});
    }

    // The most characters from `from` (at least one) that fit the room.
    qsizetype FitChars(qsizetype from, qsizetype to) const {
        qsizetype n = 1;
        while (from + n < to && Width(from, from + n + 1) <= opt.width) ++n;
        return n;
    }

    // One paragraph [from, to) without line breaks.
    void Paragraph(qsizetype from, qsizetype to) {
        if (!opt.wordBreak || Width(from, to) <= opt.width) {
            Add(from, to);
            return;
        }
        qsizetype pos = from;
        bool first = true;
        while (pos < to || first) {
            first = false;
            qsizetype fitEnd = -1, i = pos;
            while (i < to) {
                qsizetype w = i;
                while (w < to && IsBlank(text[w])) ++w;
                if (w >= to)
                    break;
                while (w < to && !IsBlank(text[w])) ++w;
                if (Width(pos, w) > opt.width) {
                    if (fitEnd < 0)
                        fitEnd = pos + FitChars(pos, w);  // a word wider than the room
                    break;
                }
                fitEnd = i = w;
            }
            if (fitEnd < 0)
                fitEnd = to;  // only blanks left
            Add(pos, fitEnd);
            pos = fitEnd;
            while (pos < to && IsBlank(text[pos])) ++pos;  // the break eats the blanks
        }
    }
};

}  // namespace

std::vector<Line> BreakLines(const QString& text, const Measure& measure,
                             const LayoutOptions& opt) {
    std::vector<Line> out;
    Breaker b{text, measure, opt, out};
    if (opt.singleLine) {
        b.Add(0, text.size());
        return out;
    }
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size()) {
            b.Paragraph(start, i);
            break;
        }
        QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        b.Paragraph(start, i);
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    return out;
}

QString Ellipsize(QStringView s, const Measure& measure, int width) {
    static const QString dots = QStringLiteral("...");
    for (qsizetype n = s.size(); n > 0; --n) {
        QString candidate = s.left(n).toString() + dots;
        if (measure(candidate) <= width)
            return candidate;
    }
    for (qsizetype n = dots.size(); n > 0; --n) {
        if (measure(QStringView(dots).left(n)) <= width)
            return dots.left(n);
    }
    return QString();
}

}  // namespace fw::text
