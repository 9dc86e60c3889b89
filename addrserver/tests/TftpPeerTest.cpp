// The TFTP server on a real socket, fetched from by curl, the TFTP clients of tftp-hpa and
// atftp, and by hand-made packets.
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>

#include "ServerFixture.h"

namespace addrserver::test {
namespace {

using Bytes = std::vector<uint8_t>;

class TftpPeerTest : public ServerFixture {
protected:
    std::string Url(const std::string& name) const {
        return "tftp://" + hosts->Address(0) + "/" + name;
    }
    int Curl(const std::string& name, const std::string& out, const std::string& extra = "") {
        return ixo::testsupport::RunShell("curl -s --tftp-no-options --connect-timeout 5 -m 30 " +
                                          extra + " -o " + out + " '" + Url(name) + "'");
    }
};

// A UDP client bound to one of the test side's addresses.
class Client {
public:
    explicit Client(const std::string& address) {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(HostOrder(address));
        bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0;
    }
    ~Client() { ::close(fd_); }
    bool Bound() const { return bound_; }
    void Send(const std::string& to, const Bytes& packet) {
        sockaddr_in dst{};
        dst.sin_family = AF_INET;
        dst.sin_port = htons(69);
        dst.sin_addr.s_addr = htonl(HostOrder(to));
        ::sendto(fd_, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&dst),
                 sizeof dst);
    }
    Bytes Receive(int ms = 2000) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, ms) != 1)
            return {};
        Bytes b(1500);
        ssize_t n = ::recv(fd_, b.data(), b.size(), 0);
        b.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return b;
    }

private:
    int fd_ = -1;
    bool bound_ = false;
};

Bytes ReadRequest(const std::string& name) {
    Bytes b = {0, 1};
    b.insert(b.end(), name.begin(), name.end());
    for (char c : std::string("\0octet\0", 7)) b.push_back(static_cast<uint8_t>(c));
    return b;
}

Bytes Ack(uint16_t block) {
    return {0, 4, static_cast<uint8_t>(block >> 8), static_cast<uint8_t>(block)};
}

Bytes Error(uint16_t code, const std::string& text) {
    Bytes b = {0, 5, 0, static_cast<uint8_t>(code)};
    b.insert(b.end(), text.begin(), text.end());
    b.push_back(0);
    return b;
}

TEST_F(TftpPeerTest, CurlFetchesImagesByteExact) {
    std::map<std::string, std::string> images;
    for (size_t size : {0, 511, 512, 513, 100000}) {
        std::string name = "img" + std::to_string(size) + ".bin";
        images[name] = Image(size, name);
    }
    ASSERT_EQ(StartServer(kModeTftpOnly), 0u);
    for (const auto& [name, bytes] : images) {
        const std::string out = dir + "/got-" + name;
        ASSERT_EQ(Curl(name, out), 0) << name;
        EXPECT_EQ(ReadFile(out), bytes) << name;
    }
}

TEST_F(TftpPeerTest, PathEscapeGetsFileNotFound) {
    Image(100, "ionode.bin");
    ASSERT_EQ(StartServer(kModeTftpOnly), 0u);
    // curl reports the server's "file not found" as error 68.
    EXPECT_EQ(Curl("../../etc/passwd", dir + "/escaped", "--path-as-is"), 68);
    Client client(ixo::testsupport::NetHosts::SelfAddress());
    client.Send(hosts->Address(0), ReadRequest("../../etc/passwd"));
    EXPECT_EQ(client.Receive(), Error(1, "File not found"));
    // The directory parts go; the image itself is served.
    EXPECT_EQ(Curl("nodes/../ionode.bin", dir + "/ionode", "--path-as-is"), 0);
}

TEST_F(TftpPeerTest, RepeatedAckResendsTheBlock) {
    std::string image = Image(2000, "ionode.bin");
    ASSERT_EQ(StartServer(kModeTftpOnly), 0u);
    Client client(ixo::testsupport::NetHosts::SelfAddress());
    client.Send(hosts->Address(0), ReadRequest("ionode.bin"));
    Bytes first = client.Receive();
    ASSERT_EQ(first.size(), 516u);
    client.Send(hosts->Address(0), Ack(1));
    Bytes second = client.Receive();
    ASSERT_EQ(second.size(), 516u);
    EXPECT_EQ(Bytes(second.begin(), second.begin() + 4), (Bytes{0, 3, 0, 2}));
    EXPECT_EQ(std::string(second.begin() + 4, second.end()), image.substr(512, 512));
    client.Send(hosts->Address(0), Ack(1));
    EXPECT_EQ(client.Receive(), second);
}

TEST_F(TftpPeerTest, ThirtyThirdSessionGetsTheServersError) {
    Image(5000, "ionode.bin");
    ASSERT_EQ(StartServer(kModeTftpOnly), 0u);
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < 33; ++i) {
        const std::string address = "198.18.0." + std::to_string(100 + i);
        ASSERT_EQ(ixo::testsupport::RunShell("ip addr add " + address + "/24 dev " +
                                             ixo::testsupport::NetHosts::kSelfInterface),
                  0);
        clients.push_back(std::make_unique<Client>(address));
        ASSERT_TRUE(clients.back()->Bound());
    }
    for (int i = 0; i < 32; ++i) {
        clients[i]->Send(hosts->Address(0), ReadRequest("ionode.bin"));
        EXPECT_EQ(clients[i]->Receive().size(), 516u) << i;
    }
    clients[32]->Send(hosts->Address(0), ReadRequest("ionode.bin"));
    EXPECT_EQ(clients[32]->Receive(), Error(3, "Server max sessions open"));
}

// Ten transfers by the tftp-hpa client and ten by atftp at once, all from one host: each
// gets its own session (address and port) and its own file, byte for byte.
TEST_F(TftpPeerTest, TwentyParallelTransfersFromOneHostAreByteExact) {
    std::map<std::string, std::string> images;
    for (int i = 0; i < 20; ++i) {
        const std::string name = "par" + std::to_string(i) + ".bin";
        images[name] = Image(40000 + 517 * i, name);
    }
    ASSERT_EQ(StartServer(kModeTftpOnly), 0u);
    const std::string server = hosts->Address(0);
    std::string script;
    for (int i = 0; i < 20; ++i) {
        const std::string name = "par" + std::to_string(i) + ".bin";
        const std::string out = dir + "/got-" + name;
        script += i % 2 == 0 ? "timeout 30 tftp -m binary " + server + " -c get " + name + " " + out
                             : "timeout 30 atftp -g -r " + name + " -l " + out + " " + server;
        script += " >/dev/null 2>&1 & ";
    }
    ASSERT_EQ(ixo::testsupport::RunShell(script + "wait"), 0);
    for (const auto& [name, bytes] : images)
        EXPECT_EQ(ReadFile(dir + "/got-" + name), bytes) << name;
}

// An error packet is never answered: two servers that answer what they do not understand
// would otherwise keep each other busy for ever after one forged datagram.
TEST_F(TftpPeerTest, ErrorPacketsGetNoAnswer) {
    ASSERT_EQ(StartServer(kModeTftpOnly), 0u);
    Client client(ixo::testsupport::NetHosts::SelfAddress());
    for (const Bytes& e : {Error(0, "Invalid frame received"), Error(4, "x"), Bytes{0, 5}}) {
        client.Send(hosts->Address(0), e);
        EXPECT_TRUE(client.Receive(300).empty());
    }
    client.Send(hosts->Address(0), Bytes{0, 3, 0, 1});  // other unknown packets still are
    EXPECT_EQ(client.Receive(), Error(0, "Invalid frame received"));
}

// Block numbers are 16 bits: a larger image is refused with a text that says so.
TEST_F(TftpPeerTest, TooLargeAFileIsRefusedByName) {
    const std::string path = tftpDir + "/huge.bin";
    Image(0, "huge.bin");
    std::filesystem::resize_file(path, 65535 * 512);
    ASSERT_EQ(StartServer(kModeTftpOnly), 0u);
    const std::string out = Capture("timeout 10 tftp -m binary " + hosts->Address(0) +
                                    " -c get huge.bin " + dir + "/huge 2>&1");
    EXPECT_NE(out.find("file too large for TFTP"), std::string::npos) << out;
}

// The address server's own tables share the folder, and are not served.
TEST_F(TftpPeerTest, BootptabIsNotServed) {
    WriteFile(tftpDir + "/bootptab", "node1: ha=02.49.58.00.00.01:ip=198.18.0.50\n");
    ASSERT_EQ(StartServer(kModeTftpOnly), 0u);
    const std::string out = Capture("timeout 10 atftp -g -r bootptab -l " + dir + "/tab " +
                                    hosts->Address(0) + " 2>&1");
    EXPECT_NE(out.find("Access violation"), std::string::npos) << out;
}

}  // namespace
}  // namespace addrserver::test
