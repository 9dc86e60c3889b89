// BOOTP: the message parser, and the responder that answers what was parsed. The tables
// persist across inputs as they do in a running server, so requests meet a table that
// fills up and segments that come and go.
#include <cstring>
#include <memory>

#include "addrserver/AddressTables.h"
#include "addrserver/BootpMessage.h"
#include "addrserver/BootpResponder.h"
#include "addrserver/MacFilter.h"
#include "fuzz/FuzzCheck.h"

namespace {

using namespace addrserver;

class QuietReporter : public Reporter {
public:
    void Report(uint32_t, std::string_view text) override { FUZZ_CHECK(text.size() < 4096); }
    void Print(std::string_view text) override { FUZZ_CHECK(text.size() < 4096); }
};

constexpr uint32_t kOwn = 0x0A650001;  // 10.101.0.1

struct Server {
    QuietReporter reporter;
    // Some boot files are there, some are not.
    std::function<bool(const std::string&)> exists = [](const std::string& name) {
        return !name.empty() && name[0] % 2 == 0;
    };
    AddressTables tables{reporter, exists};
    MacFilter filter;
    BootpResponder responder{tables, filter, reporter, exists};
    Server() {
        tables.Configure({kOwn, 0xFFFF0000, kOwn, 0x0A653265, 150});
        responder.Configure({kOwn, 0xFFFF0000, "bootserver", 0xF});
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Server* server = new Server;
    BootpMessage message;
    if (ParseBootp({data, size}, message) != BootpParseError::kNone) {
        FUZZ_CHECK(size < kBootpSize);
        return 0;
    }
    const auto built = BuildBootp(message);
    FUZZ_CHECK(std::memcmp(built.data(), data, kBootpSize) == 0);
    (void)BootpResponder::Describe(message);
    (void)server->responder.ReplyDestination(message);
    if (auto reply = server->responder.Handle(message)) {
        FUZZ_CHECK(reply->op == kBootReply);
        FUZZ_CHECK(reply->xid == message.xid);
    }
    return 0;
}
