#include "adapterpicker/VarodaResources.h"

#include "framework/base/CommandIds.h"
#include "framework/persist/StringTable.h"

namespace varoda {

void LoadVarodaStrings() {
    fw::SetStrings({
        {fw::AFX_IDS_APP_TITLE, "Varoda"},
        {IDR_MAINFRAME,
         "Varoda\nIxoKolt\nVaro\nVaro Configurations (*.cfg)\n.cfg\nVaroda.Document\nVaro "
         "Document"},
        {IDS_COLUMN_DESCRIPTION, "Description"},
        {IDS_COLUMN_IP_ADDRESS, "IP Address"},
        {IDS_COLUMN_SUBNET_MASK, "Subnet Mask"},
        {IDS_COLUMN_MAC_ADDRESS, "MAC Address"},
        {fw::ID_FILE_NEW, "Create a new document\nNew"},
        {fw::ID_FILE_OPEN, "Open an existing document\nOpen"},
        {fw::ID_FILE_SAVE, "Save the active document\nSave"},
        {fw::ID_FILE_SAVE_AS, "Save the active document with a new name\nSave As"},
        {fw::ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
        {fw::ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
        {fw::ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
        {fw::ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
        {ID_CONFIGURATION, "Show the bootp IP configuration\nbootp configuration"},
    });
}

}  // namespace varoda
