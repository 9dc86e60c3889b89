#include "grid/controls/CGXHeader.h"

#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/GXColor.h"
#include "grid/core/GXDrawHelpers.h"

const CGXControlClassInfo CGXHeader::kClassInfo{"CGXHeader", &CGXStatic::kClassInfo};
const CGXControlClassInfo CGXDaoBitmap::kClassInfo{"CGXDaoBitmap", &CGXStatic::kClassInfo};

namespace {

unsigned TextFormat(const CGXStyle& style) {
    unsigned format =
        style.GetHorizontalAlignment() | style.GetVerticalAlignment() | fw::DT_NOPREFIX;
    format |= style.GetWrapText() ? fw::DT_WORDBREAK : fw::DT_SINGLELINE;
    return format;
}

}  // namespace

void CGXHeader::DrawFrame(fw::DeviceContext& dc, const fw::Rect& rect) {
    dc.DrawFocusRect(rect);
}

bool CGXHeader::GetMarkHeaderState(ROWCOL row, ROWCOL col, unsigned) {
    return m_pGrid && m_pGrid->IsMarkedHeaderCell(row, col);
}

void CGXHeader::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                     const CGXStyle& style, const CGXStyle* standardStyle) {
    const fw::Rect inner = GetCellRect(row, col, &rect, &style);
    if (inner.Width() <= 1 || inner.Height() <= 1)
        return;
    const bool flat = GetMarkHeaderState(row, col, 0);
    const std::optional<fw::LogFont> oldFont = m_pGrid->LoadFont(&dc, style, standardStyle);
    const CGXProperties* props = m_pGrid->GetProperties();
    const bool blackWhite = m_pGrid->IsPrinting() && props && props->GetBlackWhite();
    const COLORREF oldText = dc.SetTextColor(blackWhite ? 0 : style.GetTextColor() & 0xFFFFFFu);
    DrawBackground(dc, rect, style, false);  // the grid filled the cell
    const fw::Rect frame = m_pGrid->GetCellRectInset(rect, style, true);
    const bool ownFrame = style.GetIncludeDraw3dFrame() &&
                          (style.GetDraw3dFrame() == 1 || style.GetDraw3dFrame() == 2);
    if (!ownFrame && props && props->Get3dButtons() && !m_pGrid->IsPrinting()) {
        const COLORREF light = GXGetSysColor(fw::COLOR_BTNHIGHLIGHT) & 0xFFFFFFu;
        const COLORREF dark = 0x000000;
        if (flat) {
            dc.FillSolidRect({frame.left, frame.bottom - 1, frame.right - 1, frame.bottom}, dark);
            dc.FillSolidRect({frame.right - 1, frame.top, frame.right, frame.bottom}, dark);
        } else {
            dc.Draw3dRect({frame.left, frame.top, frame.right - 1, frame.bottom - 1}, light, dark);
        }
    }
    std::string text;
    GetControlText(text, row, col, nullptr, style);
    if (!text.empty()) {
        const int oldMode = dc.SetBkMode(fw::TRANSPARENT);
        auto& drawing = CGXDrawingAndFormatting::GetInstance();
        const unsigned format = TextFormat(style);
        const bool bitmap = GXGetDIBPool().DrawDIB(dc, text, inner, format & 0x0F);
        if (bitmap) {
            // the pool drew the bitmap the text names
        } else if (style.GetIncludeFont() && style.GetFont().GetOrientation() != 0) {
            drawing.DrawRotatedText(dc, text, inner, style, format);
        } else {
            const int ellipsis =
                static_cast<int>(style.GetUserAttribute(GX_IDS_UA_ELLIPSISTYPE).GetLongValue());
            drawing.DrawCellText(dc, text, inner, format, nullptr, &inner, ellipsis);
        }
        dc.SetBkMode(oldMode);
    }
    CGXControl::Draw(dc, rect, row, col, style, standardStyle);
    dc.SetTextColor(oldText);
    if (oldFont)
        dc.SelectFont(*oldFont);
}

void CGXDaoBitmap::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                        const CGXStyle& style, const CGXStyle* standardStyle) {
    auto* cache = dynamic_cast<CGXBrowserBitmapCache*>(m_pGrid);
    const auto* picture =
        dynamic_cast<const CGXOleVarUserAttribute*>(&style.GetUserAttribute(GX_IDS_UA_DAOBITMAP));
    // Only a record-browsing grid keeps the decoded pictures; elsewhere the cell is text.
    if (!cache || !picture || !picture->GetVariant()) {
        CGXStatic::Draw(dc, rect, row, col, style, standardStyle);
        return;
    }
    DrawBackground(dc, rect, style, false);  // the grid filled the cell
    if (rect.Width() <= 1 || rect.Height() <= 1)
        return;
    const fw::Rect inner = GetCellRect(row, col, &rect, &style);
    const unsigned alignment = style.GetHorizontalAlignment() | style.GetVerticalAlignment();
    std::optional<fw::Dib> drawn = GXDrawVariantDIB(dc, *picture->GetVariant(), inner, alignment,
                                                    gxDibUnscaled, cache->GetCellBitmap(row, col));
    if (drawn)
        cache->TakeCellBitmap(row, col, std::move(*drawn));
    CGXControl::Draw(dc, rect, row, col, style, standardStyle);
}
