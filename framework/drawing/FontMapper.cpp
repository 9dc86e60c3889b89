// Logical fonts to Qt fonts, and the text metrics of a realised font.
#include "framework/drawing/DcImpl.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>

#include <cctype>
#include <cmath>
#include <map>
#include <string>
#include <tuple>

namespace fw {

namespace {

// Faces that programs written for another desktop name; fontconfig picks the nearest installed
// family, guided by the kind of face.
QFont::StyleHint HintFor(const std::string& face) {
    std::string f;
    for (char c : face) f += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    static const char* const mono[] = {"courier new", "courier",        "fixedsys",
                                       "terminal",    "lucida console", "consolas"};
    static const char* const serif[] = {"times new roman", "times", "ms serif", "georgia"};
    for (const char* m : mono)
        if (f == m)
            return QFont::Monospace;
    for (const char* s : serif)
        if (f == s)
            return QFont::Serif;
    return QFont::SansSerif;
}

QFont BaseFont(const LogFont& lf) {
    QFont f;
    if (lf.faceName.empty()) {
        f = QGuiApplication::font();
    } else {
        f.setFamily(QString::fromStdString(lf.faceName));
        f.setStyleHint(HintFor(lf.faceName));
    }
    if ((lf.pitchAndFamily & 0x03) == FIXED_PITCH || (lf.pitchAndFamily & 0xF0) == FF_MODERN)
        f.setStyleHint(QFont::Monospace);
    int weight = lf.weight <= 0 ? FW_NORMAL : std::clamp(lf.weight, 1, 1000);
    f.setWeight(static_cast<QFont::Weight>(weight));
    f.setItalic(lf.italic);
    f.setUnderline(lf.underline);
    f.setStrikeOut(lf.strikeOut);
    // Widths of prefixes add up to the width of the whole, as the line-breaking code expects.
    f.setKerning(false);
    return f;
}

// Cell height (ascent + descent) per pixel of character height, per face and style.
double CellRatio(const QFont& base) {
    static std::map<std::tuple<QString, int, bool>, double> cache;
    auto key =
        std::make_tuple(QFontInfo(base).family(), static_cast<int>(base.weight()), base.italic());
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;
    QFont probe = base;
    probe.setPixelSize(200);
    QFontMetricsF m(probe);
    double ratio = (m.ascent() + m.descent()) / 200.0;
    if (ratio <= 0.1)
        ratio = 1.0;
    cache.emplace(key, ratio);
    return ratio;
}

}  // namespace

QFont RealizeFont(const LogFont& lf, double scaleX, double scaleY) {
    QFont f = BaseFont(lf);
    int logical = lf.height == 0 ? -12 : lf.height;
    int dev = std::max(1, static_cast<int>(std::lround(std::abs(logical) * scaleY)));
    if (logical < 0) {
        f.setPixelSize(dev);
    } else {
        int em = std::max(1, static_cast<int>(std::lround(dev / CellRatio(f))));
        f.setPixelSize(em);
        QFontMetrics m(f);
        while (em > 1 && m.ascent() + m.descent() > dev) {
            f.setPixelSize(--em);
            m = QFontMetrics(f);
        }
    }
    if (lf.width > 0) {
        int natural = QFontMetrics(f).averageCharWidth();
        int wanted = std::max(1, static_cast<int>(std::lround(lf.width * scaleX)));
        if (natural > 0)
            f.setStretch(std::clamp(wanted * 100 / natural, 1, 4000));
    }
    return f;
}

TextMetrics DeviceMetrics(const QFont& f, const LogFont& lf) {
    QFontMetrics m(f);
    QFontInfo info(f);
    TextMetrics tm;
    tm.ascent = m.ascent();
    tm.descent = m.descent();
    tm.height = tm.ascent + tm.descent;
    tm.internalLeading = std::max(0, tm.height - f.pixelSize());
    tm.externalLeading = std::max(0, m.leading());
    tm.aveCharWidth = m.averageCharWidth();
    tm.maxCharWidth = m.maxWidth();
    tm.weight = lf.weight <= 0 ? FW_NORMAL : lf.weight;
    tm.italic = lf.italic;
    tm.underlined = lf.underline;
    tm.struckOut = lf.strikeOut;
    bool fixed = info.fixedPitch();
    tm.pitchAndFamily = static_cast<std::uint8_t>((fixed ? 0 : TMPF_VARIABLE_PITCH) | TMPF_VECTOR |
                                                  TMPF_TRUETYPE | (fixed ? FF_MODERN : FF_SWISS));
    tm.charSet = lf.charSet == DEFAULT_CHARSET ? ANSI_CHARSET : lf.charSet;
    return tm;
}

}  // namespace fw
