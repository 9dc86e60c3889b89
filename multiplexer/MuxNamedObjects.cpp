#include "multiplexer/MuxNamedObjects.h"

#include <cstdlib>

namespace mux {

namespace {

class PrivateQueueMemory final : public MuxQueueMemory {
public:
    explicit PrivateQueueMemory(std::size_t size) : data_(std::calloc(size, 1)), size_(size) {}
    ~PrivateQueueMemory() override { std::free(data_); }
    void* Data() override { return data_; }
    std::size_t Size() override { return size_; }

private:
    void* data_;
    std::size_t size_;
};

}  // namespace

std::unique_ptr<MuxQueueMemory> MakePrivateQueueMemory(std::size_t size) {
    auto m = std::make_unique<PrivateQueueMemory>(size);
    if (m->Data() == nullptr)
        return nullptr;
    return m;
}

std::unique_ptr<MuxQueueMemory> MuxNamedObjects::MakeQueueMemory(const std::string&,
                                                                 std::size_t size) {
    return MakePrivateQueueMemory(size);
}

std::string ArrivedEventName(MuxKind kind, std::uint8_t appid) {
    return (kind == MuxKind::Tcp ? "TCPPacketArrived" : "MCPacketArrived") + std::to_string(appid);
}

std::string ProcessedEventName(MuxKind kind) {
    return kind == MuxKind::Tcp ? "TravexTCPPacketProcessed" : "TravexMCPacketProcessed";
}

}  // namespace mux
