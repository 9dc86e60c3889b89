// The legend of the device list: its four state images, each with what it means.
#pragma once

#include "framework/dialogs/Dialog.h"

namespace fw {
class ListView;
}

namespace quillon {

class CLegendDlg : public fw::Dialog {
public:
    explicit CLegendDlg(fw::Window* parent = nullptr);
    bool OnInitDialog() override;

    fw::ListView& List() const { return *list_; }

protected:
    void CreateControls() override;

private:
    fw::ListView* list_ = nullptr;
};

}  // namespace quillon
