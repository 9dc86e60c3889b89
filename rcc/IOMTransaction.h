// IOM transactions: batches of property reads or writes on IOM objects, sent whole as the
// body of the transaction methods.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "rcc/RccValue.h"

// One property of a transaction: its name and (after a read, or for a write) its value.
class IOMTransactionProperty {
public:
    IOMTransactionProperty() = default;
    explicit IOMTransactionProperty(std::string name) : propertyName(std::move(name)) {}
    IOMTransactionProperty(std::string name, CRccValue value)
        : propertyName(std::move(name)), propertyValue(std::move(value)) {}

    std::string propertyName;
    CRccValue propertyValue;  // empty (type 0) until filled

    bool operator==(const IOMTransactionProperty&) const = default;
};

// The properties of one IOM object, in the order they travel.
class IOMTransaction {
public:
    IOMTransaction() = default;
    IOMTransaction(std::string cls, CRccValue id)
        : className(std::move(cls)), instanceId(std::move(id)) {}

    std::string className;
    CRccValue instanceId;
    std::vector<IOMTransactionProperty> properties;

    bool operator==(const IOMTransaction&) const = default;
};

// A list of transactions with the notification fields that travel with it when flag
// bit 0 is set. Owned by value; a holder that needs to share one uses a shared_ptr.
class IOMTransactionList {
public:
    static constexpr uint32_t kNotificationFields = 0x1;

    std::vector<IOMTransaction> transactions;
    uint32_t flags = 0;
    uint32_t listTag = 0;  // carried, not interpreted
    uint32_t subhandle = 0;
    uint32_t reserved = 0;  // never read or sent
    int32_t hresult = 0;
    bool missedNotification = false;

    // Copies of transaction t's fields and of its property p's; an index out of range
    // gives an empty text or value.
    std::string getClassName(size_t t) const;
    CRccValue getInstanceId(size_t t) const;
    std::string getPropertyName(size_t t, size_t p) const;
    CRccValue getPropertyValue(size_t t, size_t p) const;

    bool operator==(const IOMTransactionList&) const = default;
};
