// The About box: the program's product name, its version as six numbers and its copyright,
// from the version record the build gave the program.
#pragma once

#include <string>

#include "framework/dialogs/Dialog.h"

namespace tessaly {

enum : unsigned { IDC_ABOUT_VERSION = 1017, IDC_ABOUT_COPYRIGHT = 1018, IDC_ABOUT_PRODUCT = 1019 };

class CAboutDlg : public fw::Dialog {
public:
    explicit CAboutDlg(fw::Window* parent = nullptr);

    const std::string& Product() const { return product_; }
    const std::string& Version() const { return version_; }
    const std::string& Copyright() const { return copyright_; }

protected:
    void CreateControls() override;
    void DoDataExchange(fw::DataExchange& dx) override;

private:
    std::string copyright_;
    std::string product_;
    std::string version_;
};

}  // namespace tessaly
