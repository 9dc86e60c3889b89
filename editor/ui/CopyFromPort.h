// Picks the port whose stored AIP patch the AIP dialog copies into the current one: a node
// and one of its AIP input ports from the owner's lists, and whether to append to the current
// patch. OK stays disabled until a port has been picked.
#pragma once

#include "framework/dialogs/Dialog.h"

namespace tessaly {

class CAIPConfig;

enum : unsigned {
    IDC_COPY_NODE = 1038,
    IDC_COPY_PORT = 1039,
    IDC_COPY_APPEND = 1044,
};

class CCopyFromPort : public fw::Dialog {
public:
    explicit CCopyFromPort(const CAIPConfig& owner, fw::Window* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;
    void OnSelchangeNode();
    void OnSelchangePort();

    // The results after IDOK: combo indexes that match the owner's node and port entries.
    int m_nNode = -1;
    int m_nPort = -1;
    bool m_bAppend = false;

protected:
    void CreateControls() override;

private:
    const CAIPConfig& owner_;
};

}  // namespace tessaly
