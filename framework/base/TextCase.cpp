#include "framework/base/TextCase.h"

#include <QChar>
#include <QList>
#include <QString>

namespace fw {

std::u32string DecodeUtf8(std::string_view text) {
    const QList<uint> ucs4 =
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUcs4();
    return std::u32string(ucs4.begin(), ucs4.end());
}

std::string EncodeUtf8(std::u32string_view text) {
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size())).toStdString();
}

std::u32string UpperCodePoints(std::u32string_view text) {
    std::u32string out(text);
    for (char32_t& c : out) c = QChar::toUpper(c);
    return out;
}

}  // namespace fw
