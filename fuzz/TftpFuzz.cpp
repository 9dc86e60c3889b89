// TFTP: the packet parser, and the transfer sessions fed a run of datagrams from a few
// clients, with time going forward between them. The input is a sequence of records:
//   u8 client (its low 3 bits pick one of 8 addresses), u8 milliseconds to wait x 256,
//   u8 length, then that many bytes of datagram.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "addrserver/Report.h"
#include "addrserver/TftpFiles.h"
#include "addrserver/TftpPacket.h"
#include "addrserver/TftpSessions.h"
#include "fuzz/FuzzCheck.h"

namespace {

using namespace addrserver;

class QuietReporter : public Reporter {
public:
    void Report(uint32_t, std::string_view) override {}
    void Print(std::string_view) override {}
};

void WriteFile(const std::string& path, size_t bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    FUZZ_CHECK(fd >= 0);
    std::string content(bytes, 'x');
    FUZZ_CHECK(::write(fd, content.data(), content.size()) == static_cast<ssize_t>(bytes));
    ::close(fd);
}

// Image files of the sizes that matter: empty, one short block, exactly one block, and
// several blocks ending short. Made once, in a folder of our own.
std::string ImageFolder() {
    static const FuzzTempDir dir("ixo-tftp-fuzz");
    const std::string& folder = dir.Path();
    WriteFile(folder + "/a", 0);
    WriteFile(folder + "/b", 100);
    WriteFile(folder + "/c", kTftpBlockSize);
    WriteFile(folder + "/d", 3 * kTftpBlockSize + 7);
    return folder;
}

void CheckParse(std::span<const uint8_t> bytes) {
    const TftpPacket p = ParseTftp(bytes);
    if (p.kind == TftpPacketKind::kReadRequest)
        FUZZ_CHECK(p.fileName.size() <= kTftpMaxNameLength);
    if (p.kind == TftpPacketKind::kAck)
        FUZZ_CHECK(bytes.size() == 4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = ImageFolder();
    QuietReporter reporter;
    TftpFiles files(folder);
    TftpSessions sessions(files, reporter);
    sessions.SetDisplayLevel(0xF);
    FuzzInput input(data, size);
    uint32_t now = 1000;
    while (!input.Rest().empty()) {
        const uint8_t client = input.Byte() & 7;
        now += 256u * input.Byte();
        const std::span<const uint8_t> packet = input.Take(input.Byte());
        CheckParse(packet);
        const auto reply = sessions.Handle(0x0A650100 + client, 1024 + client, packet, now);
        FUZZ_CHECK(reply.empty() || reply.size() >= 4);
        FUZZ_CHECK(reply.size() <= 4 + kTftpBlockSize);
        FUZZ_CHECK(sessions.ActiveCount() <= TftpSessions::kCapacity);
        FUZZ_CHECK(files.OpenCount() <= TftpFiles::kCapacity);
    }
    sessions.Clear();
    FUZZ_CHECK(sessions.ActiveCount() == 0);
    FUZZ_CHECK(files.OpenCount() == 0);
    return 0;
}
