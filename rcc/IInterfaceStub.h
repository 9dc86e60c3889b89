// The server side of one remote-call interface: a stub registered with a dispatcher runs
// the interface's methods for the requests that arrive.
#pragma once

#include <cstdint>
#include <vector>

#include "rcc/IOMTransaction.h"
#include "rcc/RccArg.h"

class IInterfaceStub {
public:
    virtual ~IInterfaceStub() = default;
    // Runs one method. requestArgs hold the request's values in signature order (each
    // value in the form RccTag gives its code); the stub writes the method's status and
    // fills the values replyArgs point at. For the transaction-list methods the request's
    // list is `list`, and the reply carries `list` back.
    virtual void invoke(uint32_t interfaceId, uint32_t methodId, std::vector<CRccArg>& requestArgs,
                        uint32_t* status, std::vector<CRccArg>& replyArgs,
                        IOMTransactionList* list) = 0;
};
