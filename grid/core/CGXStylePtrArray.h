// Arrays of owned styles, indexed by row or column number (null where nothing is stored), and
// the cell array: one style array per row, indexed by column.
#pragma once

#include "framework/persist/RuntimeClass.h"
#include "grid/core/CGXStyle.h"

#include <memory>
#include <vector>

class CGXStylePtrArray : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    CGXStylePtrArray() = default;
    CGXStylePtrArray(const CGXStylePtrArray& other) : fw::Serializable() { CopyFrom(other); }
    CGXStylePtrArray& operator=(const CGXStylePtrArray& other) {
        CopyFrom(other);
        return *this;
    }

    // Through the document-serialisation component (nothing without it).
    void Serialize(fw::Archive& ar) override;
    // Deletes its own elements and stores a clone of each non-null element of `other`.
    void CopyFrom(const CGXStylePtrArray& other);

    std::size_t GetSize() const { return items_.size(); }
    void SetSize(std::size_t n) { items_.resize(n); }
    // The element at i, or null (also beyond the end).
    CGXStyle* GetAt(std::size_t i) const { return i < items_.size() ? items_[i].get() : nullptr; }
    std::unique_ptr<CGXStyle>& ElementAt(std::size_t i) { return items_.at(i); }
    void SetAt(std::size_t i, std::unique_ptr<CGXStyle> style);
    // Inserts `count` empty entries at i (nothing when i lies beyond the end: there is nothing
    // behind it to shift).
    void InsertEmpty(std::size_t i, std::size_t count);
    // Deletes and removes the elements start..start + count - 1 that exist.
    void RemoveRange(std::size_t start, std::size_t count);
    // Moves the block of `count` elements at `start` so that it stands before the element that
    // was at `dest`. Nothing when start equals dest, count is 0 or both lie beyond the end.
    void MoveRange(std::size_t start, std::size_t count, std::size_t dest);
    void RemoveAll() { items_.clear(); }
    void TrimTrailingNulls();

private:
    std::vector<std::unique_ptr<CGXStyle>> items_;
};

class CGXStylePtrArrayPtrArray : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    CGXStylePtrArrayPtrArray() = default;
    CGXStylePtrArrayPtrArray(const CGXStylePtrArrayPtrArray& other) : fw::Serializable() {
        CopyFrom(other);
    }
    CGXStylePtrArrayPtrArray& operator=(const CGXStylePtrArrayPtrArray& other) {
        CopyFrom(other);
        return *this;
    }

    void Serialize(fw::Archive& ar) override;
    void CopyFrom(const CGXStylePtrArrayPtrArray& other);

    std::size_t GetSize() const { return rows_.size(); }
    void SetSize(std::size_t n) { rows_.resize(n); }
    CGXStylePtrArray* GetAt(std::size_t i) const {
        return i < rows_.size() ? rows_[i].get() : nullptr;
    }
    std::unique_ptr<CGXStylePtrArray>& ElementAt(std::size_t i) { return rows_.at(i); }
    void InsertEmpty(std::size_t i, std::size_t count);
    void RemoveRange(std::size_t start, std::size_t count);
    void MoveRange(std::size_t start, std::size_t count, std::size_t dest);
    void RemoveAll() { rows_.clear(); }

private:
    std::vector<std::unique_ptr<CGXStylePtrArray>> rows_;
};
