// CRccArg: the descriptor of one argument of a remote call, a type code (as the method's
// signature has it) and a pointer to a value in the form RccTag gives that code.
#pragma once

#include <cstdint>
#include <vector>

#include "rcc/RccTypeTraits.h"

struct CRccArg {
    RccTypeCode type = 0;
    void* value = nullptr;

    CRccArg() = default;
    CRccArg(RccTypeCode t, void* v) : type(t), value(v) {}

    // The value as the form of bare code C; null when the descriptor holds another code.
    template <RccTypeCode C>
    typename RccTag<C>::type* as() const {
        return RccBareCode(type) == C ? static_cast<typename RccTag<C>::type*>(value) : nullptr;
    }

    // A new heap value of the code's form; null for a code without one.
    static void* newValue(RccTypeCode code);
    // Deletes a value made by newValue by its code and sets the pointer to null; an
    // unknown code frees nothing.
    void freeValue();
};

// An argument list that owns its values (the server side, where values are unmarshaled
// into heap objects).
class RccOwnedArgs {
public:
    RccOwnedArgs() = default;
    RccOwnedArgs(const RccOwnedArgs&) = delete;
    RccOwnedArgs& operator=(const RccOwnedArgs&) = delete;
    ~RccOwnedArgs();

    // Appends a new empty value of the code; for a code without a form the descriptor
    // is appended without a value and the result is false.
    bool add(RccTypeCode code);
    std::vector<CRccArg>& args() { return args_; }
    size_t size() const { return args_.size(); }
    CRccArg& operator[](size_t i) { return args_[i]; }

private:
    std::vector<CRccArg> args_;
};
