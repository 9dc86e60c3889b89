// The stub of interface 1, "IStandard", that every dispatcher serves about itself: which
// interfaces it serves.
#pragma once

#include "rcc/IInterfaceStub.h"

class StubDispatcher;

class IStandardStub : public IInterfaceStub {
public:
    explicit IStandardStub(StubDispatcher& owner) : owner_(owner) {}

    // Method 0: the names of the registered interfaces; method 1: whether a name is one
    // of them. Status 0x012D0000; 0x812C0012 for another interface, 0x812C0020 for
    // another method.
    void invoke(uint32_t interfaceId, uint32_t methodId, std::vector<CRccArg>& requestArgs,
                uint32_t* status, std::vector<CRccArg>& replyArgs,
                IOMTransactionList* list) override;

private:
    StubDispatcher& owner_;
};
