// CRccBuffer: the growable byte buffer in which a PDU is built or from which a received
// PDU is read. Bytes are appended at the tail (reserve, write, commit) and read at the
// head (read, consume).
#pragma once

#include <cstdint>
#include <memory>
#include <span>

class CRccBuffer {
public:
    CRccBuffer() = default;
    CRccBuffer(const CRccBuffer&) = delete;
    CRccBuffer& operator=(const CRccBuffer&) = delete;

    // Room for n more bytes behind the held ones; returns where to write them, or null
    // when the block cannot grow. Growth allocates held + n + 1024 bytes.
    uint8_t* reserve(size_t n);
    // Makes the block at least `total` bytes long (exactly that when it grows).
    bool ensureCapacity(size_t total);
    // Counts n bytes written at the reserved position as held.
    void commit(size_t n);
    // Drops n bytes read at the head; an emptied buffer starts again at its block's start.
    void consume(size_t n);
    // Appends a copy of bytes; false when the block cannot grow.
    bool append(std::span<const uint8_t> bytes);
    // Drops every held byte.
    void reset() { head_ = tail_ = 0; }

    // The bytes held, from the head.
    const uint8_t* head() const { return block_.get() + head_; }
    uint8_t* head() { return block_.get() + head_; }
    const uint8_t* end() const { return block_.get() + tail_; }
    size_t count() const { return tail_ - head_; }
    std::span<const uint8_t> bytes() const { return {head(), count()}; }
    size_t capacity() const { return capacity_; }

private:
    bool moveTo(size_t newCapacity);

    std::unique_ptr<uint8_t[]> block_;
    size_t head_ = 0;
    size_t tail_ = 0;
    size_t capacity_ = 0;
};
