// The modeless find (or find and replace) dialog. Its buttons send the owner the registered
// message "commdlg_FindReplace" (FindReplaceMessage()) with lParam pointing to the dialog; the
// owner reads what was asked with the accessors below. Closing the dialog sends the message
// once more with IsTerminating() true; the window is gone after that, the object stays with
// whoever made it.
#pragma once

#include "framework/dialogs/Dialog.h"

namespace fw {

inline constexpr DWORD FR_DOWN = 0x0001;
inline constexpr DWORD FR_WHOLEWORD = 0x0002;
inline constexpr DWORD FR_MATCHCASE = 0x0004;
inline constexpr DWORD FR_FINDNEXT = 0x0008;
inline constexpr DWORD FR_REPLACE = 0x0010;
inline constexpr DWORD FR_REPLACEALL = 0x0020;
inline constexpr DWORD FR_DIALOGTERM = 0x0040;

inline constexpr const char* FINDMSGSTRING = "commdlg_FindReplace";
UINT FindReplaceMessage();

// Control ids of the dialog.
inline constexpr UINT IDC_FR_FINDWHAT = 0x480;
inline constexpr UINT IDC_FR_REPLACEWITH = 0x481;
inline constexpr UINT IDC_FR_WHOLEWORD = 0x410;
inline constexpr UINT IDC_FR_MATCHCASE = 0x411;
inline constexpr UINT IDC_FR_UP = 0x420;
inline constexpr UINT IDC_FR_DOWN = 0x421;
inline constexpr UINT IDC_FR_REPLACE = 0x400;
inline constexpr UINT IDC_FR_REPLACEALL = 0x401;

class FindReplaceDialog : public Dialog {
    Q_OBJECT

public:
    FindReplaceDialog();
    bool Create(bool findOnly, std::string_view findWhat, std::string_view replaceWith = {},
                DWORD flags = FR_DOWN, Window* owner = nullptr);

    static FindReplaceDialog* GetNotifier(LPARAM lParam) {
        return reinterpret_cast<FindReplaceDialog*>(lParam);
    }
    std::string GetFindString() const { return findWhat_; }
    std::string GetReplaceString() const { return replaceWith_; }
    DWORD Flags() const { return flags_; }
    bool SearchDown() const { return flags_ & FR_DOWN; }
    bool MatchCase() const { return flags_ & FR_MATCHCASE; }
    bool MatchWholeWord() const { return flags_ & FR_WHOLEWORD; }
    bool FindNext() const { return flags_ & FR_FINDNEXT; }
    bool ReplaceCurrent() const { return flags_ & FR_REPLACE; }
    bool ReplaceAll() const { return flags_ & FR_REPLACEALL; }
    bool IsTerminating() const { return flags_ & FR_DIALOGTERM; }

    // The buttons, for programs and tests.
    void PressFindNext() { Notify(FR_FINDNEXT); }
    void PressReplace() { Notify(FR_REPLACE); }
    void PressReplaceAll() { Notify(FR_REPLACEALL); }

protected:
    void CreateControls() override;
    void OnCancel() override;

private:
    void ReadControls();
    void Notify(DWORD action);
    bool findOnly_ = true;
    std::string findWhat_;
    std::string replaceWith_;
    DWORD flags_ = FR_DOWN;
    Window* notifyOwner_ = nullptr;
};

}  // namespace fw
