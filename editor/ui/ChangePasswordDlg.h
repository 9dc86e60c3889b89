// Replaces the editor's password: the old one must match the current password exactly (the
// built-in password does not count here), the new one and its confirmation must agree.
#pragma once

#include <string>

#include "framework/dialogs/Dialog.h"

namespace tessaly {

enum : unsigned { IDC_OLD_PASSWORD = 1059, IDC_NEW_PASSWORD = 1062, IDC_CONFIRM_PASSWORD = 1063 };

class CChangePasswordDlg : public fw::Dialog {
public:
    explicit CChangePasswordDlg(fw::Window* parent = nullptr);

    void OnOK() override;

    // Set before DoModal; after IDOK it holds the new password.
    std::string currentPassword;

protected:
    void CreateControls() override;

private:
    void Refuse(unsigned messageId, std::initializer_list<unsigned> cleared, unsigned focus);
};

}  // namespace tessaly
