#include "TestIomNode.h"

#include "rcc/ProxyBase.h"

namespace {

template <RccTypeCode C>
const typename RccTag<C>::type& In(const std::vector<CRccArg>& args, size_t i) {
    return *args.at(i).as<C>();
}

template <RccTypeCode C>
typename RccTag<C>::type& Out(std::vector<CRccArg>& args, size_t i) {
    return *args.at(i).as<C>();
}

}  // namespace

void TestIomNode::set(const std::string& className, const std::string& property, CRccValue v) {
    std::lock_guard<std::mutex> lock(lock_);
    properties_[{className, property}] = std::move(v);
}

CRccValue TestIomNode::get(const std::string& className, const std::string& property) {
    std::lock_guard<std::mutex> lock(lock_);
    auto found = properties_.find({className, property});
    return found == properties_.end() ? CRccValue() : found->second;
}

std::vector<TestIomNode::Subscription> TestIomNode::subscriptions() {
    std::lock_guard<std::mutex> lock(lock_);
    return subscriptions_;
}

std::vector<uint32_t> TestIomNode::methodsCalled() {
    std::lock_guard<std::mutex> lock(lock_);
    return called_;
}

void TestIomNode::invoke(uint32_t interfaceId, uint32_t methodId, std::vector<CRccArg>& request,
                         uint32_t* status, std::vector<CRccArg>& reply, IOMTransactionList* list) {
    {
        std::lock_guard<std::mutex> lock(lock_);
        called_.push_back(methodId);
    }
    if (interfaceId != RCC_IF_IOM) {
        *status = RCC_E_UNKNOWN_INTERFACE;
        return;
    }
    const std::string& className = methodId < 7 ? In<RCC_STR>(request, 0) : std::string();
    switch (methodId) {
        case 0:
            *status = getProp(request, reply);
            return;
        case 1:
            set(className, In<RCC_STR>(request, 2), In<RCC_VARIANT>(request, 3));
            *status = RCC_S_OK;
            return;
        case 2:
            for (const std::string& name : In<RCC_ARRAY | RCC_STR>(request, 2))
                Out<RCC_ARRAY | RCC_VARIANT>(reply, 0).push_back(get(className, name));
            *status = RCC_S_OK;
            return;
        case 3: {
            const auto& names = In<RCC_ARRAY | RCC_STR>(request, 2);
            const auto& values = In<RCC_ARRAY | RCC_VARIANT>(request, 3);
            for (size_t i = 0; i < names.size(); ++i) {
                bool ok = i < values.size() && !values[i].isEmpty();
                if (ok)
                    set(className, names[i], values[i]);
                Out<RCC_ARRAY | RCC_S32>(reply, 0).push_back(
                    ok ? 0 : static_cast<int32_t>(kNoSuchProperty));
            }
            *status = RCC_S_OK;
            return;
        }
        case 4:
            *status = getPropArray(request, reply);
            return;
        case 5:
            *status = setPropArray(request, reply);
            return;
        case 6:
            *status = invokeMethod(request, reply);
            return;
        case 7:
        case 8: {
            std::lock_guard<std::mutex> lock(lock_);
            Subscription s{In<RCC_U32>(request, 0), In<RCC_U32>(request, 1), In<RCC_U8>(request, 2),
                           In<RCC_U16>(request, 3)};
            if (methodId == 7)
                subscriptions_.push_back(s);
            else
                std::erase_if(subscriptions_, [&](auto& x) { return x.handle == s.handle; });
            *status = RCC_S_OK;
            return;
        }
        case 9:
        case 10:
            *status = transaction(*list, methodId == 10);
            return;
    }
    *status = RCC_E_UNKNOWN_METHOD;
}

uint32_t TestIomNode::getProp(const std::vector<CRccArg>& request, std::vector<CRccArg>& reply) {
    CRccValue value = get(In<RCC_STR>(request, 0), In<RCC_STR>(request, 2));
    if (value.isEmpty())
        return kNoSuchProperty;
    Out<RCC_VARIANT>(reply, 0) = value;
    return RCC_S_OK;
}

uint32_t TestIomNode::getPropArray(const std::vector<CRccArg>& request,
                                   std::vector<CRccArg>& reply) {
    CRccValue value = get(In<RCC_STR>(request, 0), In<RCC_STR>(request, 2));
    const auto* elements = value.get<RCC_ARRAY | RCC_U16>();
    uint32_t start = In<RCC_U32>(request, 3), count = In<RCC_U32>(request, 4);
    if (!elements || start > elements->size() || count > elements->size() - start)
        return kNoSuchProperty;
    *Out<RCC_VARIANT>(reply, 0).makeArray<RCC_U16>() = {elements->begin() + start,
                                                        elements->begin() + start + count};
    return RCC_S_OK;
}

uint32_t TestIomNode::setPropArray(const std::vector<CRccArg>& request,
                                   std::vector<CRccArg>& reply) {
    const std::string& className = In<RCC_STR>(request, 0);
    const std::string& name = In<RCC_STR>(request, 2);
    CRccValue value = get(className, name);
    auto* elements = value.get<RCC_ARRAY | RCC_U16>();
    const auto* update = In<RCC_VARIANT>(request, 5).get<RCC_ARRAY | RCC_U16>();
    uint32_t start = In<RCC_U32>(request, 3), count = In<RCC_U32>(request, 4);
    if (!elements || !update || update->size() != count || start > elements->size() ||
        count > elements->size() - start)
        return kNoSuchProperty;
    std::copy(update->begin(), update->end(), elements->begin() + start);
    set(className, name, value);
    Out<RCC_ARRAY | RCC_S32>(reply, 0).assign(count, 0);
    return RCC_S_OK;
}

uint32_t TestIomNode::invokeMethod(const std::vector<CRccArg>& request,
                                   std::vector<CRccArg>& reply) {
    const std::string& method = In<RCC_STR>(request, 2);
    if (method == "echo") {
        Out<RCC_ARRAY | RCC_VARIANT>(reply, 0) = In<RCC_ARRAY | RCC_VARIANT>(request, 3);
        return RCC_S_OK;
    }
    if (method == "block") {
        blocking.Set();
        release.Wait(os::kInfinite);
        return RCC_S_OK;
    }
    return kNoSuchProperty;
}

uint32_t TestIomNode::transaction(IOMTransactionList& list, bool write) {
    for (IOMTransaction& transaction : list.transactions) {
        for (IOMTransactionProperty& property : transaction.properties) {
            if (write)
                set(transaction.className, property.propertyName, property.propertyValue);
            else
                property.propertyValue = get(transaction.className, property.propertyName);
        }
    }
    list.listTag += 1;
    return RCC_S_OK;
}

uint32_t SendPropertyNotification(CProxyBase& notifier, uint32_t handle, std::string className,
                                  std::string property, CRccValue value) {
    CRccValue id = CRccValue::ofU32(1);
    int32_t hresult = 0;
    uint8_t missed = 0;
    return notifier.proxyRequest(
        RCC_IF_IOMSUBSCRIBE, 0, nullptr,
        {CRccArg(0x03, &handle), CRccArg(0x00800009, &className), CRccArg(0x0080000A, &id),
         CRccArg(0x00800009, &property), CRccArg(0x0080000A, &value), CRccArg(0x00800006, &hresult),
         CRccArg(0x00800008, &missed)});
}
