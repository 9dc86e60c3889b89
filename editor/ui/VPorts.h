// The vPort table dialog: every vPort of the configuration in a grid, where the user changes
// each vPort's EDMX start, channel count and dimmer doubling, adds and deletes user-defined
// vPorts and resets the factory ones. Nothing reaches the document until OK: then the vPort
// elements are rewritten and every port that uses a vPort gets its addresses. Enter never
// closes it; Cancel after changes asks first.
#pragma once

#include <string>
#include <vector>

#include "editor/document/PropertyType.h"
#include "framework/dialogs/Dialog.h"
#include "grid/core/GXTypes.h"
#include "xmldom/Node.h"

class CTessalyDoc;

namespace tessaly {

class CGridWnd;

enum : unsigned {
    IDC_VPORT_GRID = 1012,
    IDC_VPORT_ADD = 1013,
    IDC_VPORT_DELETE = 1014,
    IDC_VPORT_SAVE = 1015,
    IDC_VPORT_RESET = 1016,
    IDC_VPORT_PRINT = 1017,
};

// How one grid column shows its leaf of the vPort element.
struct VPortColumnInfo {
    std::string name;  // header text, "_" shown as blanks
    unsigned column = 0;
    unsigned level = 0;  // header row of the name
    bool readOnly = false;
    PropertyType type = PROPERTY_NONE;
    int32_t minimum = 0;
    int32_t maximum = 0;
    unsigned maxLength = 0;
};

class CVPorts : public fw::Dialog {
public:
    explicit CVPorts(fw::Window* parent = nullptr);
    ~CVPorts() override;

    bool OnInitDialog() override;
    // Enter does not close the table.
    void OnOK() override {}
    void OnCancel() override;

    void OnAddVPort();
    void OnDeleteVPort();
    void OnSaveTable();
    void OnResetFactory();
    // Prints the table without its Reset column, through the grid's printing.
    void OnPrintTable();

    CGridWnd* Grid() const { return grid_; }
    const std::vector<VPortColumnInfo>& Columns() const { return columns_; }

protected:
    void CreateControls() override;

private:
    void SetupGrid();
    void SetupColumn(const VPortColumnInfo& column);
    void SetupHeaders();
    // Header cells that span: Dimmer Doubling over its three columns, the others over both
    // header rows.
    void CoverHeaders();
    void FillRows();
    void PlaceControls();
    // Writes a shown row into its vPort's leaves (columns from `first`).
    void WriteRow(ROWCOL row, const std::vector<xmldom::Node>& leaves, unsigned first);
    void ClearPortsOf(const std::string& number);
    bool WritePorts();
    std::vector<xmldom::Node> PortVPortElements() const;

    CGridWnd* grid_ = nullptr;
    CTessalyDoc* doc_ = nullptr;
    xmldom::Node vPorts_;
    std::vector<VPortColumnInfo> columns_;
    std::string validMessage_;
    unsigned largestVPort_ = 0;
    ROWCOL rows_ = 0;
};

// The leaves of a vPort element in document order: the elements that hold text (or
// nothing), with the children of a group element in its place.
std::vector<xmldom::Node> VPortLeaves(xmldom::Node vPort);

}  // namespace tessaly
