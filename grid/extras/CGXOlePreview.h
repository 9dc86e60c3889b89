// The OLE preview cell (control id 20132, "Dao object preview control"): a static cell whose
// style holds an OLE object (user attribute 52794, a byte-array variant in the database
// OLE-object form), with a small hot-spot button at its top right. Pressing the button opens the
// cell's object in a viewer (CGXGenericViewerImpl), which shows its class name and "not
// supported": OLE servers and the OLE clipboard have no counterpart here, so copy, cut and paste
// answer that they cannot. Delete (without Ctrl) clears the object; leaving the cell closes the
// viewer.
//
// Only a record-browsing grid (one that implements CGXOleBrowsingGrid) gets this control from
// CGXExtrasControlFactory.
#pragma once

#include "grid/controls/CGXControl.h"
#include "grid/extras/CGXOleViewer.h"

class CGXHotSpotButton;

inline constexpr unsigned GX_IDS_CTRL_OLEPREVIEW = 20132;
inline constexpr std::uint16_t GX_IDS_UA_OLEOBJECT = 52794;  // the object's byte-array variant
inline constexpr std::uint16_t GX_IDS_UA_OLEFIELD = 52801;   // the record's field number

// What a record-browsing grid offers an OLE preview cell: it fills the viewer of a field for
// the cell before the viewer opens (nothing by default).
class CGXOleBrowsingGrid {
public:
    virtual ~CGXOleBrowsingGrid() = default;
    virtual void PrepareOleViewer(CGXGenericViewerImpl&, ROWCOL, ROWCOL) {}
};

// Whether some OLE preview cell has a viewer open (library-wide).
bool GXIsOleViewerOpen();

class CGXOlePreview : public CGXStatic {
public:
    static const CGXControlClassInfo kClassInfo;
    static constexpr int kButtonWidth = 13;

    explicit CGXOlePreview(CGXGridCore* grid);
    ~CGXOlePreview() override;
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    void Init(ROWCOL row, ROWCOL col) override;
    // The text keeps clear of the button; the preferred size is the button's width wider.
    fw::Rect GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect = nullptr,
                         const CGXStyle* style = nullptr) override;
    fw::Size AddBorders(fw::Size size, const CGXStyle& style) override;
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
    // The button: 13 pixels square at the top right, clipped to the cell; one pixel lower when
    // the cell is high enough.
    void OnInitChildren(ROWCOL row, ROWCOL col, const fw::Rect& textRect) override;
    // Opens the cell's object, or brings the open viewer to the front (with 20206).
    void OnClickedButton(CGXChild* child) override;
    // Delete without Ctrl clears the object.
    bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) override;
    bool OnLeftCell(ROWCOL newRow, ROWCOL newCol) override;
    bool OnCancelEditing() override;

    // The viewer of the bound cell's field, made on first request; null outside a browsing grid.
    CGXGenericViewerImpl* GetViewer();
    // The viewer open for the cell, null when none is.
    CGXGenericViewerImpl* GetOpenViewer() const;
    void CloseViewer();

    // There is no OLE clipboard: nothing is copied, cut or pasted.
    bool CanCopy() const { return false; }
    bool CanCut() const { return false; }
    bool CanPaste() const { return false; }
    bool Copy() { return false; }
    bool Cut() { return false; }
    bool Paste() { return false; }

    CGXHotSpotButton* GetButton() const { return m_pButton; }

private:
    // The bound cell's object variant; empty when the cell holds none.
    GXVariant CellObject();
    bool ClearObject();

    CGXViewerManager m_viewers;
    CGXGenericViewerImpl* m_pViewer = nullptr;  // the open one, owned by m_viewers
    CGXHotSpotButton* m_pButton;                // owned by the child list
    bool m_bSavedViewerOpen = false;
};
