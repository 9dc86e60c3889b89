// The hashed map that the library's collections share: an array of bucket chains (made on the
// first insertion), nodes carved out of blocks of `blockSize` that are recycled through a free
// list and given back only by RemoveAll, new entries at the head of their chain, and iteration
// bucket by bucket and along each chain from a start marker. The bucket of a key is the
// Hasher's answer modulo the hash size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Iteration positions: before the first entry, and the end (null).
using GXPOSITION = const void*;
inline const GXPOSITION GX_BEFORE_START = reinterpret_cast<GXPOSITION>(~std::uintptr_t(0));

template <class Key, class Value, class Hasher>
class GXHashMap {
public:
    explicit GXHashMap(unsigned hashSize, int blockSize = 10)
        : hashSize_(hashSize ? hashSize : 17), blockSize_(blockSize > 0 ? blockSize : 10) {}
    GXHashMap(const GXHashMap&) = delete;
    GXHashMap& operator=(const GXHashMap&) = delete;
    ~GXHashMap() = default;

    // Gives the map a new number of buckets (made now with `allocNow`); entries already held
    // are put into their new buckets rather than lost.
    void InitHashTable(unsigned hashSize, bool allocNow = true) {
        std::vector<Node*> held;
        for (Node* head : buckets_)
            for (Node* n = head; n; n = n->next) held.push_back(n);
        buckets_.clear();
        hashSize_ = hashSize ? hashSize : 1;
        if (allocNow || !held.empty())
            buckets_.assign(hashSize_, nullptr);
        for (auto it = held.rbegin(); it != held.rend(); ++it) {
            Node* n = *it;
            n->bucket = Bucket(n->key);
            n->next = buckets_[n->bucket];
            buckets_[n->bucket] = n;
        }
    }
    unsigned GetHashTableSize() const { return hashSize_; }
    std::size_t GetCount() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }

    bool Lookup(const Key& key, Value& value) const {
        const Node* n = Find(key);
        if (!n)
            return false;
        value = n->value;
        return true;
    }
    Value* LookupSlot(const Key& key) {
        Node* n = const_cast<Node*>(Find(key));
        return n ? &n->value : nullptr;
    }
    // The value slot of the key, made (with a zero value) when absent.
    Value& operator[](const Key& key) {
        if (Node* n = const_cast<Node*>(Find(key)))
            return n->value;
        if (buckets_.empty())
            buckets_.assign(hashSize_, nullptr);
        Node* n = NewNode();
        n->bucket = Bucket(key);
        n->key = key;
        n->next = buckets_[n->bucket];
        buckets_[n->bucket] = n;
        ++count_;
        return n->value;
    }
    void SetAt(const Key& key, const Value& value) { (*this)[key] = value; }
    bool RemoveKey(const Key& key) {
        if (buckets_.empty())
            return false;
        for (Node** link = &buckets_[Bucket(key)]; *link; link = &(*link)->next) {
            Node* n = *link;
            if (!(n->key == key))
                continue;
            *link = n->next;
            n->value = Value{};
            n->next = free_;
            free_ = n;
            --count_;
            return true;
        }
        return false;
    }
    void RemoveAll() {
        buckets_.clear();
        blocks_.clear();
        free_ = nullptr;
        count_ = 0;
    }

    GXPOSITION GetStartPosition() const { return count_ ? GX_BEFORE_START : nullptr; }
    // The entry at `pos` (GX_BEFORE_START: the first); `pos` moves to the next, null at the end.
    void GetNextAssoc(GXPOSITION& pos, Key& key, Value& value) const {
        const Node* n = pos == GX_BEFORE_START ? FirstFrom(0) : static_cast<const Node*>(pos);
        if (!n) {
            pos = nullptr;
            return;
        }
        key = n->key;
        value = n->value;
        pos = n->next ? n->next : FirstFrom(n->bucket + 1);
    }
    // Every entry in iteration order.
    template <class F>
    void ForEach(F&& f) const {
        for (const Node* n = FirstFrom(0); n; n = n->next ? n->next : FirstFrom(n->bucket + 1))
            f(n->key, n->value);
    }

private:
    struct Node {
        Node* next = nullptr;
        unsigned bucket = 0;
        Key key{};
        Value value{};
    };
    unsigned Bucket(const Key& key) const { return Hasher{}(key) % hashSize_; }
    const Node* Find(const Key& key) const {
        if (buckets_.empty())
            return nullptr;
        for (const Node* n = buckets_[Bucket(key)]; n; n = n->next)
            if (n->key == key)
                return n;
        return nullptr;
    }
    const Node* FirstFrom(std::size_t bucket) const {
        for (std::size_t b = bucket; b < buckets_.size(); ++b)
            if (buckets_[b])
                return buckets_[b];
        return nullptr;
    }
    Node* NewNode() {
        if (!free_) {
            auto block = std::make_unique<Node[]>(static_cast<std::size_t>(blockSize_));
            for (int i = blockSize_ - 1; i >= 0; --i) {
                block[static_cast<std::size_t>(i)].next = free_;
                free_ = &block[static_cast<std::size_t>(i)];
            }
            blocks_.push_back(std::move(block));
        }
        Node* n = free_;
        free_ = n->next;
        n->next = nullptr;
        return n;
    }

    std::vector<Node*> buckets_;
    unsigned hashSize_;
    std::size_t count_ = 0;
    Node* free_ = nullptr;
    std::vector<std::unique_ptr<Node[]>> blocks_;
    int blockSize_;
};
