#include "adapterpicker/MainFrame.h"

#include "adapterpicker/ConfigurationDlg.h"
#include "adapterpicker/VarodaResources.h"
#include "adapterpicker/VarodaView.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/StatusBar.h"
#include "framework/controls/ToolBar.h"
#include "framework/persist/Profile.h"

#include <QApplication>
#include <QStyle>

namespace varoda {
namespace {

QIcon StandardIcon(QStyle::StandardPixmap which) {
    return QApplication::style()->standardIcon(which);
}

std::vector<fw::MenuDef> MainMenu() {
    using fw::MenuDef;
    return {
        MenuDef::Popup("&File",
                       {MenuDef::Item("&New\tCtrl+N", fw::ID_FILE_NEW),
                        MenuDef::Item("&Open...\tCtrl+O", fw::ID_FILE_OPEN),
                        MenuDef::Item("&Save\tCtrl+S", fw::ID_FILE_SAVE),
                        MenuDef::Item("Save &As...", fw::ID_FILE_SAVE_AS), MenuDef::Separator(),
                        MenuDef::Item("Recent File", fw::ID_FILE_MRU_FILE1), MenuDef::Separator(),
                        MenuDef::Item("E&xit", fw::ID_APP_EXIT)}),
        MenuDef::Popup("&View", {MenuDef::Item("&Toolbar", fw::ID_VIEW_TOOLBAR),
                                 MenuDef::Item("&Status Bar", fw::ID_VIEW_STATUS_BAR),
                                 MenuDef::Item("&Configuration...\tCtrl+G", ID_CONFIGURATION)}),
        MenuDef::Popup("&Help", {MenuDef::Item("&About Varoda...", fw::ID_APP_ABOUT)}),
    };
}

}  // namespace

CMainFrame::CMainFrame() {
    MapCommand(ID_CONFIGURATION, [this] { OnConfiguration(); });
    MapCommand(fw::ID_VIEW_TOOLBAR,
               [this] { ShowToolBar(GetToolBar() && !GetToolBar()->isVisibleTo(this)); });
    MapUpdate(fw::ID_VIEW_TOOLBAR, [this](fw::CmdUI& ui) {
        ui.SetCheck(GetToolBar() && GetToolBar()->isVisibleTo(this) ? 1 : 0);
    });
    MapCommand(fw::ID_VIEW_STATUS_BAR,
               [this] { ShowStatusBar(GetStatusBar() && !GetStatusBar()->isVisibleTo(this)); });
    MapUpdate(fw::ID_VIEW_STATUS_BAR, [this](fw::CmdUI& ui) {
        ui.SetCheck(GetStatusBar() && GetStatusBar()->isVisibleTo(this) ? 1 : 0);
    });
}

int CMainFrame::OnCreate() {
    // The place and size the window had when it was last closed normally. The size is that
    // of the window's inside, so a window manager's frame does not make it grow each time.
    const fw::Profile& profile = fw::AppProfile();
    move(profile.GetProfileInt(kSettings, kWndLeft, 50),
         profile.GetProfileInt(kSettings, kWndTop, 50));
    resize(profile.GetProfileInt(kSettings, kWndWidth, 700),
           profile.GetProfileInt(kSettings, kWndHeight, 400));

    SetMenu(MainMenu());
    SetAccelerators({{fw::FVIRTKEY | fw::FCONTROL, 'G', ID_CONFIGURATION},
                     {fw::FVIRTKEY | fw::FCONTROL, 'N', fw::ID_FILE_NEW},
                     {fw::FVIRTKEY | fw::FCONTROL, 'O', fw::ID_FILE_OPEN},
                     {fw::FVIRTKEY | fw::FCONTROL, 'S', fw::ID_FILE_SAVE}});
    if (!CreateToolBar({{fw::ID_FILE_NEW, {}, StandardIcon(QStyle::SP_FileIcon)},
                        {fw::ID_FILE_OPEN, {}, StandardIcon(QStyle::SP_DialogOpenButton)},
                        {fw::ID_FILE_SAVE, {}, StandardIcon(QStyle::SP_DialogSaveButton)},
                        {0},
                        {fw::ID_APP_ABOUT, {}, StandardIcon(QStyle::SP_MessageBoxInformation)}}))
        return -1;
    if (!CreateStatusBar(
            {fw::ID_SEPARATOR, fw::ID_INDICATOR_CAPS, fw::ID_INDICATOR_NUM, fw::ID_INDICATOR_SCRL}))
        return -1;
    return 0;
}

void CMainFrame::OnClose() {
    if (auto* view = dynamic_cast<CVarodaView*>(GetActiveView()))
        view->SaveColumnWidths();
    SaveWindowPlacement();
    fw::FrameWnd::OnClose();
}

void CMainFrame::SaveWindowPlacement() {
    fw::Profile& profile = fw::AppProfile();
    const int state = IsZoomed() ? 1 : IsIconic() ? 2 : 0;
    profile.WriteProfileInt(kSettings, kWndState, state);
    if (state != 0)
        return;
    profile.WriteProfileInt(kSettings, kWndLeft, pos().x());
    profile.WriteProfileInt(kSettings, kWndTop, pos().y());
    profile.WriteProfileInt(kSettings, kWndWidth, width());
    profile.WriteProfileInt(kSettings, kWndHeight, height());
}

void CMainFrame::OnConfiguration() {
    auto* doc = dynamic_cast<CVarodaDoc*>(GetActiveDocument());
    if (doc == nullptr)
        return;
    CConfigurationDlg dialog(this);
    dialog.SetDocument(doc);
    dialog.DoModal();
}

}  // namespace varoda
