#include "framework/window/RegisteredMessage.h"

#include <QString>

#include <map>
#include <mutex>
#include <string>

namespace fw {

UINT RegisterWindowMessage(std::string_view name) {
    static std::mutex mutex;
    static std::map<std::string, UINT> byName;  // names compare without regard to case
    std::lock_guard lock(mutex);
    const std::string key =
        QString::fromUtf8(name.data(), static_cast<int>(name.size())).toLower().toStdString();
    auto it = byName.find(key);
    if (it != byName.end())
        return it->second;
    const UINT id = 0xC000 + static_cast<UINT>(byName.size());
    if (id > 0xFFFF)
        return 0;
    byName.emplace(key, id);
    return id;
}

}  // namespace fw
