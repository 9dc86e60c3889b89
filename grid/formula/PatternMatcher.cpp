#include "grid/formula/PatternMatcher.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <cstring>
#include <vector>

namespace formula {

namespace {

enum Op : uint8_t {
    kEnd = 0,
    kChr = 1,
    kAny = 2,
    kClass = 3,
    kNotClass = 4,
    kBol = 5,
    kEol = 6,
    kGroupOpen = 7,
    kGroupClose = 8,
    kWordStart = 9,
    kWordEnd = 10,
    kBackRef = 11,
    kClosure = 12,
};

// Classes cover every byte value: 32 bytes of bits.
constexpr size_t kClassBytes = 32;
// A pathological pattern (many closures) must not hang the sheet: after this many steps the
// attempt gives up and counts as no match.
constexpr long kStepBudget = 10'000'000;

struct RegexState {
    std::vector<uint8_t> code;  // the compiled pattern, ending in kEnd
    bool compiled = false;
    const char* bol = nullptr;
    std::array<const char*, 10> start{};
    std::array<const char*, 10> end{};
    long steps = 0;
};

RegexState& State() {
    static RegexState s;
    return s;
}

struct CompileError {
    const char* text;
};

bool IsWord(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z');
}

class Compiler {
public:
    explicit Compiler(const char* pattern) : p_(pattern) {}

    std::vector<uint8_t> Run();

private:
    void Emit(uint8_t b) {
        if (out_.size() >= GX_REGEX_MAX) {
            throw CompileError{"Regular expression too long"};
        }
        out_.push_back(b);
    }
    void Class();
    void Closure(bool plus);

    const char* p_;
    std::vector<uint8_t> out_;
    size_t lastItem_ = SIZE_MAX;  // start of the last item a closure may repeat
    bool lastClosure_ = false;
    std::vector<int> open_;
    int groups_ = 0;
};

void Compiler::Class() {
    bool negated = *p_ == '^';
    if (negated) {
        ++p_;
    }
    std::bitset<256> bits;
    if (*p_ == ']' || *p_ == '-') {
        bits.set(static_cast<unsigned char>(*p_++));
    }
    while (*p_ != '\0' && *p_ != ']') {
        auto c = static_cast<unsigned char>(*p_++);
        if (*p_ == '-' && p_[1] != '\0' && p_[1] != ']') {
            auto last = static_cast<unsigned char>(p_[1]);
            for (unsigned v = c; v <= last; ++v) {
                bits.set(v);
            }
            p_ += 2;
        } else {
            bits.set(c);
        }
    }
    if (*p_ != ']') {
        throw CompileError{"Missing ]"};
    }
    ++p_;
    Emit(negated ? kNotClass : kClass);
    for (size_t byte = 0; byte < kClassBytes; ++byte) {
        uint8_t b = 0;
        for (int bit = 0; bit < 8; ++bit) {
            b |= bits[byte * 8 + bit] ? (1 << bit) : 0;
        }
        Emit(b);
    }
}

void Compiler::Closure(bool plus) {
    if (lastItem_ == SIZE_MAX) {
        throw CompileError{out_.empty() ? "Empty closure" : "Illegal closure"};
    }
    std::vector<uint8_t> item(out_.begin() + static_cast<long>(lastItem_), out_.end());
    if (plus) {
        Emit(kClosure);
        for (uint8_t b : item) {
            Emit(b);
        }
    } else {
        out_.insert(out_.begin() + static_cast<long>(lastItem_), kClosure);
        if (out_.size() > GX_REGEX_MAX) {
            throw CompileError{"Regular expression too long"};
        }
    }
    Emit(kEnd);
}

std::vector<uint8_t> Compiler::Run() {
    const char* begin = p_;
    for (; *p_ != '\0';) {
        char c = *p_++;
        if ((c == '*' || c == '+') && lastClosure_) {
            continue;  // a closure of a closure changes nothing
        }
        if (c == '*' || c == '+') {
            Closure(c == '+');
            lastClosure_ = true;
            lastItem_ = SIZE_MAX;
            continue;
        }
        lastClosure_ = false;
        size_t at = out_.size();
        bool repeatable = true;
        if (c == '.') {
            Emit(kAny);
        } else if (c == '[') {
            Class();
        } else if (c == '^' && p_ - 1 == begin) {
            Emit(kBol);
            repeatable = false;
        } else if (c == '$' && *p_ == '\0') {
            Emit(kEol);
            repeatable = false;
        } else if (c == '\\' && *p_ != '\0') {
            char e = *p_++;
            repeatable = false;
            if (e == '(') {
                if (groups_ >= 9) {
                    throw CompileError{"Too many \\(\\) pairs"};
                }
                open_.push_back(++groups_);
                Emit(kGroupOpen);
                Emit(static_cast<uint8_t>(groups_));
            } else if (e == ')') {
                if (open_.empty()) {
                    throw CompileError{"Unmatched \\)"};
                }
                if (out_.size() >= 2 && out_[out_.size() - 2] == kGroupOpen) {
                    throw CompileError{"Null pattern inside \\(\\)"};
                }
                Emit(kGroupClose);
                Emit(static_cast<uint8_t>(open_.back()));
                open_.pop_back();
            } else if (e >= '1' && e <= '9') {
                int n = e - '0';
                for (int g : open_) {
                    if (g == n) {
                        throw CompileError{"Cyclical reference"};
                    }
                }
                if (n > groups_) {
                    throw CompileError{"Undetermined reference"};
                }
                Emit(kBackRef);
                Emit(static_cast<uint8_t>(n));
            } else if (e == '<') {
                Emit(kWordStart);
            } else if (e == '>') {
                if (!out_.empty() && out_.back() == kWordStart) {
                    throw CompileError{"Null pattern inside \\<\\>"};
                }
                Emit(kWordEnd);
            } else {
                Emit(kChr);
                Emit(static_cast<uint8_t>(e));
                repeatable = true;
            }
        } else {
            Emit(kChr);
            Emit(static_cast<uint8_t>(c));
        }
        lastItem_ = repeatable ? at : SIZE_MAX;
    }
    if (!open_.empty()) {
        throw CompileError{"Unmatched \\("};
    }
    Emit(kEnd);
    return out_;
}

// Size of the item at code[i] (for closures).
size_t ItemSize(const std::vector<uint8_t>& code, size_t i) {
    switch (code[i]) {
        case kChr:
            return 2;
        case kClass:
        case kNotClass:
            return 1 + kClassBytes;
        default:
            return 1;
    }
}

bool InClass(const uint8_t* bits, char c) {
    auto v = static_cast<unsigned char>(c);
    return (bits[v >> 3] >> (v & 7)) & 1;
}

// Whether the single item at code[i] matches the byte at s.
bool ItemMatches(const std::vector<uint8_t>& code, size_t i, const char* s) {
    if (*s == '\0') {
        return false;
    }
    switch (code[i]) {
        case kChr:
            return static_cast<uint8_t>(*s) == code[i + 1];
        case kAny:
            return true;
        case kClass:
            return InClass(&code[i + 1], *s);
        case kNotClass:
            return !InClass(&code[i + 1], *s);
        default:
            return false;
    }
}

// The end of a match of code from i at s, or null.
const char* Match(const std::vector<uint8_t>& code, size_t i, const char* s) {
    RegexState& st = State();
    for (;;) {
        if (++st.steps > kStepBudget) {
            return nullptr;
        }
        switch (code[i]) {
            case kEnd:
                return s;
            case kChr:
            case kAny:
            case kClass:
            case kNotClass:
                if (!ItemMatches(code, i, s)) {
                    return nullptr;
                }
                ++s;
                i += ItemSize(code, i);
                break;
            case kBol:
                if (s != st.bol) {
                    return nullptr;
                }
                ++i;
                break;
            case kEol:
                if (*s != '\0') {
                    return nullptr;
                }
                ++i;
                break;
            case kGroupOpen:
                st.start[code[i + 1]] = s;
                i += 2;
                break;
            case kGroupClose:
                st.end[code[i + 1]] = s;
                i += 2;
                break;
            case kWordStart:
                if ((s != st.bol && IsWord(s[-1])) || !IsWord(*s)) {
                    return nullptr;
                }
                ++i;
                break;
            case kWordEnd:
                if (s == st.bol || !IsWord(s[-1]) || IsWord(*s)) {
                    return nullptr;
                }
                ++i;
                break;
            case kBackRef: {
                int n = code[i + 1];
                const char* a = st.start[n];
                const char* b = st.end[n];
                if (a == nullptr || b == nullptr || b < a) {
                    return nullptr;
                }
                size_t len = static_cast<size_t>(b - a);
                if (std::strncmp(s, a, len) != 0) {
                    return nullptr;
                }
                s += len;
                i += 2;
                break;
            }
            case kClosure: {
                size_t item = i + 1;
                size_t rest = item + ItemSize(code, item) + 1;  // past the item and its kEnd
                long n = 0;
                while (ItemMatches(code, item, s + n)) {
                    ++n;
                }
                for (; n >= 0; --n) {  // the longest extent first, down to none
                    if (const char* e = Match(code, rest, s + n)) {
                        return e;
                    }
                }
                return nullptr;
            }
            default:
                return nullptr;
        }
    }
}

}  // namespace

const char* RegexCompile(const char* pattern) {
    RegexState& st = State();
    if (pattern == nullptr || *pattern == '\0') {
        return st.compiled && !st.code.empty() && st.code[0] != kEnd
                   ? nullptr
                   : "No previous regular expression";
    }
    st.compiled = false;
    try {
        st.code = Compiler(pattern).Run();
    } catch (const CompileError& e) {
        st.code.assign(1, kEnd);
        return e.text;
    }
    st.compiled = true;
    return nullptr;
}

int RegexExecute(const char* subject) {
    RegexState& st = State();
    st.start.fill(nullptr);
    st.end.fill(nullptr);
    if (!st.compiled || subject == nullptr) {
        return 0;
    }
    st.bol = subject;
    st.steps = 0;
    const std::vector<uint8_t>& code = st.code;
    const char* from = subject;
    if (code[0] == kBol) {
        if (const char* e = Match(code, 0, subject)) {
            st.start[0] = subject;
            st.end[0] = e;
            return 1;
        }
        return 0;
    }
    if (code[0] == kChr) {
        from = std::strchr(subject, static_cast<char>(code[1]));
        if (from == nullptr) {
            return 0;
        }
    }
    for (const char* s = from; *s != '\0'; ++s) {
        if (const char* e = Match(code, 0, s)) {
            st.start[0] = s;
            st.end[0] = e;
            return 1;
        }
    }
    return 0;
}

bool RegexSlot(int slot, size_t& start, size_t& end) {
    RegexState& st = State();
    if (slot < 0 || slot > 9 || st.start[slot] == nullptr || st.end[slot] == nullptr) {
        return false;
    }
    start = static_cast<size_t>(st.start[slot] - st.bol);
    end = static_cast<size_t>(st.end[slot] - st.bol);
    return true;
}

void GXRegexReset() {
    RegexState& st = State();
    st = RegexState{};
}

}  // namespace formula
