#include "framework/controls/ListSearch.h"

namespace fw {

int FindListString(int count, const std::function<QString(int)>& itemText, int start,
                   const QString& text, bool exact) {
    if (count <= 0)
        return -1;
    if (start < -1 || start >= count)
        start = -1;
    for (int n = 1; n <= count; ++n) {
        const int i = (start + n) % count;
        const QString item = itemText(i);
        const bool hit = exact ? item.compare(text, Qt::CaseInsensitive) == 0
                               : item.startsWith(text, Qt::CaseInsensitive);
        if (hit)
            return i;
    }
    return -1;
}

}  // namespace fw
