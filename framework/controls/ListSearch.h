// The search rule of list and combo boxes: from the item after `start` (-1: from the first)
// round to the item before it, the first item that begins with the text (or equals it, when
// exact), both without regard to case. -1 when none does; an empty text finds nothing when
// exact and the next item otherwise.
#pragma once

#include <QString>

#include <functional>

namespace fw {

int FindListString(int count, const std::function<QString(int)>& itemText, int start,
                   const QString& text, bool exact);

}  // namespace fw
