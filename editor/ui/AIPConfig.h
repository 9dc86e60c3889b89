// The AIP patch dialog: pick a node and one of its AIP input ports, and edit which EDMX
// addresses each of the port's 512 DMX channels feeds, channel by channel or in bulk. The
// patch stays in the dialog until the port is left (another node or port, or Exit); then it
// is written back to the port, and only when it was changed, so a port the user only looked
// at keeps its stored text byte for byte. Escape leaves without writing.
#pragma once

#include <string>
#include <vector>

#include "editor/document/IPAddress.h"
#include "editor/ui/AipPatch.h"
#include "framework/dialogs/Dialog.h"
#include "platform/VavMacAddress.h"
#include "xmldom/Node.h"

class CTessalyDoc;

namespace fw {
class ComboBox;
class ListView;
class StatusBar;
}  // namespace fw

namespace tessaly {

enum : unsigned {
    IDC_AIP_LIST = 1020,
    IDC_AIP_NODE = 1021,
    IDC_AIP_PORT = 1022,
    IDC_AIP_DMX = 1023,
    IDC_AIP_PATCH = 1025,
    IDC_AIP_UNPATCH = 1026,
    IDC_AIP_ONE_TO_ONE = 1027,
    IDC_AIP_RANGE = 1028,
    IDC_AIP_CLEAR = 1029,
    IDC_AIP_COPY_FROM_PORT = 1030,
    IDC_AIP_EDMX = 1040,
    IDC_AIP_REVERT = 1046,
    IDC_AIP_STATUS = 59393,
};

// An AIP input port of a node: its number, element and line in the port combo box.
struct AipPortEntry {
    int32_t number = 0;
    xmldom::Node element;
    int comboIndex = -1;
};

// A node with at least one AIP input port, as the node combo box lists it.
struct AipNodeEntry {
    std::string name;
    CIPAddress ip;
    VavMacAddress mac;
    int32_t type = 0;
    std::vector<AipPortEntry> ports;
    int comboIndex = -1;
};

class CAIPConfig : public fw::Dialog {
public:
    explicit CAIPConfig(fw::Window* parent = nullptr);
    ~CAIPConfig() override;

    bool OnInitDialog() override;
    void OnOK() override;

    void OnSelchangeNode();
    void OnSelchangePort();
    void OnChangeDmx();
    void OnPatch();
    void OnUnpatch();
    void OnOneToOnePatch();
    void OnRangePatch();
    void OnClearPatch();
    void OnCopyFromPort();
    void OnRevert();

    const std::vector<AipNodeEntry>& NodeEntries() const { return nodes_; }
    const AipPatch& Patch() const { return patch_; }
    bool IsLoaded() const { return loaded_; }
    bool IsEdited() const { return edited_; }
    std::string StatusText() const;
    std::string FreeText() const;

    // The text a node combo line shows: name, a blank and the dotted IP address.
    static std::string NodeLine(const AipNodeEntry& entry);

protected:
    void CreateControls() override;
    void OnSize(fw::UINT type, int cx, int cy) override;

private:
    void BuildNodeList();
    void EnableEditing(bool enable);
    // Writes the loaded port's patch back when it was edited.
    void SavePort();
    void ClearPatch();
    // One step with its status text and the rows it changed; false when the channel was full.
    bool PatchChannel(int dmx, int edmx);
    void RefreshRow(int dmx);
    void RefreshAllRows();
    void RefreshFree();
    void SetStatus(const std::string& text);
    void ReportInput(unsigned messageId, unsigned focus, int line);
    void FocusEdit(unsigned id);
    const AipPortEntry* FindPort(int nodeIndex, int portIndex, const AipNodeEntry** node) const;
    // The DMX text as a channel; -1 when it is no number (0 for "0", "00", "000").
    int ReadDmx() const;
    // The EDMX text as an address; -1 when invalid.
    int ReadEdmx() const;
    bool FocusInPatchFields() const;

    fw::ComboBox* NodeCombo() const;
    fw::ComboBox* PortCombo() const;
    fw::ListView* List() const;

    CTessalyDoc* doc_ = nullptr;
    std::vector<AipNodeEntry> nodes_;
    AipPatch patch_;
    bool loaded_ = false;
    bool edited_ = false;
    int nodeIndex_ = -1;
    int portIndex_ = -1;
    fw::StatusBar* status_ = nullptr;
};

}  // namespace tessaly
