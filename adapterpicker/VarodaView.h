// CVarodaView: the list of the PC's usable network interfaces (description, IP address,
// subnet mask, hardware address), one row each with a check box. Ticking a row picks that
// interface as the configuration's network card; at most one row is ticked. The view also
// owns Save and Save As, whose dialog starts where the platform looks for its file.
#pragma once

#include "adapterpicker/VarodaDoc.h"
#include "framework/controls/ListView.h"
#include "framework/docview/View.h"

#include <memory>

namespace varoda {

class CVarodaView : public fw::View {
public:
    // The list's child id.
    static constexpr unsigned kListId = 1;

    CVarodaView();
    ~CVarodaView() override;
    CVarodaDoc* GetDocument() const;
    fw::ListView& List() const { return *list_; }

    // Columns (once), then the rows of the document's adapters.
    void OnInitialUpdate() override;
    void InsertColumns();
    void FillList();
    void AddAdapterRow(uint32_t interfaceIndex);
    // Ticks the row of the document's selection, if it is listed.
    void CheckSelectedRow();
    // Writes the column widths to the profile (the frame calls it when it closes).
    void SaveColumnWidths();

    void OnFileSave();
    void OnFileSaveAs();

protected:
    int OnCreate() override;
    void OnSize(fw::UINT type, int cx, int cy) override;
    void OnSetFocus(fw::Window* oldFocus) override;

private:
    void OnClick(const fw::ListViewActivate& click);

    std::unique_ptr<fw::ListView> list_;
};

}  // namespace varoda
