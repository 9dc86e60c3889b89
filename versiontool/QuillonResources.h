// Quillon's resource ids, its window message, the names of its settings and its texts.
#pragma once

#include <string_view>

#include "framework/window/Messages.h"

namespace quillon {

// Dialogs.
inline constexpr unsigned IDD_ABOUTBOX = 100;
inline constexpr unsigned IDD_VERSIONTOOL_DIALOG = 102;
inline constexpr unsigned IDD_LEGEND = 130;

// Controls of the main dialog.
inline constexpr unsigned IDC_DEVICE_LIST = 1000;
inline constexpr unsigned IDC_START_STOP = 1001;
inline constexpr unsigned IDC_UPDATE_ALL = 1002;
inline constexpr unsigned IDC_UPDATE_SELECTED = 1003;
inline constexpr unsigned IDC_SARN_TO_KOLT = 1004;
inline constexpr unsigned IDC_STATUS_LINE1 = 1005;
inline constexpr unsigned IDC_STATUS_LINE2 = 1006;
// The About and Legend dialogs.
inline constexpr unsigned IDC_ABOUT_PRODUCT = 1007;
inline constexpr unsigned IDC_ABOUT_COPYRIGHT = 1008;
inline constexpr unsigned IDC_ABOUT_VERSION = 1009;
inline constexpr unsigned IDC_LEGEND_LIST = 1010;

// The commands that show the About and Legend dialogs (as WM_SYSCOMMAND ids).
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
inline constexpr unsigned IDM_LEGEND = 0xF180;

// Strings.
inline constexpr unsigned IDS_ABOUTBOX = 101;
inline constexpr unsigned IDS_COLUMN_NAME = 102;
inline constexpr unsigned IDS_COLUMN_IP_ADDRESS = 103;
inline constexpr unsigned IDS_COLUMN_APP_ID = 104;
inline constexpr unsigned IDS_COLUMN_NET_VERSION = 105;
inline constexpr unsigned IDS_COLUMN_DEVICE_TYPE = 106;
inline constexpr unsigned IDS_COLUMN_APP_VERSION = 107;
inline constexpr unsigned IDS_DEVICES_ONLINE = 108;
inline constexpr unsigned IDS_OLDER_SOME_UPDATABLE = 109;
inline constexpr unsigned IDS_START_DISCOVERY = 110;
inline constexpr unsigned IDS_STOP_DISCOVERY = 111;
inline constexpr unsigned IDS_ALL_CURRENT = 112;
inline constexpr unsigned IDS_OLDER = 113;
inline constexpr unsigned IDS_CONFIRM_UPDATE_ALL = 114;
inline constexpr unsigned IDS_CONFIRM_UPDATE_SELECTED = 115;
inline constexpr unsigned IDS_NOT_DISCOVERING = 116;
inline constexpr unsigned IDS_LEGEND_FIRST = 117;  // 117 to 120, one per state image
inline constexpr unsigned IDS_LEGEND = 1020;
inline constexpr unsigned IDS_HELP_MENU = 1021;

// Posted by the list sink from the engines' threads; the payload is a DeviceEventMessage.
inline constexpr fw::UINT WM_DEVICE_EVENT = fw::WM_USER + 22;

// The profile: key store key "Ixo", program "Quillon", section "Settings"; every value
// reads -1 when absent.
inline constexpr std::string_view kAppName = "Quillon";
inline constexpr std::string_view kRegistryKey = "Ixo";
inline constexpr std::string_view kSettings = "Settings";
inline constexpr std::string_view kMainBorderWidth = "MainBorderWidth";
inline constexpr std::string_view kWndTop = "WndTop";
inline constexpr std::string_view kWndBottom = "WndBottom";
inline constexpr std::string_view kWndLeft = "WndLeft";
inline constexpr std::string_view kWndRight = "WndRight";
inline constexpr std::string_view kDevTop = "DevTop";
inline constexpr std::string_view kDevBottom = "DevBottom";
inline constexpr std::string_view kColumnKeys[6] = {"Col0", "Col1", "Col2", "Col3", "Col4", "Col5"};

// Fills the framework's string table with Quillon's texts.
void LoadQuillonStrings();

// A text of the string table with its "%d" fields filled in turn.
std::string FormatIds(unsigned id, std::initializer_list<int> values);

}  // namespace quillon
