// The bodies of remote-call PDUs: the values of a method's argument list in signature
// order, or a whole IOMTransactionList. Nothing labels the values; the signature alone
// says how to read them, so a reader checks every value against the bytes received.
// Bytes after the last named value are left unread: a node with newer software appends
// outputs, and older readers must keep working with it.
#pragma once

#include <functional>
#include <vector>

#include "rcc/IOMTransaction.h"
#include "rcc/MethodSignatures.h"
#include "rcc/RccArg.h"
#include "rcc/RccMarshaler.h"

// The codes a request list may carry: scalars with or without the input flag; the other
// base types and every array with the input flag; VerInfo under its bare code.
bool RccIsRequestCode(RccTypeCode code);
// The codes a reply list may carry: every bare base code and bare array code.
bool RccIsReplyCode(RccTypeCode code);

enum class RccBodyResult { Ok, OutOfMemory, MissingArgument, TooManyItems };

// Called for a signature record whose code is not among those accepted; the record is
// skipped.
using RccUnknownCode = std::function<void(RccTypeCode)>;

// Appends args[i] for every record i of the list whose code `accepts`.
RccBodyResult RccWriteBody(CRccBuffer& buffer, const std::vector<CMethodArg>& list,
                           const std::vector<CRccArg>& args, bool (*accepts)(RccTypeCode),
                           const RccUnknownCode& onUnknown);

// Reads the values of the list from the buffer into args (one per record); what follows
// them stays in the buffer.
RccDecodeError RccReadBody(CRccBuffer& buffer, const std::vector<CMethodArg>& list,
                           const std::vector<CRccArg>& args, bool (*accepts)(RccTypeCode),
                           const RccUnknownCode& onUnknown);

// The transaction-list body: u32 tag, u32 flags, when flag bit 0 is set u32 subhandle,
// s32 hresult and bool missedNotification, then u16 transaction count and per transaction
// STR className, variant instanceId, u16 property count, per property STR name and
// variant value. Counts above 65535 are refused before anything is written.
RccBodyResult RccAppendTransactionList(CRccBuffer& buffer, const IOMTransactionList& list);
// Reads a transaction-list body into `list`, replacing its transactions, tag and flags
// (and the notification fields when they travel); what follows it stays in the buffer.
// On failure the list is unchanged.
RccDecodeError RccReadTransactionList(CRccBuffer& buffer, IOMTransactionList& list);
