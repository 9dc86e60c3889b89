// Quillon's main dialog: two status lines, the device list with its six columns and state
// images, and the buttons that start and stop discovery and send the update and
// discovery commands. It owns the device monitor and is its list sink: the engines'
// threads only copy their report and post it (WM_DEVICE_EVENT); the list, its counters
// and the status lines change on the user-interface thread alone.
//
// The About and Legend dialogs are offered from a Help menu; F1 shows the Legend.
// Layout and column widths persist in the profile's section "Settings".
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <memory>

#include "framework/dialogs/Dialog.h"
#include "versiontool/DeviceMonitor.h"

namespace fw {
class Button;
class ListView;
class Static;
}  // namespace fw

namespace quillon {

struct DeviceEventMessage {
    bool found = false;
    bool older = false;
    DeviceEvent event;
};

// Sends one node command (destination in host order, command type); the node command
// sender by default, a recorder in tests. Its answer is not read.
using CommandSender = std::function<uint32_t(uint32_t destination, uint32_t type)>;

class CVersionToolDlg : public fw::Dialog, public IDeviceListSink {
public:
    static constexpr int kColumns = 6;

    explicit CVersionToolDlg(fw::Window* parent = nullptr,
                             std::unique_ptr<CDeviceMonitor> monitor = nullptr,
                             CommandSender sender = nullptr);
    ~CVersionToolDlg() override;

    bool OnInitDialog() override;
    void OnCancel() override;

    // The list sink; any thread.
    bool OnCurrentDeviceFound(const DeviceEvent& event) override;
    bool OnCurrentDeviceLost(const DeviceEvent& event) override;
    bool OnOlderDeviceFound(const DeviceEvent& event) override;
    bool OnOlderDeviceLost(const DeviceEvent& event) override;

    // What the dialog shows.
    fw::ListView& List() const { return *list_; }
    const DeviceEvent* EventAt(int item) const;
    int OnlineCount() const { return online_; }
    int OlderCount() const { return older_; }
    int UpdatableOlderCount() const { return updatableOlder_; }
    bool IsDiscovering() const { return discovering_; }
    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return ascending_; }

protected:
    void CreateControls() override;
    fw::LRESULT WindowProc(fw::Message& msg) override;
    void OnSize(fw::UINT type, int cx, int cy) override;
    void OnClose() override;

private:
    struct ListEntry {
        DeviceEvent event;
        bool older = false;  // the class the entry was counted in
    };
    // The thirteen values of the profile section; -1 where none is stored.
    struct Settings {
        int border = -1, wndTop = -1, wndBottom = -1, wndLeft = -1, wndRight = -1;
        int devTop = -1, devBottom = -1;
        std::array<int, kColumns> columns{-1, -1, -1, -1, -1, -1};
        void Read();
        void Write() const;
    };

    // Layout (VersionToolDlg.cpp).
    void AddHelpMenu();
    void TakeLayoutFromTemplate();
    void MeasureButtons();
    void RestorePlacement();
    void PlaceStatusLinesAndList();
    void InsertColumns();
    void LayoutButtons();
    void ResizeColumns(fw::UINT type, bool widthChanged);
    void SetColumnWidths(const std::array<int, kColumns>& widths);
    std::array<int, kColumns> CurrentColumnWidths() const;
    std::array<int, kColumns> StretchedColumnWidths(int appIdExtra, int typeExtra) const;
    int ListClientWidth() const;
    void Close();

    // The list (VersionToolDlgList.cpp).
    bool Post(bool found, bool older, const DeviceEvent& event);
    void OnDeviceEvent(std::unique_ptr<DeviceEventMessage> message);
    int FindEntry(const DeviceEvent& event) const;
    ListEntry* EntryAt(int item) const;
    void AddDevice(bool older, DeviceEvent event);
    void RemoveDevice(const DeviceEvent& event);
    void ClearList();
    void FillColumns(int item, const DeviceEvent& event);
    void SortList();
    void OnHeaderClick(int column);
    void OnListClick(int item);
    void WriteStatusLines();
    void OnStartStop();
    void OnUpdateAll();
    void OnUpdateSelected();
    void OnSarnToKolt();

    std::unique_ptr<CDeviceMonitor> monitor_;
    CommandSender sender_;
    fw::WindowHandle handle_;  // what the engines' threads post to
    std::atomic<bool> discovering_{false};

    fw::ListView* list_ = nullptr;
    fw::Static* line1_ = nullptr;
    fw::Static* line2_ = nullptr;
    std::array<fw::Button*, 4> buttons_{};
    std::map<const ListEntry*, std::unique_ptr<ListEntry>> entries_;

    int online_ = 0, older_ = 0, updatableOlder_ = 0;
    int sortColumn_ = 0;
    bool ascending_ = true;
    int buttonWidth_ = 0, buttonHeight_ = 0, buttonGap_ = 0, buttonBottom_ = 0;
    bool columnsSaved_ = false;  // widths stored while maximized or minimized
    Settings settings_;
};

}  // namespace quillon
