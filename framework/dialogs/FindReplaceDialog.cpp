#include "framework/dialogs/FindReplaceDialog.h"

#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/Edit.h"
#include "framework/controls/Static.h"
#include "framework/window/RegisteredMessage.h"

#include <QPointer>

namespace fw {

UINT FindReplaceMessage() {
    return RegisterWindowMessage(FINDMSGSTRING);
}

FindReplaceDialog::FindReplaceDialog() {
    MapCommand(IDOK, [this] { Notify(FR_FINDNEXT); });
    MapCommand(IDC_FR_REPLACE, [this] { Notify(FR_REPLACE); });
    MapCommand(IDC_FR_REPLACEALL, [this] { Notify(FR_REPLACEALL); });
}

bool FindReplaceDialog::Create(bool findOnly, std::string_view findWhat,
                               std::string_view replaceWith, DWORD flags, Window* owner) {
    findOnly_ = findOnly;
    findWhat_ = std::string(findWhat);
    replaceWith_ = std::string(replaceWith);
    flags_ = flags & (FR_DOWN | FR_WHOLEWORD | FR_MATCHCASE);
    notifyOwner_ = owner;
    SetTemplate(findOnly ? "Find" : "Replace", 230, findOnly ? 62 : 94);
    return CreateModeless(owner);
}

void FindReplaceDialog::CreateControls() {
    Add<Static>(0, "Fi&nd what:", {5, 8, 50, 18});
    Add<Edit>(IDC_FR_FINDWHAT, {52, 6, 170, 18})->SetWindowText(findWhat_);
    int y = 22;
    if (!findOnly_) {
        Add<Static>(0, "Re&place with:", {5, 24, 50, 34});
        Add<Edit>(IDC_FR_REPLACEWITH, {52, 22, 170, 34})->SetWindowText(replaceWith_);
        y = 40;
    }
    Add<Button>(IDC_FR_WHOLEWORD, "Match &whole word only", {5, y, 120, y + 10}, BS_AUTOCHECKBOX)
        ->SetCheck(MatchWholeWord() ? BST_CHECKED : BST_UNCHECKED);
    Add<Button>(IDC_FR_MATCHCASE, "Match &case", {5, y + 14, 120, y + 24}, BS_AUTOCHECKBOX)
        ->SetCheck(MatchCase() ? BST_CHECKED : BST_UNCHECKED);
    if (findOnly_) {
        Add<Button>(IDC_FR_UP, "&Up", {125, y, 150, y + 10}, BS_AUTORADIOBUTTON | WS_GROUP)
            ->SetCheck(SearchDown() ? BST_UNCHECKED : BST_CHECKED);
        Add<Button>(IDC_FR_DOWN, "&Down", {152, y, 180, y + 10}, BS_AUTORADIOBUTTON)
            ->SetCheck(SearchDown() ? BST_CHECKED : BST_UNCHECKED);
    }
    Add<Button>(IDOK, "&Find Next", {176, 5, 226, 19}, BS_DEFPUSHBUTTON | WS_GROUP);
    if (!findOnly_) {
        Add<Button>(IDC_FR_REPLACE, "&Replace", {176, 22, 226, 36});
        Add<Button>(IDC_FR_REPLACEALL, "Replace &All", {176, 39, 226, 53});
    }
    Add<Button>(IDCANCEL, "Cancel", {176, findOnly_ ? 22 : 56, 226, findOnly_ ? 36 : 70});
}

void FindReplaceDialog::ReadControls() {
    if (!IsCreated())
        return;
    findWhat_ = GetDlgItemText(IDC_FR_FINDWHAT);
    if (!findOnly_)
        replaceWith_ = GetDlgItemText(IDC_FR_REPLACEWITH);
    flags_ &= ~(FR_WHOLEWORD | FR_MATCHCASE);
    if (IsDlgButtonChecked(IDC_FR_WHOLEWORD) == BST_CHECKED)
        flags_ |= FR_WHOLEWORD;
    if (IsDlgButtonChecked(IDC_FR_MATCHCASE) == BST_CHECKED)
        flags_ |= FR_MATCHCASE;
    if (findOnly_) {
        flags_ &= ~FR_DOWN;
        if (IsDlgButtonChecked(IDC_FR_UP) != BST_CHECKED)
            flags_ |= FR_DOWN;
    }
}

void FindReplaceDialog::Notify(DWORD action) {
    ReadControls();
    flags_ = (flags_ & ~(FR_FINDNEXT | FR_REPLACE | FR_REPLACEALL | FR_DIALOGTERM)) | action;
    Window* owner = notifyOwner_ ? notifyOwner_ : GetParentWindow();
    if (owner)
        owner->SendMessage(FindReplaceMessage(), 0, reinterpret_cast<LPARAM>(this));
}

void FindReplaceDialog::OnCancel() {
    QPointer<FindReplaceDialog> alive(this);
    Notify(FR_DIALOGTERM);
    if (alive)
        DestroyWindow();
}

}  // namespace fw
