// Varoda's resource ids, the names of its profile values and its string table.
#pragma once

#include <string_view>

namespace varoda {

// The document template, menu, accelerators and toolbar.
inline constexpr unsigned IDR_MAINFRAME = 128;
// View > Configuration... (Ctrl+G).
inline constexpr unsigned ID_CONFIGURATION = 32773;

// The configuration dialog and its address fields.
inline constexpr unsigned IDC_SUBNET_MASK = 1001;
inline constexpr unsigned IDC_GATEWAY = 1002;
// The About box's texts.
inline constexpr unsigned IDC_VERSION = 1003;
inline constexpr unsigned IDC_COPYRIGHT = 1004;
inline constexpr unsigned IDC_PRODUCT = 1005;

// The adapter list's column headers.
inline constexpr unsigned IDS_COLUMN_DESCRIPTION = 150;
inline constexpr unsigned IDS_COLUMN_IP_ADDRESS = 151;
inline constexpr unsigned IDS_COLUMN_SUBNET_MASK = 152;
inline constexpr unsigned IDS_COLUMN_MAC_ADDRESS = 153;

// The profile: key store key "Ixo", program "Varoda", section "Settings".
inline constexpr std::string_view kAppName = "Varoda";
inline constexpr std::string_view kRegistryKey = "Ixo";
inline constexpr std::string_view kSettings = "Settings";
inline constexpr std::string_view kWndLeft = "WndLeft";
inline constexpr std::string_view kWndTop = "WndTop";
inline constexpr std::string_view kWndWidth = "WndWidth";
inline constexpr std::string_view kWndHeight = "WndHeight";
inline constexpr std::string_view kWndState = "WndState";
inline constexpr int kRecentFiles = 4;

// Fills the framework's string table with Varoda's texts.
void LoadVarodaStrings();

}  // namespace varoda
