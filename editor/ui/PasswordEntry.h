// The password gate before network-address mode: the stored password (or the built-in one)
// opens it; "New Password..." changes the stored password through CChangePasswordDlg.
// Passwords are typed masked and never logged.
#pragma once

#include <string>

#include "framework/dialogs/Dialog.h"

namespace tessaly {

enum : unsigned { IDC_PASSWORD = 1061, IDC_NEW_PASSWORD_BUTTON = 1063 };

class CPasswordEntry : public fw::Dialog {
public:
    explicit CPasswordEntry(fw::Window* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;
    // Runs the change dialog; a new password the settings file refused is reported and not
    // taken, so the gate keeps the password that is really stored.
    void OnNewPassword();

    const std::string& StoredPassword() const { return stored_; }

protected:
    void CreateControls() override;

private:
    std::string stored_;
};

}  // namespace tessaly
