#include "nodesim/IomNodeStub.h"

#include "rcc/RccTypes.h"

namespace nodesim {

namespace {

template <RccTypeCode C>
const typename RccTag<C>::type& In(const std::vector<CRccArg>& args, size_t i) {
    return *args.at(i).as<C>();
}

template <RccTypeCode C>
typename RccTag<C>::type& Out(std::vector<CRccArg>& args, size_t i) {
    return *args.at(i).as<C>();
}

std::string Instance(const CRccValue& id) {
    return id.getType() == RCC_U32 ? std::to_string(id.getScalar<RCC_U32>()) : DescribeRccValue(id);
}

// "class instance" of a call's first two arguments.
std::string Object(const std::vector<CRccArg>& request) {
    return In<RCC_STR>(request, 0) + " " + Instance(In<RCC_VARIANT>(request, 1));
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& n : names) text += (text.empty() ? "" : ",") + n;
    return text;
}

bool Ok(uint32_t status) {
    return (status & 0x80000000u) == 0;
}

}  // namespace

IomNodeStub::IomNodeStub(NodeModel& model, const std::filesystem::path& recordFile)
    : model_(model) {
    if (!recordFile.empty())
        record_.open(recordFile, std::ios::app);
}

void IomNodeStub::FailCall(uint32_t nth, uint32_t status) {
    failStatus_ = status;
    failAt_ = count_ + nth;
}

void IomNodeStub::HoldCall(uint32_t nth, uint32_t ms) {
    resume_.Reset();
    holdMs_ = ms;
    holdAt_ = count_ + nth;
}

void IomNodeStub::Resume() {
    holdAt_ = 0;
    resume_.Set();
}

void IomNodeStub::FailProperty(const std::string& name, uint32_t code) {
    std::lock_guard lock(lock_);
    failingProperties_[name] = code;
}

std::vector<std::string> IomNodeStub::Calls() const {
    std::lock_guard lock(lock_);
    return calls_;
}

void IomNodeStub::ClearCalls() {
    std::lock_guard lock(lock_);
    calls_.clear();
}

bool IomNodeStub::AwaitCalls(const std::function<bool(const std::vector<std::string>&)>& done,
                             uint32_t ms) const {
    std::unique_lock lock(lock_);
    return recorded_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return done(calls_); });
}

void IomNodeStub::Record(const std::string& line) {
    {
        std::lock_guard lock(lock_);
        calls_.push_back(line);
        if (record_.is_open())
            record_ << line << std::endl;
    }
    recorded_.notify_all();
}

void IomNodeStub::invoke(uint32_t interfaceId, uint32_t methodId, std::vector<CRccArg>& request,
                         uint32_t* status, std::vector<CRccArg>& reply, IOMTransactionList* list) {
    if (interfaceId != RCC_IF_IOM) {
        *status = RCC_E_UNKNOWN_INTERFACE;
        return;
    }
    uint32_t number = ++count_;
    if (number == holdAt_) {
        holding_ = true;
        resume_.Wait(holdMs_);
        holding_ = false;
    }
    std::string line = Describe(methodId, request, list);
    // A call chosen to fail changes nothing.
    *status = number == failAt_ ? failStatus_.load() : Execute(methodId, request, reply, list);
    Record(line);
}

std::string IomNodeStub::Describe(uint32_t methodId, const std::vector<CRccArg>& request,
                                  const IOMTransactionList* list) {
    auto name = [&] { return In<RCC_STR>(request, 2); };
    auto range = [&] {
        return " start=" + std::to_string(In<RCC_U32>(request, 3)) +
               " count=" + std::to_string(In<RCC_U32>(request, 4));
    };
    auto onError = [&](size_t i) {
        return std::string(" continue=") + (In<RCC_BOOL>(request, i) ? "1" : "0");
    };
    switch (methodId) {
        case 0:
            return "getProp " + Object(request) + " " + name();
        case 1:
            return "setProp " + Object(request) + " " + name() + "=" +
                   DescribeRccValue(In<RCC_VARIANT>(request, 3));
        case 2:
            return "getPropMulti " + Object(request) + " " +
                   Joined(In<RCC_ARRAY | RCC_STR>(request, 2));
        case 3:
            return "setPropMulti " + Object(request) + " " +
                   Joined(In<RCC_ARRAY | RCC_STR>(request, 2)) + onError(4);
        case 4:
            return "getPropArray " + Object(request) + " " + name() + range();
        case 5:
            return "setPropArray " + Object(request) + " " + name() + range() + onError(6);
        case 6: {
            std::string line = "invokeMethod " + Object(request) + " " + name();
            for (const CRccValue& a : In<RCC_ARRAY | RCC_VARIANT>(request, 3))
                line += " " + DescribeRccValue(a);
            return line;
        }
        case 9:
        case 10:
            return std::string(methodId == 9 ? "getPropTransaction" : "setPropTransaction") +
                   " transactions=" + std::to_string(list->transactions.size());
        default:
            return "method " + std::to_string(methodId);
    }
}

uint32_t IomNodeStub::Execute(uint32_t methodId, std::vector<CRccArg>& request,
                              std::vector<CRccArg>& reply, IOMTransactionList* list) {
    if (methodId == 9 || methodId == 10)
        return Transaction(*list, methodId == 10);
    if (methodId > 6)
        return RCC_E_UNKNOWN_METHOD;
    const std::string& cls = In<RCC_STR>(request, 0);
    const CRccValue& instance = In<RCC_VARIANT>(request, 1);
    switch (methodId) {
        case 0:
            return model_.Get(cls, instance, In<RCC_STR>(request, 2), Out<RCC_VARIANT>(reply, 0));
        case 1:
            return model_.Set(cls, instance, In<RCC_STR>(request, 2), In<RCC_VARIANT>(request, 3));
        case 2:
            for (const std::string& name : In<RCC_ARRAY | RCC_STR>(request, 2)) {
                CRccValue value;
                uint32_t status = model_.Get(cls, instance, name, value);
                if (!Ok(status))
                    return status;
                Out<RCC_ARRAY | RCC_VARIANT>(reply, 0).push_back(std::move(value));
            }
            return SIM_OK;
        case 3:
            return SetMulti(request, reply);
        case 4:
            return model_.GetArray(cls, instance, In<RCC_STR>(request, 2), In<RCC_U32>(request, 3),
                                   In<RCC_U32>(request, 4), Out<RCC_VARIANT>(reply, 0));
        case 5:
            return model_.SetArray(cls, instance, In<RCC_STR>(request, 2), In<RCC_U32>(request, 3),
                                   In<RCC_U32>(request, 4), In<RCC_VARIANT>(request, 5));
        default:
            return model_.Invoke(cls, instance, In<RCC_STR>(request, 2),
                                 In<RCC_ARRAY | RCC_VARIANT>(request, 3));
    }
}

uint32_t IomNodeStub::SetMulti(std::vector<CRccArg>& request, std::vector<CRccArg>& reply) {
    const auto& names = In<RCC_ARRAY | RCC_STR>(request, 2);
    const auto& values = In<RCC_ARRAY | RCC_VARIANT>(request, 3);
    bool onErrorContinue = In<RCC_BOOL>(request, 4);
    auto& results = Out<RCC_ARRAY | RCC_S32>(reply, 0);
    bool allOk = true;
    for (size_t i = 0; i < names.size(); ++i) {
        uint32_t code = SIM_E_TYPE;
        {
            std::lock_guard lock(lock_);
            auto forced = failingProperties_.find(names[i]);
            if (forced != failingProperties_.end())
                code = forced->second;
            else if (i < values.size())
                code = model_.Set(In<RCC_STR>(request, 0), In<RCC_VARIANT>(request, 1), names[i],
                                  values[i]);
        }
        results.push_back(static_cast<int32_t>(code));
        allOk = allOk && Ok(code);
        if (!Ok(code) && !onErrorContinue)
            break;
    }
    return allOk ? SIM_OK : SIM_E_SOME_FAILED;
}

uint32_t IomNodeStub::Transaction(IOMTransactionList& list, bool write) {
    for (IOMTransaction& t : list.transactions) {
        for (IOMTransactionProperty& p : t.properties) {
            uint32_t status =
                write ? model_.Set(t.className, t.instanceId, p.propertyName, p.propertyValue)
                      : model_.Get(t.className, t.instanceId, p.propertyName, p.propertyValue);
            if (!Ok(status))
                return status;
        }
    }
    return SIM_OK;
}

}  // namespace nodesim
