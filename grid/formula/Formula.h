// The compiled formula: a flat array of nodes that refer to each other by index.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "grid/formula/RangeRef.h"

namespace formula {

struct GXWorksheetFunctionEntry;

// A defined name of a sheet; formula nodes point at it while it exists.
struct GXRangeName {
    std::string name;
    GXRangeRef ref;
};

enum GXNodeKind : uint8_t {
    GX_NODE_OPERATOR = 0,
    GX_NODE_NUMBER = 1,
    GX_NODE_STRING = 2,
    GX_NODE_CELL = 3,
    GX_NODE_RANGE = 4,
    GX_NODE_BARE_NAME = 5,  // only while parsing
    GX_NODE_NAMED_CELL = 6,
    GX_NODE_NAMED_RANGE = 7,
    GX_NODE_CALL = 8,
    GX_NODE_ARG_LINK = 9,
    GX_NODE_RELATIVE = 10,
    GX_NODE_BRANCHES = 11,
};

enum GXNodeFlag : uint8_t {
    GX_NODE_PARENTHESISED = 1 << 0,
    GX_NODE_HEX = 1 << 1,
    GX_NODE_UNEVALUATED = 1 << 2,
    GX_NODE_NOT_DEPENDENCY = 1 << 4,
};

enum GXOperator : int {
    GX_OP_ADD = 0,
    GX_OP_SUB = 1,
    GX_OP_PLUS = 2,
    GX_OP_NEG = 3,
    GX_OP_MUL = 4,
    GX_OP_DIV = 5,
    GX_OP_POW = 6,
    GX_OP_MOD = 7,
    GX_OP_AND = 8,
    GX_OP_OR = 9,
    GX_OP_NOT = 10,
    GX_OP_CONCAT = 11,
    GX_OP_BITOR = 12,
    GX_OP_BITXOR = 13,
    GX_OP_BITNOT = 14,
    GX_OP_SHL = 15,
    GX_OP_SHR = 16,
    GX_OP_EQ = 17,
    GX_OP_NE = 18,
    GX_OP_LT = 19,
    GX_OP_GT = 20,
    GX_OP_LE = 21,
    GX_OP_GE = 22,
    GX_OP_COND = 23,
    GX_OP_RANGE = 24,
    GX_OP_PERCENT = 25,
    GX_OP_ERROR = 26,
};

// A text kept out of line, for a string literal node, a formula's comment or a cell's text
// value: most nodes, formulas and cells have none, and small records keep a large sheet
// compact. An empty text is told from none.
class GXBoxedText {
public:
    GXBoxedText() = default;
    GXBoxedText(const GXBoxedText& other)
        : text_(other.text_ ? std::make_unique<std::string>(*other.text_) : nullptr) {}
    GXBoxedText(GXBoxedText&&) noexcept = default;
    GXBoxedText& operator=(const GXBoxedText& other) {
        if (this != &other) {
            text_ = other.text_ ? std::make_unique<std::string>(*other.text_) : nullptr;
        }
        return *this;
    }
    GXBoxedText& operator=(GXBoxedText&&) noexcept = default;
    GXBoxedText& operator=(std::string text) {
        text_ = std::make_unique<std::string>(std::move(text));
        return *this;
    }

    const std::string& str() const {
        static const std::string kEmpty;
        return text_ ? *text_ : kEmpty;
    }
    operator const std::string&() const { return str(); }
    bool empty() const { return str().empty(); }
    bool has() const { return text_ != nullptr; }
    void reset() { text_.reset(); }
    bool operator==(std::string_view other) const { return str() == other; }

private:
    std::unique_ptr<std::string> text_;
};

// One node of a compiled formula: 32 bytes, so that a pass over a large sheet streams half as
// many cache lines of nodes. The payload fields serve one kind each and share their bytes; a
// reader asks for the field of the node's kind only (a number node has no name).
struct GXExprNode {
    GXNodeKind kind = GX_NODE_OPERATOR;
    uint8_t flags = 0;
    uint8_t op = 0;  // operator (GXOperator)
    int16_t left = -1;
    int16_t right = -1;
    union {
        GXRangeRef ref{};                    // cell, range
        double number;                       // number
        GXRangeName* name;                   // named cell or range (null: undefined)
        const GXWorksheetFunctionEntry* fn;  // call (null: undefined)
        struct {
            int16_t rowTerm;  // relative reference
            int16_t colTerm;
        };
        struct {
            int16_t prevLink;     // argument link: previous link or the call
            uint16_t conversion;  // argument link: descriptor's conversion
        };
    };
    GXBoxedText text;  // string literal

    bool named() const { return kind == GX_NODE_NAMED_CELL || kind == GX_NODE_NAMED_RANGE; }
};
static_assert(sizeof(GXExprNode) == 32);

// The nodes of a formula, with the part of a vector's interface the engine uses. A formula
// made for a cell (GXFormula::Compact) holds them in its own allocation, right after its
// fields, so that a pass over a large sheet reads one block per formula rather than two and
// finds the nodes without first reading where they are. Any other array keeps them on the
// heap, and one that outgrows the formula's block moves there.
class GXNodeArray {
public:
    GXNodeArray() = default;
    GXNodeArray(const GXNodeArray& other) { assign(other.begin(), other.end()); }
    GXNodeArray(GXNodeArray&& other) noexcept { Take(other); }
    GXNodeArray& operator=(const GXNodeArray& other) {
        if (this != &other) {
            assign(other.begin(), other.end());
        }
        return *this;
    }
    GXNodeArray& operator=(GXNodeArray&& other) noexcept {
        if (this != &other) {
            clear();
            Take(other);
        }
        return *this;
    }
    ~GXNodeArray() {
        clear();
        Release();
    }

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    GXExprNode* data() { return data_; }
    const GXExprNode* data() const { return data_; }
    GXExprNode& operator[](size_t i) { return data_[i]; }
    const GXExprNode& operator[](size_t i) const { return data_[i]; }
    GXExprNode* begin() { return data_; }
    GXExprNode* end() { return data_ + size_; }
    const GXExprNode* begin() const { return data_; }
    const GXExprNode* end() const { return data_ + size_; }

    void clear() {
        std::destroy_n(data_, size_);
        size_ = 0;
    }
    void reserve(size_t n) {
        if (n <= capacity_) {
            return;
        }
        auto* to = static_cast<GXExprNode*>(::operator new(n * sizeof(GXExprNode)));
        std::uninitialized_move_n(data_, size_, to);
        std::destroy_n(data_, size_);
        Release();
        data_ = to;
        capacity_ = static_cast<uint32_t>(n);
        owned_ = true;
    }
    void resize(size_t n) {
        reserve(n);
        if (n < size_) {
            std::destroy(data_ + n, data_ + size_);
        } else {
            std::uninitialized_value_construct(data_ + size_, data_ + n);
        }
        size_ = static_cast<uint32_t>(n);
    }
    template <typename It>
    void assign(It first, It last) {
        clear();
        reserve(static_cast<size_t>(std::distance(first, last)));
        std::uninitialized_copy(first, last, data_);
        size_ = static_cast<uint32_t>(std::distance(first, last));
    }

private:
    friend struct GXFormula;

    // Room for nodes that the array's owner provides and frees; only while empty.
    void UseRoom(GXExprNode* room, size_t n) {
        Release();
        data_ = room;
        capacity_ = static_cast<uint32_t>(n);
        owned_ = false;
    }
    // Takes other's nodes; its own heap array outright, nodes in another's room one by one.
    void Take(GXNodeArray& other) noexcept {
        if (other.owned_) {
            Release();
            data_ = std::exchange(other.data_, nullptr);
            size_ = std::exchange(other.size_, 0);
            capacity_ = other.capacity_;
            owned_ = true;
            other.capacity_ = 0;
            other.owned_ = false;
            return;
        }
        reserve(other.size_);
        std::uninitialized_move_n(other.data_, other.size_, data_);
        size_ = other.size_;
        other.clear();
    }
    void Release() {
        if (owned_) {
            ::operator delete(data_);
        }
        data_ = nullptr;
        capacity_ = 0;
        owned_ = false;
    }

    GXExprNode* data_ = nullptr;
    uint32_t size_ = 0;
    uint32_t capacity_ : 31 = 0;
    uint32_t owned_ : 1 = 0;
};
static_assert(sizeof(GXNodeArray) == 16);

// A reference recalculation follows: a cell or range, or a defined name whose reference is
// read at each use, so redefining the name needs no new list. 16 bytes: a name's pointer takes
// the place of the reference it stands for, and the fourth word tells which is held.
class GXDependencyRef {
public:
    GXDependencyRef() = default;
    explicit GXDependencyRef(const GXRangeRef& ref) : ref_(ref) {}
    explicit GXDependencyRef(const GXRangeName* name) : named_(1) {
        std::memcpy(static_cast<void*>(&ref_), &name, sizeof name);
    }

    const GXRangeRef& current() const {
        if (named_ == 0) {
            return ref_;
        }
        const GXRangeName* name;
        std::memcpy(&name, static_cast<const void*>(&ref_), sizeof name);
        return name->ref;
    }

private:
    static_assert(sizeof(GXRangeRef) >= sizeof(const GXRangeName*));
    GXRangeRef ref_{};
    uint32_t named_ = 0;
};
static_assert(sizeof(GXDependencyRef) == 16);

// The references of a formula that recalculation follows, listed once from its nodes and kept
// with the formula: a pass over a large sheet then reads a few bytes per formula instead of
// every node. Up to two lie in the list itself, more in an array of their own that takes the
// same bytes. A copy starts unlisted (its nodes may be edited before it is used).
class GXDependencyList {
public:
    GXDependencyList() : more_(nullptr) {}
    GXDependencyList(const GXDependencyList&) : more_(nullptr) {}
    GXDependencyList& operator=(const GXDependencyList&) {
        Forget();
        return *this;
    }
    ~GXDependencyList() { Forget(); }

    bool listed() const { return listed_; }
    // Plain: evaluating the formula reads only the listed references and has no other effect.
    bool plain() const { return plain_; }
    void Forget() {
        if (count_ > kInline) {
            delete[] more_;
        }
        listed_ = false;
        plain_ = false;
        count_ = 0;
    }
    void Assign(const std::vector<GXDependencyRef>& refs, bool plain) {
        Forget();
        GXDependencyRef* to = inline_;
        if (refs.size() > kInline) {
            more_ = new GXDependencyRef[refs.size()];
            to = more_;
        }
        count_ = static_cast<uint32_t>(refs.size());
        plain_ = plain;
        std::copy(refs.begin(), refs.end(), to);
        listed_ = true;
    }
    const GXDependencyRef* begin() const { return count_ <= kInline ? inline_ : more_; }
    const GXDependencyRef* end() const { return begin() + count_; }

private:
    static constexpr uint32_t kInline = 2;
    bool listed_ = false;
    bool plain_ = false;
    uint32_t count_ = 0;
    union {
        GXDependencyRef inline_[kInline];
        GXDependencyRef* more_;  // owned while count_ > kInline
    };
};
static_assert(sizeof(GXDependencyList) == 40);

// What a recalculation pass reads of every formula (the root, the reference list and where the
// nodes are) lies together in its first 64 bytes; a formula made by Compact has its nodes
// right after it.
struct GXFormula {
    int16_t root = -1;
    int16_t constraint = -1;
    int16_t attached = -1;
    // Code that edits nodes in place calls dependencies.Forget().
    mutable GXDependencyList dependencies;
    GXNodeArray nodes;
    GXBoxedText comment;

    bool empty() const { return root < 0; }

    // A copy of f in one allocation with its nodes: the form a cell keeps.
    static std::unique_ptr<GXFormula> Compact(const GXFormula& f) {
        return MakeCompact(f, f.nodes.begin(), f.nodes.end());
    }
    static std::unique_ptr<GXFormula> Compact(GXFormula&& f) {
        return MakeCompact(f, std::make_move_iterator(f.nodes.begin()),
                           std::make_move_iterator(f.nodes.end()));
    }

    // Every formula, compact or not, is freed by the unsized delete: a compact one is larger
    // than the type says.
    static void* operator new(size_t size) { return ::operator new(size); }
    static void operator delete(void* at) { ::operator delete(at); }

private:
    template <typename It>
    static std::unique_ptr<GXFormula> MakeCompact(const GXFormula& f, It first, It last) {
        size_t n = f.nodes.size();
        void* block = ::operator new(sizeof(GXFormula) + n * sizeof(GXExprNode));
        std::unique_ptr<GXFormula> out(::new (block) GXFormula());
        out->root = f.root;
        out->constraint = f.constraint;
        out->attached = f.attached;
        out->comment = f.comment;
        out->nodes.UseRoom(reinterpret_cast<GXExprNode*>(out.get() + 1), n);
        out->nodes.assign(first, last);
        return out;
    }
};
static_assert(sizeof(GXFormula) % alignof(GXExprNode) == 0);
static_assert(sizeof(GXFormula) == 72);

}  // namespace formula
