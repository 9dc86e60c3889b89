// Hands the picked card's address to the outside services that serve the lighting network
// from this PC: a TFTP service ("LOCAL_IP" in [IXOTFTPSERVICE] of ixotftp.ini), a DHCP server
// ("LOCAL_IP" in [DHCP] of dhcpd32.ini), both in the system directory, and a time service
// (the machine-wide key store value "localips" under SOFTWARE\Ixo\DEDEVEV).
//
// An ini file that does not exist is not created: that service is not installed. Every
// step that cannot be done is skipped in silence; the configuration file is what counts.
#pragma once

#include <string_view>

namespace varoda {

inline constexpr std::string_view kTftpIniFile = "ixotftp.ini";
inline constexpr std::string_view kTftpSection = "IXOTFTPSERVICE";
inline constexpr std::string_view kDhcpIniFile = "dhcpd32.ini";
inline constexpr std::string_view kDhcpSection = "DHCP";
inline constexpr std::string_view kLocalIpEntry = "LOCAL_IP";
inline constexpr std::string_view kTimeServiceKey = "SOFTWARE\\Ixo\\DEDEVEV";
inline constexpr std::string_view kLocalIpsValue = "localips";

// `address` is the dotted address, or empty when no card is picked.
void HandOverLocalIp(std::string_view address);

}  // namespace varoda
