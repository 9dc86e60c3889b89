#include "rcc/IOMTransaction.h"

namespace {

const IOMTransactionProperty* PropertyAt(const IOMTransactionList& list, size_t t, size_t p) {
    if (t >= list.transactions.size() || p >= list.transactions[t].properties.size())
        return nullptr;
    return &list.transactions[t].properties[p];
}

}  // namespace

std::string IOMTransactionList::getClassName(size_t t) const {
    return t < transactions.size() ? transactions[t].className : std::string();
}

CRccValue IOMTransactionList::getInstanceId(size_t t) const {
    return t < transactions.size() ? transactions[t].instanceId : CRccValue();
}

std::string IOMTransactionList::getPropertyName(size_t t, size_t p) const {
    const IOMTransactionProperty* property = PropertyAt(*this, t, p);
    return property ? property->propertyName : std::string();
}

CRccValue IOMTransactionList::getPropertyValue(size_t t, size_t p) const {
    const IOMTransactionProperty* property = PropertyAt(*this, t, p);
    return property ? property->propertyValue : CRccValue();
}
