#include "grid/extras/CGXOlePreview.h"

#include "framework/window/VirtualKeys.h"
#include "framework/window/Window.h"
#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"

#include <algorithm>

namespace {

bool viewerOpen = false;

}  // namespace

bool GXIsOleViewerOpen() {
    return viewerOpen;
}

const CGXControlClassInfo CGXOlePreview::kClassInfo{"CGXOlePreview", &CGXStatic::kClassInfo};

CGXOlePreview::CGXOlePreview(CGXGridCore* grid)
    : CGXStatic(grid),
      m_pButton(
          static_cast<CGXHotSpotButton*>(AddChild(std::make_unique<CGXHotSpotButton>(this)))) {}

CGXOlePreview::~CGXOlePreview() {
    CloseViewer();
}

void CGXOlePreview::Init(ROWCOL row, ROWCOL col) {
    CGXStatic::Init(row, col);
    if (fw::Window* wnd = m_pGrid->GridWnd()) {
        OnInitChildren(row, col, GetCellRect(row, col));
        wnd->InvalidateRect(m_pButton->GetRect(), true);
    }
    Refresh();
}

fw::Rect CGXOlePreview::GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect,
                                    const CGXStyle* style) {
    fw::Rect r = CGXStatic::GetCellRect(row, col, rect, style);
    r.right = std::max(r.left, r.right - kButtonWidth - 1);  // the button starts 14 left
    return r;
}

fw::Size CGXOlePreview::AddBorders(fw::Size size, const CGXStyle& style) {
    size.cx += kButtonWidth;
    return CGXStatic::AddBorders(size, style);
}

void CGXOlePreview::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                         const CGXStyle& style, const CGXStyle* standardStyle) {
    CGXStatic::Draw(dc, rect, row, col, style, standardStyle);
    DrawChildren(dc, rect, row, col, style);
}

void CGXOlePreview::OnInitChildren(ROWCOL row, ROWCOL col, const fw::Rect&) {
    // The button lies at the top right of the whole inner cell, right of the text rectangle.
    const fw::Rect rect = CGXStatic::GetCellRect(row, col);
    fw::Rect b{rect.right - 14, rect.top, rect.right - 1, rect.top + 13};
    b.left = std::max(b.left, rect.left);
    b.bottom = std::min(b.bottom, rect.bottom);
    if (b.Height() < rect.Height() - 1)
        b.Offset(0, 1);
    m_pButton->SetRect(b);
}

GXVariant CGXOlePreview::CellObject() {
    if (!m_bInit)
        return {};
    const auto* attr = dynamic_cast<const CGXOleVarUserAttribute*>(
        &GetStyle().GetUserAttribute(GX_IDS_UA_OLEOBJECT));
    return attr && attr->GetVariant() ? *attr->GetVariant() : GXVariant();
}

CGXGenericViewerImpl* CGXOlePreview::GetViewer() {
    auto* browser = dynamic_cast<CGXOleBrowsingGrid*>(m_pGrid);
    if (!browser || !m_bInit)
        return nullptr;
    // One viewer per field of the record; cells without a field number share key -1.
    const CGXAbstractUserAttribute& field = GetStyle().GetUserAttribute(GX_IDS_UA_OLEFIELD);
    const auto key = static_cast<std::uint32_t>(field.IsEmpty() ? -1 : field.GetLongValue());
    CGXGenericViewerImpl& viewer = m_viewers.GetViewer(key);
    browser->PrepareOleViewer(viewer, m_nRow, m_nCol);
    return &viewer;
}

CGXGenericViewerImpl* CGXOlePreview::GetOpenViewer() const {
    return m_pViewer && m_pViewer->IsOpen() ? m_pViewer : nullptr;
}

void CGXOlePreview::OnClickedButton(CGXChild*) {
    if (CGXGenericViewerImpl* open = GetOpenViewer()) {
        // A second request: the viewer says so and comes to the front.
        open->Open(CellObject(), m_pGrid->GridWnd());
        return;
    }
    CloseViewer();  // one whose window went away on its own: let go of it and the flag
    CGXGenericViewerImpl* viewer = GetViewer();
    if (!viewer)
        return;
    fw::Window* focus = fw::Window::GetFocus();
    const CGXOleViewer::OpenResult result = viewer->Open(CellObject(), m_pGrid->GridWnd());
    if (result == CGXOleViewer::OpenResult::kOpened) {
        m_pViewer = viewer;
        m_bSavedViewerOpen = viewerOpen;
        viewerOpen = true;
    }
    if (focus)
        focus->SetFocus();
}

void CGXOlePreview::CloseViewer() {
    if (!m_pViewer)
        return;
    m_pViewer->Close();
    m_pViewer = nullptr;
    viewerOpen = m_bSavedViewerOpen;
}

bool CGXOlePreview::ClearObject() {
    if (!m_bInit || IsReadOnly() || CellObject().IsEmpty())
        return false;
    CGXStyle remove;
    remove.SetUserAttributePtr(GX_IDS_UA_OLEOBJECT, GXCreateOleVarUserAttribute());
    return m_pGrid->SetStyleRange(CGXRange(m_nRow, m_nCol), &remove, gxExclude);
}

bool CGXOlePreview::ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) {
    if (message == fw::WM_KEYDOWN && key == fw::VK_DELETE && !fw::IsKeyDown(fw::VK_CONTROL)) {
        CloseViewer();
        return ClearObject();
    }
    return CGXStatic::ProcessKeys(message, key, repeat, flags);
}

bool CGXOlePreview::OnLeftCell(ROWCOL newRow, ROWCOL newCol) {
    // Making the cell current again is no leaving.
    if (newRow != m_nRow || newCol != m_nCol)
        CloseViewer();
    return CGXStatic::OnLeftCell(newRow, newCol);
}

bool CGXOlePreview::OnCancelEditing() {
    CloseViewer();
    return CGXStatic::OnCancelEditing();
}
