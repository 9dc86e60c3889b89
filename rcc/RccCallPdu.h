// Building and reading the PDUs of one call, by the method's signature. The client builds
// requests and reads replies; the server reads requests and builds replies.
#pragma once

#include <cstdint>
#include <vector>

#include "rcc/IOMTransaction.h"
#include "rcc/MethodSignatures.h"
#include "rcc/RccArg.h"
#include "rcc/RccBody.h"
#include "rcc/RccBuffer.h"
#include "rcc/RccPdu.h"

// Appends a request (header, then the inputs or the list) and writes its length.
// RCC_S_OK, or RCC_E_OUT_OF_MEMORY (logged) when it cannot be built.
uint32_t RccBuildRequest(CRccBuffer& out, const RccPduHeader& header,
                         const CMethodSignature& signature, const std::vector<CRccArg>& inArgs,
                         const IOMTransactionList* list);

enum class RccReplyError { None, HeaderMismatch, BadBody, OutOfMemory };

// The server's side. Reads a request's body (the header already taken) by the signature:
// the inputs into new values appended to `args`, or for the transaction-list methods the
// list into `list`. Bytes after them are ignored.
RccDecodeError RccReadRequest(CRccBuffer& in, const CMethodSignature& signature, RccOwnedArgs& args,
                              IOMTransactionList& list);
// One empty value per output of the signature.
void RccPrepareReplyArgs(const CMethodSignature& signature, RccOwnedArgs& args);
// Appends a reply: the header, the status, then the outputs or the list; writes its
// length. An error reply is a reply without outputs (signature null).
RccBodyResult RccBuildReply(CRccBuffer& out, const RccPduHeader& header, uint32_t status,
                            const CMethodSignature* signature, const std::vector<CRccArg>& args,
                            const IOMTransactionList* list);

// Reads a reply to `request` from `in` (which holds exactly the bytes received): checks
// its header, reads the status, then, when bytes remain, the outputs into outArgs or the
// list into `list`; bytes after them are ignored. Each error is logged.
RccReplyError RccReadReply(CRccBuffer& in, const RccPduHeader& request,
                           const CMethodSignature& signature, const std::vector<CRccArg>& outArgs,
                           IOMTransactionList* list, uint32_t& status);
