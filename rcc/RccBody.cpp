#include "rcc/RccBody.h"

#include <limits>

bool RccIsRequestCode(RccTypeCode code) {
    if (RccIsScalar(RccBareCode(code)) && !RccIsArray(code))
        return true;
    bool known = RccDispatch(code, [](auto) {});
    if (code == RCC_VERINFO)
        return known;
    RccTypeCode base = RccBaseCode(code);
    return known && (code & RCC_INPUT) && base >= RCC_U8 && base <= RCC_IPPORT;
}

bool RccIsReplyCode(RccTypeCode code) {
    return (code & RCC_INPUT) == 0 && RccDispatch(code, [](auto) {});
}

RccBodyResult RccWriteBody(CRccBuffer& buffer, const std::vector<CMethodArg>& list,
                           const std::vector<CRccArg>& args, bool (*accepts)(RccTypeCode),
                           const RccUnknownCode& onUnknown) {
    if (args.size() < list.size())
        return RccBodyResult::MissingArgument;
    const CRccMarshaler& marshaler = *CRccMarshaler::getInstance();
    for (size_t i = 0; i < list.size(); ++i) {
        if (!accepts(list[i].type)) {
            onUnknown(list[i].type);
            continue;
        }
        if (!args[i].value)
            return RccBodyResult::MissingArgument;
        if (!marshaler.append(buffer, list[i].type, args[i].value))
            return RccBodyResult::OutOfMemory;
    }
    return RccBodyResult::Ok;
}

RccDecodeError RccReadBody(CRccBuffer& buffer, const std::vector<CMethodArg>& list,
                           const std::vector<CRccArg>& args, bool (*accepts)(RccTypeCode),
                           const RccUnknownCode& onUnknown) {
    const CRccMarshaler& marshaler = *CRccMarshaler::getInstance();
    for (size_t i = 0; i < list.size(); ++i) {
        if (!accepts(list[i].type)) {
            onUnknown(list[i].type);
            continue;
        }
        if (i >= args.size() || !args[i].value)
            return RccDecodeError::Truncated;
        RccDecodeError e = marshaler.take(buffer, list[i].type, args[i].value);
        if (e != RccDecodeError::None)
            return e;
    }
    // Bytes after the named values are a newer peer's additions: left unread.
    return RccDecodeError::None;
}

namespace {

constexpr size_t kMaxCount = std::numeric_limits<uint16_t>::max();

bool AppendTransaction(CRccBuffer& buffer, const IOMTransaction& transaction) {
    if (!RccAppend<RCC_STR>(buffer, transaction.className) ||
        !RccAppend<RCC_VARIANT>(buffer, transaction.instanceId) ||
        !RccAppend<RCC_U16>(buffer, static_cast<uint16_t>(transaction.properties.size())))
        return false;
    for (const IOMTransactionProperty& property : transaction.properties) {
        if (!RccAppend<RCC_STR>(buffer, property.propertyName) ||
            !RccAppend<RCC_VARIANT>(buffer, property.propertyValue))
            return false;
    }
    return true;
}

RccDecodeError TakeTransaction(CRccBuffer& buffer, IOMTransaction& transaction) {
    RccDecodeError e = RccTake<RCC_STR>(buffer, transaction.className);
    if (e == RccDecodeError::None)
        e = RccTake<RCC_VARIANT>(buffer, transaction.instanceId);
    uint16_t count = 0;
    if (e == RccDecodeError::None)
        e = RccTake<RCC_U16>(buffer, count);
    if (e != RccDecodeError::None)
        return e;
    // Each property takes at least a text length and a variant code.
    if (count > buffer.count() / 8)
        return RccDecodeError::Truncated;
    transaction.properties.resize(count);
    for (IOMTransactionProperty& property : transaction.properties) {
        e = RccTake<RCC_STR>(buffer, property.propertyName);
        if (e == RccDecodeError::None)
            e = RccTake<RCC_VARIANT>(buffer, property.propertyValue);
        if (e != RccDecodeError::None)
            return e;
    }
    return RccDecodeError::None;
}

}  // namespace

RccBodyResult RccAppendTransactionList(CRccBuffer& buffer, const IOMTransactionList& list) {
    if (list.transactions.size() > kMaxCount)
        return RccBodyResult::TooManyItems;
    for (const IOMTransaction& transaction : list.transactions) {
        if (transaction.properties.size() > kMaxCount)
            return RccBodyResult::TooManyItems;
    }
    bool ok = RccAppend<RCC_U32>(buffer, list.listTag) && RccAppend<RCC_U32>(buffer, list.flags);
    if (ok && (list.flags & IOMTransactionList::kNotificationFields)) {
        ok = RccAppend<RCC_U32>(buffer, list.subhandle) &&
             RccAppend<RCC_S32>(buffer, list.hresult) &&
             RccAppend<RCC_BOOL>(buffer, list.missedNotification ? 1 : 0);
    }
    ok = ok && RccAppend<RCC_U16>(buffer, static_cast<uint16_t>(list.transactions.size()));
    for (size_t t = 0; ok && t < list.transactions.size(); ++t)
        ok = AppendTransaction(buffer, list.transactions[t]);
    return ok ? RccBodyResult::Ok : RccBodyResult::OutOfMemory;
}

RccDecodeError RccReadTransactionList(CRccBuffer& buffer, IOMTransactionList& list) {
    IOMTransactionList read;
    read.subhandle = list.subhandle;
    read.reserved = list.reserved;
    read.hresult = list.hresult;
    read.missedNotification = list.missedNotification;
    RccDecodeError e = RccTake<RCC_U32>(buffer, read.listTag);
    if (e == RccDecodeError::None)
        e = RccTake<RCC_U32>(buffer, read.flags);
    if (e == RccDecodeError::None && (read.flags & IOMTransactionList::kNotificationFields)) {
        uint8_t missed = 0;
        e = RccTake<RCC_U32>(buffer, read.subhandle);
        if (e == RccDecodeError::None)
            e = RccTake<RCC_S32>(buffer, read.hresult);
        if (e == RccDecodeError::None)
            e = RccTake<RCC_BOOL>(buffer, missed);
        read.missedNotification = missed != 0;
    }
    uint16_t count = 0;
    if (e == RccDecodeError::None)
        e = RccTake<RCC_U16>(buffer, count);
    if (e != RccDecodeError::None)
        return e;
    // Each transaction takes at least a text length, a variant code and a count.
    if (count > buffer.count() / 10)
        return RccDecodeError::Truncated;
    read.transactions.resize(count);
    for (IOMTransaction& transaction : read.transactions) {
        if ((e = TakeTransaction(buffer, transaction)) != RccDecodeError::None)
            return e;
    }
    list = std::move(read);
    return RccDecodeError::None;
}
