#include "rcc/RccFileInfo.h"

#include <cstdio>
#include <ctime>

CRccFileInfo::CRccFileInfo(uint32_t attr, uint32_t t, uint32_t s, std::string_view name)
    : attributes(attr), time(t), size(s) {
    setName(name);
}

void CRccFileInfo::setName(std::string_view name) {
    name = name.substr(0, name.find('\0'));
    name_ = std::string(name.substr(0, kMaxName));
}

std::string CRccFileInfo::toString() const {
    char sizeText[24];
    if (isDirectory())
        std::snprintf(sizeText, sizeof sizeText, "<DIR>");
    else
        std::snprintf(sizeText, sizeof sizeText, "%10ld", static_cast<long>(size));
    time_t when = static_cast<time_t>(time);
    char timeText[64] = "";
    if (!ctime_r(&when, timeText))
        timeText[0] = '\0';
    std::string line(24 + 320 + name_.size(), '\0');
    int n = std::snprintf(line.data(), line.size(), "%c%c%c%c   %10s   %.24s   %s ",
                          isReadOnly() ? 'R' : ' ', isHidden() ? 'H' : ' ', isSystem() ? 'S' : ' ',
                          isArchive() ? 'A' : ' ', sizeText, timeText, name_.c_str());
    line.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return line;
}
