#include "rcc/RccArg.h"

#include "rcc/RccValue.h"

void* CRccArg::newValue(RccTypeCode code) {
    void* made = nullptr;
    RccDispatch(code, [&](auto tag) { made = new typename decltype(tag)::type(); });
    return made;
}

void CRccArg::freeValue() {
    if (!value)
        return;
    bool known = RccDispatch(
        type, [&](auto tag) { delete static_cast<typename decltype(tag)::type*>(value); });
    if (known)
        value = nullptr;
}

RccOwnedArgs::~RccOwnedArgs() {
    for (CRccArg& arg : args_) arg.freeValue();
}

bool RccOwnedArgs::add(RccTypeCode code) {
    args_.reserve(args_.size() + 1);
    void* made = CRccArg::newValue(code);
    args_.emplace_back(code, made);
    return made != nullptr;
}
