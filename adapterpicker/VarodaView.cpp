#include "adapterpicker/VarodaView.h"

#include <cctype>

#include "adapterpicker/AdapterTexts.h"
#include "adapterpicker/VarodaResources.h"
#include "framework/base/CommandIds.h"
#include "framework/dialogs/FileDialog.h"
#include "framework/docview/DocTemplate.h"
#include "framework/persist/Profile.h"
#include "framework/persist/StringTable.h"
#include "os/Paths.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace varoda {
namespace {

struct Column {
    unsigned header;
    std::string_view widthValue;
    int defaultWidth;
};
constexpr Column kColumns[] = {
    {IDS_COLUMN_DESCRIPTION, "DescWidth", 250},
    {IDS_COLUMN_IP_ADDRESS, "IpWidth", 125},
    {IDS_COLUMN_SUBNET_MASK, "SubWidth", 125},
    {IDS_COLUMN_MAC_ADDRESS, "MacWidth", 150},
};
constexpr int kColumnCount = static_cast<int>(std::size(kColumns));

// Where Save As starts: the folder of $VAV_CONFIG_FILE with its file name, as the platform
// looks for the file there; else the system directory with the default name.
void SaveAsStart(std::string& folder, std::string& name) {
    const char* env = std::getenv("VAV_CONFIG_FILE");
    if (env == nullptr || *env == '\0') {
        folder = os::SystemDir().string();
        return;
    }
    const std::string value = env;
    const size_t slash = value.rfind('/');
    if (slash == std::string::npos) {
        folder = value;
        return;
    }
    folder = value.substr(0, slash + 1);
    if (slash + 1 < value.size())
        name = value.substr(slash + 1);
}

}  // namespace

CVarodaView::CVarodaView() {
    MapCommand(fw::ID_FILE_SAVE, [this] { OnFileSave(); });
    MapCommand(fw::ID_FILE_SAVE_AS, [this] { OnFileSaveAs(); });
    MapNotify(fw::NM_CLICK, kListId, [this](fw::NotifyHeader& header, fw::LRESULT& result) {
        OnClick(reinterpret_cast<const fw::ListViewActivate&>(header));
        result = 0;
    });
}

CVarodaView::~CVarodaView() = default;

CVarodaDoc* CVarodaView::GetDocument() const {
    return static_cast<CVarodaDoc*>(fw::View::GetDocument());
}

int CVarodaView::OnCreate() {
    list_ = std::make_unique<fw::ListView>();
    const fw::Rect client = GetClientRect();
    if (!list_->Create(fw::LVS_REPORT | fw::LVS_SINGLESEL | fw::LVS_SHOWSELALWAYS | fw::WS_VISIBLE |
                           fw::WS_TABSTOP,
                       client, this, kListId))
        return -1;
    return 0;
}

void CVarodaView::OnSize(fw::UINT, int cx, int cy) {
    if (list_)
        list_->MoveWindow({0, 0, cx, cy});
}

void CVarodaView::OnSetFocus(fw::Window*) {
    if (list_)
        list_->SetFocus();
}

void CVarodaView::OnInitialUpdate() {
    fw::View::OnInitialUpdate();
    list_->SetExtendedStyle(list_->GetExtendedStyle() | fw::LVS_EX_CHECKBOXES |
                            fw::LVS_EX_FULLROWSELECT);
    InsertColumns();
    FillList();
}

void CVarodaView::InsertColumns() {
    if (list_->GetColumnCount() > 0)
        return;
    for (int i = 0; i < kColumnCount; ++i) {
        const Column& c = kColumns[i];
        list_->InsertColumn(
            i, fw::LoadString(c.header), fw::LVCFMT_LEFT,
            fw::AppProfile().GetProfileInt(kSettings, c.widthValue, c.defaultWidth));
    }
}

void CVarodaView::FillList() {
    CVarodaDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    list_->DeleteAllItems();
    const VavIfRow* row = nullptr;
    for (bool more = doc->GetFirstAdapter(row); more; more = doc->GetNextAdapter(row))
        AddAdapterRow(row->index);
    CheckSelectedRow();
}

void CVarodaView::AddAdapterRow(uint32_t interfaceIndex) {
    const int row =
        list_->InsertItem(list_->GetItemCount(), GetInterfaceDescriptionText(interfaceIndex));
    list_->SetItemText(row, 1, GetInterfaceIpText(interfaceIndex));
    list_->SetItemText(row, 2, GetInterfaceMaskText(interfaceIndex));
    list_->SetItemText(row, 3, GetInterfaceMacText(interfaceIndex));
    list_->SetItemData(row, interfaceIndex);
}

void CVarodaView::CheckSelectedRow() {
    const int32_t selected = GetDocument() ? GetDocument()->GetSelectedInterface() : kNoSelection;
    if (selected <= 0)
        return;
    for (int i = 0; i < list_->GetItemCount(); ++i)
        if (list_->GetItemData(i) == static_cast<uint32_t>(selected)) {
            list_->SetCheck(i, true);
            return;
        }
}

// A click on a row's check box: the ticked row loses its tick (no card), any other row
// becomes the only ticked one. The list toggles the clicked box itself afterwards. A click
// beside the boxes or below the last row changes nothing.
void CVarodaView::OnClick(const fw::ListViewActivate& click) {
    CVarodaDoc* doc = GetDocument();
    if (doc == nullptr || click.item < 0 || !list_->IsOnCheckBox(click.item, click.point))
        return;
    if (list_->GetCheck(click.item)) {
        doc->SetSelectedInterface(kTickRemoved);
        return;
    }
    for (int i = 0; i < list_->GetItemCount(); ++i) list_->SetCheck(i, false);
    doc->SetSelectedInterface(static_cast<int32_t>(list_->GetItemData(click.item)));
}

void CVarodaView::SaveColumnWidths() {
    const int count = std::min(list_->GetColumnCount(), kColumnCount);
    for (int i = 0; i < count; ++i)
        fw::AppProfile().WriteProfileInt(kSettings, kColumns[i].widthValue,
                                         list_->GetColumnWidth(i));
}

void CVarodaView::OnFileSave() {
    CVarodaDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    if (doc->GetPathName().empty()) {
        OnFileSaveAs();
        return;
    }
    doc->OnSaveDocument(doc->GetPathName());
}

void CVarodaView::OnFileSaveAs() {
    CVarodaDoc* doc = GetDocument();
    if (doc == nullptr || doc->GetDocTemplate() == nullptr)
        return;
    const fw::DocTemplate& docTemplate = *doc->GetDocTemplate();
    std::string ext, name, folder;
    docTemplate.GetDocString(ext, fw::DocTemplate::filterExt);
    docTemplate.GetDocString(name, fw::DocTemplate::docName);
    // File names are case sensitive here: the document name "IxoKolt" is offered in lower
    // case, as "ixokolt.cfg", the name every reader of the file looks for first.
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    name += ext;
    SaveAsStart(folder, name);
    fw::FileDialog dialog(false, ext, name, fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT,
                          docTemplate.FilterText(), this);
    dialog.SetInitialDir(folder);
    if (dialog.DoModal() != fw::IDOK)
        return;
    // The document takes the new name only when the file was written: after a failed save
    // it still names the file it came from, so Save cannot write somewhere unexpected.
    if (doc->OnSaveDocument(dialog.GetPathName()))
        doc->SetPathName(dialog.GetPathName());
}

}  // namespace varoda
