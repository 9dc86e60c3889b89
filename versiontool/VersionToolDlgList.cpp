// The main dialog's device list: reports from the engines' threads, the entries with
// their counters and images, sorting, the status lines and the command buttons.
#include "versiontool/VersionToolDlg.h"

#include <QGuiApplication>

#include <cstdio>
#include <new>

#include "editor/document/NodeCommand.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/ListView.h"
#include "framework/controls/Static.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/persist/StringTable.h"
#include "versiontool/AboutDlg.h"
#include "versiontool/DeviceOrder.h"
#include "versiontool/LegendDlg.h"
#include "versiontool/QuillonResources.h"
#include "versiontool/StateImages.h"

namespace quillon {
namespace {

std::string IpText(uint32_t ip) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", ip >> 24, (ip >> 16) & 0xFF, (ip >> 8) & 0xFF,
                  ip & 0xFF);
    return text;
}

std::string VersionText(const VavVersionInfo& version) {
    std::string text;
    version.FormatNumbers(6, text);  // stays empty without a version
    return text;
}

}  // namespace

// --- Reports from the engines' threads: copy, post, nothing else. ----------------------

bool CVersionToolDlg::Post(bool found, bool older, const DeviceEvent& event) {
    if (!discovering_)
        return false;
    std::unique_ptr<DeviceEventMessage> message;
    try {
        message = std::make_unique<DeviceEventMessage>(DeviceEventMessage{found, older, event});
    } catch (const std::bad_alloc&) {
        return false;  // the report is dropped; the device's next one brings it
    }
    return fw::PostMessage(handle_, WM_DEVICE_EVENT, 0, 0, fw::Payload(std::move(message)));
}

bool CVersionToolDlg::OnCurrentDeviceFound(const DeviceEvent& e) {
    return Post(true, false, e);
}
bool CVersionToolDlg::OnCurrentDeviceLost(const DeviceEvent& e) {
    return Post(false, false, e);
}
bool CVersionToolDlg::OnOlderDeviceFound(const DeviceEvent& e) {
    return Post(true, true, e);
}
bool CVersionToolDlg::OnOlderDeviceLost(const DeviceEvent& e) {
    return Post(false, true, e);
}

fw::LRESULT CVersionToolDlg::WindowProc(fw::Message& msg) {
    switch (msg.id) {
        case WM_DEVICE_EVENT:
            OnDeviceEvent(msg.payload.Take<DeviceEventMessage>());
            return 0;
        case fw::WM_SYSCOMMAND: {
            const auto command = static_cast<unsigned>(msg.wParam) & 0xFFF0;
            if (command == IDM_ABOUTBOX) {
                CVersionToolAboutDlg(this).DoModal();
                return 0;
            }
            if (command == IDM_LEGEND) {
                CLegendDlg(this).DoModal();
                return 0;
            }
            break;
        }
        case fw::WM_HELP:
            CLegendDlg(this).DoModal();
            return 1;
        default:
            break;
    }
    return fw::Dialog::WindowProc(msg);
}

// --- The list, on the user-interface thread. ---------------------------------------------

void CVersionToolDlg::OnDeviceEvent(std::unique_ptr<DeviceEventMessage> message) {
    if (!message || !discovering_)
        return;  // discovery was stopped after the report was posted
    if (message->found)
        AddDevice(message->older, std::move(message->event));
    else
        RemoveDevice(message->event);
}

CVersionToolDlg::ListEntry* CVersionToolDlg::EntryAt(int item) const {
    return reinterpret_cast<ListEntry*>(list_->GetItemData(item));
}

const DeviceEvent* CVersionToolDlg::EventAt(int item) const {
    const ListEntry* entry = EntryAt(item);
    return entry ? &entry->event : nullptr;
}

// The entry with the event's name (letter case aside), address and application id.
int CVersionToolDlg::FindEntry(const DeviceEvent& event) const {
    for (int item = list_->FindItemText(-1, event.name); item != -1;
         item = list_->FindItemText(item, event.name)) {
        const ListEntry* entry = EntryAt(item);
        if (entry && entry->event.ipAddress == event.ipAddress && entry->event.appId == event.appId)
            return item;
    }
    return -1;
}

// The counters fall by the class the entry was counted in, whatever class the event that
// removes it has, so they always count the listed entries.
void CVersionToolDlg::RemoveDevice(const DeviceEvent& event) {
    const int item = FindEntry(event);
    if (item == -1)
        return;
    const ListEntry* entry = EntryAt(item);
    --online_;
    if (entry->older) {
        --older_;
        if (entry->event.updatable)
            --updatableOlder_;
    }
    list_->DeleteItem(item);
    entries_.erase(entry);
    WriteStatusLines();
}

void CVersionToolDlg::AddDevice(bool older, DeviceEvent event) {
    RemoveDevice(event);
    ++online_;
    if (older) {
        ++older_;
        if (event.updatable)
            ++updatableOlder_;
    }
    auto entry = std::make_unique<ListEntry>(ListEntry{std::move(event), older});
    const int item = list_->InsertItem(list_->GetItemCount(), entry->event.name,
                                       StateImageOf(older, entry->event.updatable));
    list_->SetItemData(item, reinterpret_cast<std::uintptr_t>(entry.get()));
    FillColumns(item, entry->event);
    entries_.emplace(entry.get(), std::move(entry));
    SortList();
    WriteStatusLines();
}

void CVersionToolDlg::FillColumns(int item, const DeviceEvent& event) {
    list_->SetItemText(item, 1, IpText(event.ipAddress));
    list_->SetItemText(item, 2, std::to_string(event.appId));
    list_->SetItemText(item, 3, VersionText(event.netVersion));
    list_->SetItemText(item, 4, event.typeName);
    list_->SetItemText(item, 5, VersionText(event.appVersion));
}

void CVersionToolDlg::ClearList() {
    list_->DeleteAllItems();
    entries_.clear();
    online_ = older_ = updatableOlder_ = 0;
    WriteStatusLines();
}

void CVersionToolDlg::SortList() {
    list_->SortItems(
        [](std::uintptr_t a, std::uintptr_t b, std::uintptr_t param) {
            const auto* x = reinterpret_cast<const ListEntry*>(a);
            const auto* y = reinterpret_cast<const ListEntry*>(b);
            return CompareListItems(x ? &x->event : nullptr, y ? &y->event : nullptr, param);
        },
        SortParam(sortColumn_, ascending_));
}

void CVersionToolDlg::OnHeaderClick(int column) {
    if (column < 0 || column >= kColumns)
        return;
    if (column == sortColumn_) {
        ascending_ = !ascending_;
    } else {
        ascending_ = true;
        list_->SetHeaderImage(sortColumn_, -1);
        sortColumn_ = column;
    }
    list_->SetHeaderImage(sortColumn_, ascending_ ? 0 : 1);
    SortList();
}

// A plain click selects and focuses the row; with Shift, Ctrl or Alt the list's own
// selection (adding, toggling, ranges) stands as it is.
void CVersionToolDlg::OnListClick(int item) {
    if (item < 0 || QGuiApplication::keyboardModifiers() != Qt::NoModifier)
        return;
    list_->SetItemState(item, fw::LVIS_SELECTED | fw::LVIS_FOCUSED,
                        fw::LVIS_SELECTED | fw::LVIS_FOCUSED);
}

void CVersionToolDlg::WriteStatusLines() {
    line1_->SetWindowText(
        FormatIds(discovering_ ? IDS_DEVICES_ONLINE : IDS_NOT_DISCOVERING, {online_}));
    if (older_ == 0)
        line2_->SetWindowText(fw::LoadString(IDS_ALL_CURRENT));
    else if (updatableOlder_ > 0)
        line2_->SetWindowText(FormatIds(IDS_OLDER_SOME_UPDATABLE, {older_, updatableOlder_}));
    else
        line2_->SetWindowText(FormatIds(IDS_OLDER, {older_}));
}

// --- Commands. ------------------------------------------------------------------------------

void CVersionToolDlg::OnStartStop() {
    discovering_ = !discovering_;
    if (discovering_) {
        ClearList();
        monitor_->Start(this);
        buttons_[0]->SetWindowText(fw::LoadString(IDS_STOP_DISCOVERY));
    } else {
        monitor_->Stop();
        buttons_[0]->SetWindowText(fw::LoadString(IDS_START_DISCOVERY));
    }
    WriteStatusLines();
}

// Devices act on these commands at once: each asks first.
void CVersionToolDlg::OnUpdateAll() {
    if (fw::MessageBox(this, fw::LoadString(IDS_CONFIRM_UPDATE_ALL), kAppName,
                       fw::MB_YESNO | fw::MB_ICONQUESTION) != fw::IDYES)
        return;
    sender_(kNodeCommandGroup, NODE_COMMAND_UPDATE);
}

void CVersionToolDlg::OnUpdateSelected() {
    if (list_->GetSelectedCount() == 0)
        return;
    if (fw::MessageBox(this, fw::LoadString(IDS_CONFIRM_UPDATE_SELECTED), kAppName,
                       fw::MB_YESNO | fw::MB_ICONQUESTION) != fw::IDYES)
        return;
    for (int item = list_->GetNextItem(-1, fw::LVNI_SELECTED); item != -1;
         item = list_->GetNextItem(item, fw::LVNI_SELECTED)) {
        const ListEntry* entry = EntryAt(item);
        if (entry && entry->event.updatable)
            sender_(entry->event.ipAddress, NODE_COMMAND_UPDATE);
    }
}

void CVersionToolDlg::OnSarnToKolt() {
    sender_(kNodeCommandGroup, NODE_COMMAND_SARN_TO_KOLT);
}

}  // namespace quillon
