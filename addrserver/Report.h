// How the pieces of the address server tell their host what happens: coded messages
// (the host's message mask selects them by code bits) and display lines for standard output.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace addrserver {

// Message codes; the top bits group them so a host can mask whole groups.
enum MessageCode : uint32_t {
    kMsgError = 0x90000000,           // errors of the frame and the BOOTP side
    kMsgBootFileError = 0x94000000,   // a requested boot file is missing
    kMsgTftpError = 0x88000000,       // errors of the TFTP side
    kMsgNotice = 0x30000000,          // server roles, segments, new addresses
    kMsgBootpNotice = 0x32000000,     // BOOTP thread start and stop
    kMsgFrameNotice = 0x38000000,     // callback task start
    kMsgNodeAdded = 0x24000000,       // node entries learnt from node status or requests
    kMsgTftpNotice = 0x2A000000,      // TFTP thread start and stop
    kMsgTftpTrace = 0x28000000,       // TFTP sends and completions
    kMsgTftpSession = 0x2E000000,     // TFTP session creation
    kMsgTftpWarning = 0x4C000000,     // port mismatch, future acknowledgements
    kMsgRequestTrace = 0x50000000,    // BOOTP requests seen
    kMsgRequestIgnored = 0x54000000,  // BOOTP requests refused by the MAC filter
};

// Display-level bits (bootp.cfg "displaylevel").
enum DisplayBit : uint32_t {
    kDisplayBootpFrames = 1u << 0,   // print every BOOTP message
    kDisplayBootpReplies = 1u << 1,  // "sending bootp reply", "Got bootp reply frame!"
    kDisplayTftpEnd = 1u << 2,       // end-of-file traces, send retries
    kDisplayTftpBlocks = 1u << 3,    // per-block traces, send retries
};

class Reporter {
public:
    virtual ~Reporter() = default;
    // A coded message for the host (queued or direct, as the owner decides).
    virtual void Report(uint32_t code, std::string_view text) = 0;
    // A line for standard output (display traces, start-up notes).
    virtual void Print(std::string_view text) = 0;
};

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "a.b.c.d" of a host-order address.
std::string DottedText(uint32_t address);

// Six upper-case hex pairs joined by `separator`.
std::string MacText(const uint8_t* mac, char separator);

}  // namespace addrserver
