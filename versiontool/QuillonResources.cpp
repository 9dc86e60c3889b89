#include "versiontool/QuillonResources.h"

#include "framework/base/CommandIds.h"
#include "framework/persist/StringTable.h"

namespace quillon {

void LoadQuillonStrings() {
    fw::SetStrings({
        {fw::AFX_IDS_APP_TITLE, "Quillon"},
        {IDS_ABOUTBOX, "&About Quillon..."},
        {IDS_COLUMN_NAME, "Name"},
        {IDS_COLUMN_IP_ADDRESS, "IP Address"},
        {IDS_COLUMN_APP_ID, "AppID"},
        {IDS_COLUMN_NET_VERSION, "Net Version"},
        {IDS_COLUMN_DEVICE_TYPE, "Device Type"},
        {IDS_COLUMN_APP_VERSION, "App Version"},
        {IDS_DEVICES_ONLINE, "There are %d devices on-line."},
        {IDS_OLDER_SOME_UPDATABLE,
         "%d devices use an older network version, but %d of these may be updated by this "
         "program."},
        {IDS_START_DISCOVERY, "Start Discovery"},
        {IDS_STOP_DISCOVERY, "Stop Discovery"},
        {IDS_ALL_CURRENT, "All devices use the current network version."},
        {IDS_OLDER, "%d devices use an older network version."},
        {IDS_CONFIRM_UPDATE_ALL,
         "Are you sure you want to update all possible devices on the network?"},
        {IDS_CONFIRM_UPDATE_SELECTED,
         "Of the selected devices, only those devices which can be updated by this program "
         "will be updated.\nAre you sure you want to continue?"},
        {IDS_NOT_DISCOVERING, "Not currently discovering, but %d devices were detected on-line."},
        {IDS_LEGEND_FIRST,
         "The device uses the current network version and supports upgrades by this program."},
        {IDS_LEGEND_FIRST + 1,
         "The device uses the current network version, but does not support upgrades by this "
         "program."},
        {IDS_LEGEND_FIRST + 2,
         "The device does not use the current network version and supports upgrades by this "
         "program."},
        {IDS_LEGEND_FIRST + 3,
         "The device does not use the current network version, but does not support upgrades "
         "by this program."},
        {IDC_START_STOP,
         "Start/Stop discovery.  Stopping the discovery will not clear the device list."},
        {IDC_UPDATE_ALL, "Update all possible devices on the network."},
        {IDC_UPDATE_SELECTED, "Update all the possible devices selected in the device list."},
        {IDC_SARN_TO_KOLT, "Discover all Sarn nodes on the network."},
        {IDS_LEGEND, "The &Legend to the Device List\tF1"},
        {IDS_HELP_MENU, "&Help"},
    });
}

std::string FormatIds(unsigned id, std::initializer_list<int> values) {
    std::string text = fw::LoadString(id);
    size_t from = 0;
    for (int value : values) {
        const size_t at = text.find("%d", from);
        if (at == std::string::npos)
            break;
        const std::string number = std::to_string(value);
        text.replace(at, 2, number);
        from = at + number.size();
    }
    return text;
}

}  // namespace quillon
