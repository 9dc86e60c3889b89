// The common dialogs answered through their hooks, the modeless find and replace dialog with
// its registered notification, tool tips and window placement.
#include "framework/base/CommandIds.h"
#include "framework/controls/ToolTipCtrl.h"
#include "framework/dialogs/CommonDialogs.h"
#include "framework/dialogs/FileDialog.h"
#include "framework/dialogs/FindReplaceDialog.h"
#include "framework/tests/RecordingWindow.h"
#include "framework/window/RegisteredMessage.h"

#include <gtest/gtest.h>

#include <QTest>

namespace fw {
namespace {

using test::RecordingWindow;

TEST(CommonDialogs, FileFontAndColourAnswerThroughTheirHooks) {
    FileDialogRequest seen;
    auto oldFile = SetFileDialogHook([&](const FileDialogRequest& r) {
        seen = r;
        return std::optional<std::optional<std::string>>(std::string("/tmp/net"));
    });
    FileDialog save(false, "wov", "Default.wov", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    "IxoKolt Config (*.wov)|*.wov|All Files (*.*)|*.*||");
    ASSERT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), "/tmp/net.wov");  // the default extension is added
    EXPECT_EQ(save.GetFileName(), "net.wov");
    EXPECT_FALSE(seen.open);
    EXPECT_EQ(seen.defaultExt, "wov");
    EXPECT_EQ(FilterToQt(seen.filter), "IxoKolt Config (*.wov);;All Files (*)");
    SetFileDialogHook([](const FileDialogRequest&) {
        return std::optional<std::optional<std::string>>(std::optional<std::string>());
    });
    EXPECT_EQ(FileDialog(true).DoModal(), IDCANCEL);
    SetFileDialogHook(std::move(oldFile));

    LogFont asked;
    auto oldFont = SetFontDialogHook([&](const LogFont& initial) {
        asked = initial;
        LogFont f = initial;
        f.faceName = "DejaVu Serif";
        f.height = -16;
        f.weight = FW_BOLD;
        return std::optional<std::optional<LogFont>>(f);
    });
    LogFont start;
    start.faceName = "DejaVu Sans";
    start.height = -13;
    FontDialog font(&start);
    ASSERT_EQ(font.DoModal(), IDOK);
    EXPECT_EQ(asked.faceName, "DejaVu Sans");
    EXPECT_EQ(font.GetFaceName(), "DejaVu Serif");
    EXPECT_EQ(font.GetLogFont().weight, FW_BOLD);
    EXPECT_EQ(font.GetSize(), 120);  // 16 pixels at 96 per inch are 12 points
    SetFontDialogHook(std::move(oldFont));

    auto oldColor = SetColorDialogHook([](ColorRef initial) {
        return std::optional<std::optional<ColorRef>>(initial == Rgb(1, 2, 3) ? Rgb(255, 0, 0) : 0);
    });
    ColorDialog color(Rgb(1, 2, 3));
    ASSERT_EQ(color.DoModal(), IDOK);
    EXPECT_EQ(color.GetColor(), 0x000000FFu);  // red in the low byte
    SetColorDialogHook(std::move(oldColor));
}

TEST(FindReplace, ButtonsNotifyTheOwnerThroughTheRegisteredMessage) {
    const UINT msg = FindReplaceMessage();
    EXPECT_GE(msg, 0xC000u);
    EXPECT_EQ(RegisterWindowMessage("COMMDLG_FINDREPLACE"), msg);
    EXPECT_NE(RegisterWindowMessage("another"), msg);

    struct Asked {
        std::string what, with;
        DWORD flags;
    };
    std::vector<Asked> asked;
    RecordingWindow owner;
    owner.answer = [&](Message& m, LRESULT&) {
        if (m.id != msg)
            return false;
        FindReplaceDialog* d = FindReplaceDialog::GetNotifier(m.lParam);
        asked.push_back({d->GetFindString(), d->GetReplaceString(), d->Flags()});
        return true;
    };
    owner.Create(nullptr, {0, 0, 100, 100}, 0, WS_VISIBLE);
    FindReplaceDialog dlg;
    ASSERT_TRUE(dlg.Create(false, "Dimmer", "Fader", FR_DOWN | FR_MATCHCASE, &owner));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.GetDlgItemText(IDC_FR_FINDWHAT), "Dimmer");
    dlg.PressFindNext();
    dlg.SetDlgItemText(IDC_FR_REPLACEWITH, "Channel");
    dlg.CheckDlgButton(IDC_FR_MATCHCASE, 0);
    dlg.PressReplaceAll();
    dlg.ExecuteCommand(IDCANCEL);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0].flags, FR_FINDNEXT | FR_DOWN | FR_MATCHCASE);
    EXPECT_EQ(asked[1].with, "Channel");
    EXPECT_EQ(asked[1].flags, FR_REPLACEALL | FR_DOWN);
    EXPECT_TRUE(asked[2].flags & FR_DIALOGTERM);
    EXPECT_FALSE(dlg.IsCreated());
}

TEST(ToolTips, TextsFromTheCallerOrTheStringTable) {
    RecordingWindow w;
    w.Create(nullptr, {0, 0, 100, 100}, 0, WS_VISIBLE);
    RecordingWindow button;
    button.Create(&w, {0, 0, 20, 20}, 1001, WS_CHILD | WS_VISIBLE);
    ToolTipCtrl tips;
    tips.AddTool(&button, "Start/Stop discovery.");
    EXPECT_EQ(button.toolTip(), "Start/Stop discovery.");
    tips.Activate(false);
    EXPECT_TRUE(button.toolTip().isEmpty());
    tips.Activate(true);
    tips.UpdateTipText("Update all", &button);
    EXPECT_EQ(button.toolTip(), "Update all");
}

TEST(Placement, NormalRectangleAndShowState) {
    RecordingWindow w;
    w.Create(nullptr, {50, 60, 350, 260}, 0, WS_VISIBLE | WS_OVERLAPPEDWINDOW);
    WindowPlacement p;
    ASSERT_TRUE(w.GetWindowPlacement(p));
    EXPECT_EQ(p.showCmd, SW_SHOWNORMAL);
    EXPECT_EQ(p.normal.Width(), 300);
    p.normal = {70, 80, 470, 380};
    w.SetWindowPlacement(p);
    ASSERT_TRUE(w.GetWindowPlacement(p));
    EXPECT_EQ(p.normal.Height(), 300);
}

}  // namespace
}  // namespace fw
