// The main dialog's life and layout: its controls, the Help menu, the settings, the
// placement of the status lines, the list and the buttons, and closing.
#include "versiontool/VersionToolDlg.h"

#include <algorithm>

#include "editor/document/NodeCommand.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/ListView.h"
#include "framework/controls/Static.h"
#include "framework/persist/Profile.h"
#include "framework/persist/StringTable.h"
#include "platform/VavSocket.h"
#include "versiontool/QuillonResources.h"
#include "versiontool/StateImages.h"

namespace quillon {
namespace {

fw::Rect ChildRect(const QWidget* w) {
    const QRect g = w->geometry();
    return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

}  // namespace

void CVersionToolDlg::Settings::Read() {
    const fw::Profile& p = fw::AppProfile();
    border = p.GetProfileInt(kSettings, kMainBorderWidth, -1);
    wndTop = p.GetProfileInt(kSettings, kWndTop, -1);
    wndBottom = p.GetProfileInt(kSettings, kWndBottom, -1);
    wndLeft = p.GetProfileInt(kSettings, kWndLeft, -1);
    wndRight = p.GetProfileInt(kSettings, kWndRight, -1);
    devTop = p.GetProfileInt(kSettings, kDevTop, -1);
    devBottom = p.GetProfileInt(kSettings, kDevBottom, -1);
    for (int i = 0; i < kColumns; ++i) columns[i] = p.GetProfileInt(kSettings, kColumnKeys[i], -1);
}

void CVersionToolDlg::Settings::Write() const {
    fw::Profile& p = fw::AppProfile();
    p.WriteProfileInt(kSettings, kMainBorderWidth, border);
    p.WriteProfileInt(kSettings, kWndTop, wndTop);
    p.WriteProfileInt(kSettings, kWndBottom, wndBottom);
    p.WriteProfileInt(kSettings, kWndLeft, wndLeft);
    p.WriteProfileInt(kSettings, kWndRight, wndRight);
    p.WriteProfileInt(kSettings, kDevTop, devTop);
    p.WriteProfileInt(kSettings, kDevBottom, devBottom);
    for (int i = 0; i < kColumns; ++i) p.WriteProfileInt(kSettings, kColumnKeys[i], columns[i]);
}

CVersionToolDlg::CVersionToolDlg(fw::Window* parent, std::unique_ptr<CDeviceMonitor> monitor,
                                 CommandSender sender)
    : fw::Dialog(parent),
      monitor_(monitor ? std::move(monitor) : std::make_unique<CDeviceMonitor>()),
      sender_(sender ? std::move(sender) : CommandSender(SendNodeCommand)) {
    SetTemplate("Quillon and Upgrade Utility", 360, 212);
    MapCommand(IDC_START_STOP, [this] { OnStartStop(); });
    MapCommand(IDC_UPDATE_ALL, [this] { OnUpdateAll(); });
    MapCommand(IDC_UPDATE_SELECTED, [this] { OnUpdateSelected(); });
    MapCommand(IDC_SARN_TO_KOLT, [this] { OnSarnToKolt(); });
    MapCommand(IDM_LEGEND, [this] { SendMessage(fw::WM_SYSCOMMAND, IDM_LEGEND); });
    MapCommand(IDM_ABOUTBOX, [this] { SendMessage(fw::WM_SYSCOMMAND, IDM_ABOUTBOX); });
    // Header notifications come from the list's header, child id 0.
    MapNotify(fw::HDN_ITEMCLICKA, 0, [this](fw::NotifyHeader& h, fw::LRESULT&) {
        OnHeaderClick(reinterpret_cast<fw::HeaderClick&>(h).item);
    });
    MapNotify(fw::NM_CLICK, IDC_DEVICE_LIST, [this](fw::NotifyHeader& h, fw::LRESULT& result) {
        OnListClick(reinterpret_cast<fw::ListViewActivate&>(h).item);
        result = 0;
    });
}

CVersionToolDlg::~CVersionToolDlg() {
    discovering_ = false;
    monitor_->Stop();
}

void CVersionToolDlg::CreateControls() {
    line1_ = Add<fw::Static>(IDC_STATUS_LINE1, "", {5, 7, 355, 16}, fw::SS_NOPREFIX);
    line2_ = Add<fw::Static>(IDC_STATUS_LINE2, "", {5, 21, 355, 30}, fw::SS_NOPREFIX);
    list_ = Add<fw::ListView>(IDC_DEVICE_LIST, {5, 34, 355, 181},
                              fw::LVS_REPORT | fw::LVS_SHOWSELALWAYS);
    list_->SetExtendedStyle(fw::LVS_EX_FULLROWSELECT);
    buttons_[0] = Add<fw::Button>(IDC_START_STOP, fw::LoadString(IDS_START_DISCOVERY),
                                  {19, 190, 94, 205}, fw::BS_DEFPUSHBUTTON);
    buttons_[1] = Add<fw::Button>(IDC_UPDATE_ALL, "Update All", {101, 190, 176, 205});
    buttons_[2] = Add<fw::Button>(IDC_UPDATE_SELECTED, "Update Selected", {183, 190, 258, 205});
    buttons_[3] = Add<fw::Button>(IDC_SARN_TO_KOLT, "Sarn->Kolt", {265, 190, 340, 205});
    AddHelpMenu();
}

// The system menu's two commands, also on a Help menu where every desktop shows them.
void CVersionToolDlg::AddHelpMenu() {
    SetMenu({fw::MenuDef::Popup(
        fw::LoadString(IDS_HELP_MENU),
        {fw::MenuDef::Item(fw::LoadString(IDS_LEGEND), IDM_LEGEND), fw::MenuDef::Separator(),
         fw::MenuDef::Item(fw::LoadString(IDS_ABOUTBOX), IDM_ABOUTBOX)})});
}

bool CVersionToolDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    setWindowIcon(QuillonIcon());
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    EnableToolTips(true);
    list_->SetImageList(MakeStateImages());

    online_ = older_ = updatableOlder_ = 0;
    discovering_ = true;
    buttons_[0]->SetWindowText(fw::LoadString(IDS_STOP_DISCOVERY));

    settings_.Read();
    if (settings_.border == -1)
        TakeLayoutFromTemplate();
    MeasureButtons();
    if (settings_.wndTop != -1)
        RestorePlacement();
    PlaceStatusLinesAndList();
    InsertColumns();
    LayoutButtons();

    list_->SetHeaderImageList(MakeSortImages());
    sortColumn_ = 0;
    ascending_ = true;
    list_->SetHeaderImage(0, 0);
    WriteStatusLines();

    SocketStartup();
    handle_ = Handle();
    monitor_->Start(this);  // a failed start leaves an empty list; nothing to show
    return true;
}

void CVersionToolDlg::TakeLayoutFromTemplate() {
    const fw::Rect list = ChildRect(list_);
    settings_.border = list.left;
    settings_.devTop = list.top;
    settings_.devBottom = GetClientRect().Height() - list.bottom;
    settings_.columns = StretchedColumnWidths(-43, 7);
}

void CVersionToolDlg::MeasureButtons() {
    const fw::Rect first = ChildRect(buttons_[0]), second = ChildRect(buttons_[1]);
    buttonWidth_ = first.Width();
    buttonHeight_ = first.Height();
    buttonBottom_ = GetClientRect().Height() - first.bottom;
    buttonGap_ = second.left - first.right;
}

void CVersionToolDlg::RestorePlacement() {
    fw::WindowPlacement placement;
    placement.showCmd = fw::SW_SHOWNORMAL;
    placement.normal = {settings_.wndLeft, settings_.wndTop, settings_.wndRight,
                        settings_.wndBottom};
    SetWindowPlacement(placement);  // an empty rectangle is left alone
}

void CVersionToolDlg::PlaceStatusLinesAndList() {
    const fw::Rect client = GetClientRect();
    const int m = settings_.border;
    for (fw::Static* line : {line1_, line2_}) {
        const fw::Rect r = ChildRect(line);
        line->MoveWindow({m, r.top, client.Width() - m, r.bottom});
    }
    list_->MoveWindow(
        {m, settings_.devTop, client.Width() - m, client.Height() - settings_.devBottom});
}

void CVersionToolDlg::InsertColumns() {
    for (int i = 0; i < kColumns; ++i)
        list_->InsertColumn(i, fw::LoadString(IDS_COLUMN_NAME + static_cast<unsigned>(i)),
                            fw::LVCFMT_LEFT, settings_.columns[i]);
}

// Centred as a row; each keeps its size and its distance from the bottom.
void CVersionToolDlg::LayoutButtons() {
    const fw::Rect client = GetClientRect();
    const int x0 = std::max(0, (client.Width() - 4 * buttonWidth_ - 3 * buttonGap_) / 2);
    const int bottom = client.Height() - buttonBottom_;
    for (int i = 0; i < 4; ++i) {
        const int x = x0 + i * (buttonWidth_ + buttonGap_);
        buttons_[i]->MoveWindow({x, bottom - buttonHeight_, x + buttonWidth_, bottom});
        buttons_[i]->Invalidate();
    }
}

void CVersionToolDlg::OnSize(fw::UINT type, int cx, int cy) {
    fw::Dialog::OnSize(type, cx, cy);
    if (list_ == nullptr || list_->GetColumnCount() == 0)
        return;  // still being made
    if ((type == fw::SIZE_MAXIMIZED || type == fw::SIZE_MINIMIZED) && !columnsSaved_) {
        settings_.columns = CurrentColumnWidths();
        columnsSaved_ = true;
    }
    if (!IsWindowVisible())
        return;
    const int widthBefore = list_->GetClientRect().Width();
    PlaceStatusLinesAndList();
    WriteStatusLines();
    ResizeColumns(type, list_->GetClientRect().Width() != widthBefore);
    list_->Invalidate();
    LayoutButtons();
}

// Maximized or minimized, the columns stretch over the list and the settings keep the
// widths saved before; restored, those widths come back. Otherwise a new list width
// stretches the columns and is what the settings keep.
void CVersionToolDlg::ResizeColumns(fw::UINT type, bool widthChanged) {
    const std::array<int, kColumns> stretched = StretchedColumnWidths(-40, 2);
    if (columnsSaved_ && type != fw::SIZE_RESTORED) {
        SetColumnWidths(stretched);
    } else if (columnsSaved_) {
        columnsSaved_ = false;
        SetColumnWidths(settings_.columns);
    } else if (widthChanged) {
        settings_.columns = stretched;
        SetColumnWidths(stretched);
    }
}

void CVersionToolDlg::SetColumnWidths(const std::array<int, kColumns>& widths) {
    for (int i = 0; i < kColumns; ++i) list_->SetColumnWidth(i, widths[i]);
}

std::array<int, CVersionToolDlg::kColumns> CVersionToolDlg::CurrentColumnWidths() const {
    std::array<int, kColumns> widths{};
    for (int i = 0; i < kColumns; ++i) widths[i] = list_->GetColumnWidth(i);
    return widths;
}

// A sixth of the list each, names and addresses wider, the application id narrower.
std::array<int, CVersionToolDlg::kColumns> CVersionToolDlg::StretchedColumnWidths(
    int appIdExtra, int typeExtra) const {
    const int c = ListClientWidth() / kColumns;
    return {c + 20, c + 20, c + appIdExtra, c, c + typeExtra, c};
}

int CVersionToolDlg::ListClientWidth() const {
    return list_->GetClientRect().Width();  // without the scroll bar once the list scrolls
}

void CVersionToolDlg::OnClose() {
    Close();
}

void CVersionToolDlg::OnCancel() {
    Close();
}

void CVersionToolDlg::Close() {
    discovering_ = false;
    monitor_->Stop();
    SocketCleanup();
    ClearList();
    fw::WindowPlacement placement;
    GetWindowPlacement(placement);
    settings_.wndLeft = placement.normal.left;
    settings_.wndTop = placement.normal.top;
    settings_.wndRight = placement.normal.right;
    settings_.wndBottom = placement.normal.bottom;
    if (!IsZoomed() && !IsIconic())
        settings_.columns = CurrentColumnWidths();
    settings_.Write();
    EndDialog(fw::IDCANCEL);
}

}  // namespace quillon
