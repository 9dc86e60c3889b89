#include "versiontool/LegendDlg.h"

#include <QTreeWidget>

#include "framework/Button.h"
#include "framework/CommandIds.h"
#include "framework/ListView.h"
#include "framework/StringTable.h"
#include "versiontool/QuillonResources.h"
#include "versiontool/StateImages.h"

namespace quillon {

CLegendDlg::CLegendDlg(fw::Window* parent) : fw::Dialog(parent) {
    SetTemplate("Device List Legend", 373, 93);
}

void CLegendDlg::CreateControls() {
    list_ = AddListView(IDC_LEGEND_LIST, {7, 7, 366, 63}, fw::LVS_REPORT | fw::LVS_NOCOLUMNHEADER);
    list_->EnableWindow(false);  // it only shows
    AddButton(fw::IDOK, "OK", {161, 72, 211, 86}, fw::BS_DEFPUSHBUTTON);
}

bool CLegendDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    list_->SetImageList(MakeStateImages());
    const QTreeWidget* tree = list_->Widget();
    list_->InsertColumn(0, fw::LoadString(IDS_COLUMN_NAME), fw::LVCFMT_LEFT,
                        tree->width() - 2 * tree->frameWidth());
    for (int image = 0; image < 4; ++image)
        list_->InsertItem(image, fw::LoadString(IDS_LEGEND_FIRST + static_cast<unsigned>(image)),
                          image);
    return true;
}

}  // namespace quillon
