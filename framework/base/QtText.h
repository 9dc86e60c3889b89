// Texts between the suite (UTF-8 std::string) and the toolkit (QString).
#pragma once

#include <QString>

#include <string_view>

namespace fw {

inline QString ToQString(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace fw
