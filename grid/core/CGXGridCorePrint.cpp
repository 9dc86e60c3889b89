// Printing in the grid core: the page rectangle less the margins and the forwarders to the print
// feature (slot 2), which paginates and prints the pages.
#include "framework/printing/Printing.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXProperties.h"

bool CGXGridCore::OnGridBeginPrinting(fw::DeviceContext* dc, fw::PrintInfo* info) {
    auto* f = GetPrintImp();
    return f && dc && info && f->OnGridBeginPrinting(this, dc, info);
}

void CGXGridCore::OnGridPrint(fw::DeviceContext* dc, fw::PrintInfo* info) {
    if (auto* f = GetPrintImp(); f && dc && info)
        f->OnGridPrint(this, dc, info);
}

void CGXGridCore::OnGridEndPrinting(fw::DeviceContext* dc, fw::PrintInfo* info) {
    if (auto* f = GetPrintImp(); f && dc && info)
        f->OnGridEndPrinting(this, dc, info);
}

void CGXGridCore::OnAdjustPrintRect(fw::DeviceContext*, fw::PrintInfo* info) {
    const CGXProperties* props = GetProperties();
    if (!info || !props)
        return;
    fw::Rect& r = info->drawRect;
    r.left += props->m_nLeftMargin;
    r.top += props->m_nTopMargin;
    r.right -= props->m_nRightMargin;
    r.bottom -= props->m_nBottomMargin;
    // Margins wider than the paper leave an empty area, never an inverted one.
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
}

void CGXGridCore::OnPrintHeaderAndFooter(fw::DeviceContext* dc, fw::PrintInfo* info) {
    if (auto* f = GetPrintImp(); f && dc && info)
        f->PrintHeaderAndFooter(this, dc, info, GetDocument(), GetParam());
}
