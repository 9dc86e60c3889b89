#include "grid/core/CGXStylePtrArray.h"

#include "grid/core/GXLibraryState.h"

#include <algorithm>
#include <iterator>

const fw::RuntimeClass CGXStylePtrArray::kClass{"CGXStylePtrArray", 1, &fw::Serializable::kClass,
                                                fw::CreateInstance<CGXStylePtrArray>};
const fw::RuntimeClass CGXStylePtrArrayPtrArray::kClass{
    "CGXStylePtrArrayPtrArray", 1, &fw::Serializable::kClass,
    fw::CreateInstance<CGXStylePtrArrayPtrArray>};

namespace {

template <class T>
void InsertEmptyAt(std::vector<std::unique_ptr<T>>& v, std::size_t i, std::size_t count) {
    if (i >= v.size() || count == 0)
        return;
    std::vector<std::unique_ptr<T>> empty(count);
    v.insert(v.begin() + static_cast<std::ptrdiff_t>(i), std::make_move_iterator(empty.begin()),
             std::make_move_iterator(empty.end()));
}

template <class T>
void RemoveRangeOf(std::vector<std::unique_ptr<T>>& v, std::size_t start, std::size_t count) {
    if (start >= v.size() || count == 0)
        return;
    const std::size_t end = count > v.size() - start ? v.size() : start + count;
    v.erase(v.begin() + static_cast<std::ptrdiff_t>(start),
            v.begin() + static_cast<std::ptrdiff_t>(end));
}

// Moves a block within a sparse array: only elements that exist move, so positions beyond the
// end (which hold nothing) never make the array grow by more than the elements moved need.
template <class T>
void MoveRangeOf(std::vector<std::unique_ptr<T>>& v, std::size_t start, std::size_t count,
                 std::size_t dest) {
    const std::size_t n = v.size();
    if (start == dest || count == 0 || (start >= n && dest >= n))
        return;
    if (dest > start && dest < start + count)
        return;  // inside the block itself: nothing moves
    std::vector<std::pair<std::size_t, std::unique_ptr<T>>> moved;
    for (std::size_t i = 0; i < n; ++i) {
        if (!v[i])
            continue;
        std::size_t to = i;
        if (dest > start) {
            if (i >= start && i - start < count)
                to = i + (dest - start - count);
            else if (i >= start + count && i < dest)
                to = i - count;
        } else {
            if (i >= start && i - start < count)
                to = i - (start - dest);
            else if (i >= dest && i < start)
                to = i + count;
        }
        moved.emplace_back(to, std::move(v[i]));
    }
    std::size_t size = n;
    for (const auto& m : moved) size = std::max(size, m.first + 1);
    v.clear();
    v.resize(size);
    for (auto& m : moved) v[m.first] = std::move(m.second);
    while (v.size() > n && !v.back()) v.pop_back();
}

}  // namespace

void CGXStylePtrArray::Serialize(fw::Archive& ar) {
    if (CGXAbstractGridDocSerializeImp* imp = GXGetLibraryState().m_pDocSerializeImp)
        imp->SerializeStyleArray(*this, ar);
}

void CGXStylePtrArray::CopyFrom(const CGXStylePtrArray& other) {
    if (&other == this)
        return;
    std::vector<std::unique_ptr<CGXStyle>> copy(other.items_.size());
    for (std::size_t i = 0; i < copy.size(); ++i)
        if (other.items_[i])
            copy[i] = other.items_[i]->Clone();
    items_ = std::move(copy);
}

void CGXStylePtrArray::SetAt(std::size_t i, std::unique_ptr<CGXStyle> style) {
    if (i >= items_.size())
        items_.resize(i + 1);
    items_[i] = std::move(style);
}

void CGXStylePtrArray::InsertEmpty(std::size_t i, std::size_t count) {
    InsertEmptyAt(items_, i, count);
}

void CGXStylePtrArray::RemoveRange(std::size_t start, std::size_t count) {
    RemoveRangeOf(items_, start, count);
}

void CGXStylePtrArray::MoveRange(std::size_t start, std::size_t count, std::size_t dest) {
    MoveRangeOf(items_, start, count, dest);
}

void CGXStylePtrArray::TrimTrailingNulls() {
    while (!items_.empty() && !items_.back()) items_.pop_back();
}

void CGXStylePtrArrayPtrArray::Serialize(fw::Archive& ar) {
    if (CGXAbstractGridDocSerializeImp* imp = GXGetLibraryState().m_pDocSerializeImp)
        imp->SerializeCellArray(*this, ar);
}

void CGXStylePtrArrayPtrArray::CopyFrom(const CGXStylePtrArrayPtrArray& other) {
    if (&other == this)
        return;
    std::vector<std::unique_ptr<CGXStylePtrArray>> copy(other.rows_.size());
    for (std::size_t i = 0; i < copy.size(); ++i)
        if (other.rows_[i])
            copy[i] = std::make_unique<CGXStylePtrArray>(*other.rows_[i]);
    rows_ = std::move(copy);
}

void CGXStylePtrArrayPtrArray::InsertEmpty(std::size_t i, std::size_t count) {
    InsertEmptyAt(rows_, i, count);
}

void CGXStylePtrArrayPtrArray::RemoveRange(std::size_t start, std::size_t count) {
    RemoveRangeOf(rows_, start, count);
}

void CGXStylePtrArrayPtrArray::MoveRange(std::size_t start, std::size_t count, std::size_t dest) {
    MoveRangeOf(rows_, start, count, dest);
}
