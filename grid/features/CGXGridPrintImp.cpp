#include "grid/features/CGXGridPrintImp.h"

#include "framework/app/Application.h"
#include "framework/base/AppName.h"
#include "framework/docview/Document.h"
#include "framework/printing/Printing.h"
#include "framework/window/Window.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXProperties.h"

#include <algorithm>

namespace {

constexpr ROWCOL kHeaderFooterRows = 10;
constexpr int kHeaderFooterInset = 8;

// Shows the wait cursor for a scope.
struct WaitCursor {
    WaitCursor() { fw::BeginWaitCursor(); }
    ~WaitCursor() { fw::EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The printer's whole printable area in the grid's logical units.
fw::Rect PageRect(fw::DeviceContext& dc) {
    fw::Rect page =
        dc.DPtoLP(fw::Rect{0, 0, dc.GetDeviceCaps(fw::HORZRES), dc.GetDeviceCaps(fw::VERTRES)});
    page.Normalize();
    return page;
}

// The row (column) under the print rectangle's bottom (right) edge; one past the last when the
// edge lies beyond it.
ROWCOL UnderEdge(CGXGridCore& grid, bool rows) {
    const fw::Rect r = grid.GetGridRect();
    if (rows) {
        const ROWCOL cr = grid.CalcClientRowFromPt({r.left, r.bottom});
        return cr == GX_INVALID ? grid.GetRowCount() + 1 : grid.GetRowFromClientRow(cr);
    }
    const ROWCOL cc = grid.CalcClientColFromPt({r.right, r.top});
    return cc == GX_INVALID ? grid.GetColCount() + 1 : grid.GetColFromClientCol(cc);
}

void SetPrintOrigin(CGXGridCore& grid, bool rows, ROWCOL index) {
    if (rows)
        grid.SetTopRow(index, 0, false);
    else
        grid.SetLeftCol(index, 0, false);
}

// The page (index into the breaks) that holds `index`; 0 when none does.
std::size_t PageOf(const std::vector<ROWCOL>& breaks, ROWCOL index) {
    for (std::size_t k = 0; k + 1 < breaks.size(); ++k)
        if (breaks[k] <= index && index < breaks[k + 1])
            return k;
    return 0;
}

std::size_t Pages(const std::vector<ROWCOL>& breaks) {
    return breaks.size() < 2 ? 0 : breaks.size() - 1;
}

// Page row and page column of a page number, by the page order.
void PageIndices(CGXGridCore& grid, unsigned page, std::size_t& pageRow, std::size_t& pageCol) {
    const std::size_t rowPages = Pages(grid.m_awRowBreaks);
    const std::size_t colPages = Pages(grid.m_awColBreaks);
    const CGXProperties* props = grid.GetProperties();
    const std::size_t n = page > 0 ? page - 1 : 0;
    if (props && props->m_nPageOrder != 0) {
        pageRow = n % rowPages;
        pageCol = std::min(n / rowPages, colPages - 1);
    } else {
        pageRow = std::min(n / colPages, rowPages - 1);
        pageCol = n % colPages;
    }
}

std::string FormatNumber(long long n) {
    return std::to_string(n);
}

void CopyBreaks(std::vector<std::uint32_t>& to, const std::vector<ROWCOL>& from) {
    to.assign(from.begin(), from.end());
}

// The screen's top-left cell's page in preview, by the page order.
unsigned PreviewPage(CGXGridCore& grid, std::size_t pageRow, std::size_t pageCol) {
    const std::size_t rowPages = Pages(grid.m_awRowBreaks);
    const std::size_t colPages = Pages(grid.m_awColBreaks);
    const CGXProperties* props = grid.GetProperties();
    if (props && props->m_nPageOrder != 0)
        return static_cast<unsigned>(rowPages * pageCol + pageRow + 1);
    return static_cast<unsigned>(colPages * pageRow + pageCol + 1);
}

// The style of one header or footer line completed from the standard style; false when the
// line holds no text.
bool LineStyle(CGXGridCore& grid, const CGXData& data, ROWCOL row, ROWCOL col, CGXStyle& out) {
    CGXStyle cell;
    if (!data.GetStyleAt(row, col, cell, gxCopy, 0) || !cell.GetIncludeValue() ||
        cell.GetValue().empty())
        return false;
    out = grid.GetStandardStyle();
    out.ChangeStyle(cell, gxOverride);
    return true;
}

}  // namespace

std::vector<ROWCOL> GXCalcPageBreaks(CGXGridCore& grid, bool rows, ROWCOL first, ROWCOL last) {
    std::vector<ROWCOL> breaks{first};
    ROWCOL current = first;
    for (;;) {
        SetPrintOrigin(grid, rows, current);
        // Every page holds at least one row (column), however large it is.
        const ROWCOL next = std::max(UnderEdge(grid, rows), current + 1);
        if (next > last) {
            breaks.push_back(last + 1);
            return breaks;
        }
        breaks.push_back(next);
        current = next;
    }
}

bool CGXGridPrintImp::OnGridBeginPrinting(CGXGridCore* grid, fw::DeviceContext* dc,
                                          fw::PrintInfo* info) {
    WaitCursor wait;
    grid->OnGridPrepareDC(dc, true);
    grid->m_awColBreaks.clear();
    grid->m_awRowBreaks.clear();
    const ROWCOL screenTop = grid->GetTopRow();
    const ROWCOL screenLeft = grid->GetLeftCol();
    grid->SetPrinting(true);
    const fw::LogFont oldFont = dc->GetCurrentFont();
    try {
        const CGXStyle& standard = grid->GetStandardStyle();
        if (standard.GetIncludeFont())
            grid->SelectZoomedFont(dc, standard.GetFont());
        info->drawRect = PageRect(*dc);
        grid->OnAdjustPrintRect(dc, info);
        grid->SetPrinting(true, info->drawRect);

        const ROWCOL rowCount = grid->GetRowCount(), colCount = grid->GetColCount();
        const ROWCOL firstRow = grid->GetFrozenRows() + 1, firstCol = grid->GetFrozenCols() + 1;
        CGXGridParam* param = grid->GetParam();
        const bool anySelected = param && !param->m_SelRects.IsEmpty();
        if (info->printSelection && !anySelected) {
            // What the screen shows, as one page.
            grid->m_nPrintRangeKind = 2;
            for (bool rows : {false, true}) {
                const ROWCOL origin = rows ? screenTop : screenLeft;
                SetPrintOrigin(*grid, rows, origin);
                const ROWCOL end = std::max(UnderEdge(*grid, rows), origin + 1);
                (rows ? grid->m_awRowBreaks : grid->m_awColBreaks) = {origin, end};
            }
        } else {
            CGXRange range;
            if (info->printSelection) {
                grid->m_nPrintRangeKind = 1;
                range = param->m_SelRects.GetTail();
            } else {
                grid->m_nPrintRangeKind = 0;
                range.SetTable();
            }
            range.ResolveToCells(firstRow, firstCol, rowCount, colCount);
            grid->m_awColBreaks = GXCalcPageBreaks(*grid, false, std::max(range.left, firstCol),
                                                   std::min(range.right, colCount));
            grid->m_awRowBreaks = GXCalcPageBreaks(*grid, true, std::max(range.top, firstRow),
                                                   std::min(range.bottom, rowCount));
        }
        if (CGXProperties* props = grid->GetProperties()) {
            CopyBreaks(props->m_awColBreaks, grid->m_awColBreaks);
            CopyBreaks(props->m_awRowBreaks, grid->m_awRowBreaks);
        }
        const auto pages =
            static_cast<unsigned>(Pages(grid->m_awColBreaks) * Pages(grid->m_awRowBreaks));
        info->SetMaxPage(pages);
        info->pageDesc += " / " + FormatNumber(pages);
        if (info->preview)
            info->currentPage = PreviewPage(*grid, PageOf(grid->m_awRowBreaks, screenTop),
                                            PageOf(grid->m_awColBreaks, screenLeft));
    } catch (...) {
        dc->SelectFont(oldFont);
        grid->SetPrinting(false);
        throw;
    }
    return true;
}

void CGXGridPrintImp::OnGridPrint(CGXGridCore* grid, fw::DeviceContext* dc, fw::PrintInfo* info) {
    if (Pages(grid->m_awColBreaks) == 0 || Pages(grid->m_awRowBreaks) == 0)
        return;
    grid->OnGridPrepareDC(dc, true);
    const fw::LogFont oldFont = dc->GetCurrentFont();
    try {
        const CGXStyle& standard = grid->GetStandardStyle();
        if (standard.GetIncludeFont())
            grid->SelectZoomedFont(dc, standard.GetFont());
        info->drawRect = PageRect(*dc);
        grid->OnAdjustPrintRect(dc, info);
        grid->SetPrinting(true, info->drawRect);

        // Rows or columns added since the pagination get pages of their own.
        if (grid->m_nPrintRangeKind == 0) {
            for (bool rows : {true, false}) {
                auto& breaks = rows ? grid->m_awRowBreaks : grid->m_awColBreaks;
                const ROWCOL count = rows ? grid->GetRowCount() : grid->GetColCount();
                if (count + 1 > breaks.back()) {
                    const ROWCOL from = breaks[breaks.size() - 2];
                    breaks.resize(breaks.size() - 2);
                    for (ROWCOL b : GXCalcPageBreaks(*grid, rows, from, count)) breaks.push_back(b);
                }
            }
            info->SetMaxPage(
                static_cast<unsigned>(Pages(grid->m_awColBreaks) * Pages(grid->m_awRowBreaks)));
        }
        std::size_t pageRow = 0, pageCol = 0;
        PageIndices(*grid, info->currentPage, pageRow, pageCol);
        grid->SetTopRow(grid->m_awRowBreaks[pageRow], 0, false);
        grid->SetLeftCol(grid->m_awColBreaks[pageCol], 0, false);
        const ROWCOL lastRow = std::min(grid->m_awRowBreaks[pageRow + 1] - 1, grid->GetRowCount());
        const ROWCOL lastCol = std::min(grid->m_awColBreaks[pageCol + 1] - 1, grid->GetColCount());

        // The printed block: header and frozen rows and columns, then the page's own.
        const ROWCOL lastClientRow = lastRow >= grid->m_awRowBreaks[pageRow]
                                         ? grid->GetClientRow(lastRow)
                                         : grid->GetFrozenRows();
        const ROWCOL lastClientCol = lastCol >= grid->m_awColBreaks[pageCol]
                                         ? grid->GetClientCol(lastCol)
                                         : grid->GetFrozenCols();
        fw::Rect rect = info->drawRect;
        const int height =
            std::min(grid->CalcSumOfClientRowHeights(0, lastClientRow), rect.Height());
        const int width = std::min(grid->CalcSumOfClientColWidths(0, lastClientCol), rect.Width());
        const CGXProperties* props = grid->GetProperties();
        if (props && props->m_bCenterHorizontal)
            rect.left += (rect.Width() - width) / 2;
        if (props && props->m_bCenterVertical)
            rect.top += (rect.Height() - height) / 2;
        rect.right = rect.left + width;
        rect.bottom = rect.top + height;
        grid->SetPrinting(true, rect);

        grid->OnPrintHeaderAndFooter(dc, info);
        if (props && props->m_bPrintFrame) {
            // Two units thick, on the printed area's edges.
            const fw::ColorRef black = fw::Rgb(0, 0, 0);
            dc->FillSolidRect({rect.left - 1, rect.top - 1, rect.right + 1, rect.top + 1}, black);
            dc->FillSolidRect({rect.left - 1, rect.bottom - 1, rect.right + 1, rect.bottom + 1},
                              black);
            dc->FillSolidRect({rect.left - 1, rect.top - 1, rect.left + 1, rect.bottom + 1}, black);
            dc->FillSolidRect({rect.right - 1, rect.top - 1, rect.right + 1, rect.bottom + 1},
                              black);
        }
        const int saved = dc->SaveDC();
        dc->IntersectClipRect(rect);
        grid->OnGridDrawRange(0, 0, lastRow, lastCol, dc);
        dc->RestoreDC(saved);

        info->continuePrinting = !(pageRow + 1 == Pages(grid->m_awRowBreaks) &&
                                   pageCol + 1 == Pages(grid->m_awColBreaks));
    } catch (...) {
        dc->SelectFont(oldFont);
        throw;
    }
    dc->SelectFont(oldFont);
}

void CGXGridPrintImp::OnGridEndPrinting(CGXGridCore* grid, fw::DeviceContext*, fw::PrintInfo*) {
    grid->SetPrinting(false);
    if (fw::Window* wnd = grid->GridWnd())
        wnd->Invalidate();
}

void CGXGridPrintImp::PrintHeaderAndFooter(CGXGridCore* grid, fw::DeviceContext* dc,
                                           fw::PrintInfo* info, fw::Document* doc,
                                           CGXGridParam* param) {
    CGXProperties* props = grid->GetProperties();
    if (!props)
        return;
    props->SetTokenValue(GX_TOKEN_FILE, doc ? doc->GetTitle() : std::string());
    props->SetTokenValue(GX_TOKEN_APP, fw::ApplicationName());
    const long long page = props->m_nFirstPage == -1 ? static_cast<long long>(info->currentPage)
                                                     : static_cast<long long>(props->m_nFirstPage) +
                                                           info->currentPage - info->minPage;
    props->SetTokenValue(GX_TOKEN_PAGE, FormatNumber(page));
    props->SetTokenValue(GX_TOKEN_PAGES, FormatNumber(info->maxPage));
    props->SetTokenValue(GX_TOKEN_REGISTER, param ? param->m_sSheetName : std::string());

    const fw::Rect page_ = PageRect(*dc);
    if (props->m_pHeader) {
        const fw::Rect r{page_.left, page_.top + props->m_nHeaderDistance, page_.right,
                         info->drawRect.top};
        DrawHeaderFooter(grid, dc, info, r, *props->m_pHeader);
    }
    if (props->m_pFooter) {
        const int bottom = page_.bottom - props->m_nFooterDistance;
        const int top = std::max(bottom - CalcHeaderFooterHeight(grid, dc, *props->m_pFooter),
                                 info->drawRect.bottom);
        DrawHeaderFooter(grid, dc, info, {page_.left, top, page_.right, bottom}, *props->m_pFooter);
    }
}

int CGXGridPrintImp::CalcHeaderFooterHeight(CGXGridCore* grid, fw::DeviceContext* dc,
                                            const CGXData& data) {
    const fw::LogFont oldFont = dc->GetCurrentFont();
    int height = 0;
    const ROWCOL rows = std::min(data.GetRowCount(), kHeaderFooterRows);
    for (ROWCOL col = 1; col <= 3; ++col) {
        int sum = 0;
        for (ROWCOL row = 1; row <= rows; ++row) {
            CGXStyle style;
            if (!LineStyle(*grid, data, row, col, style))
                continue;
            grid->SelectZoomedFont(dc, style.GetFont());
            sum += dc->GetTextExtent("X").cy;
        }
        height = std::max(height, sum);
    }
    dc->SelectFont(oldFont);
    return height;
}

void CGXGridPrintImp::DrawHeaderFooter(CGXGridCore* grid, fw::DeviceContext* dc, fw::PrintInfo*,
                                       const fw::Rect& rect, const CGXData& data) {
    static constexpr unsigned kAlign[3] = {fw::DT_LEFT, fw::DT_CENTER, fw::DT_RIGHT};
    const fw::LogFont oldFont = dc->GetCurrentFont();
    const int oldMode = dc->SetBkMode(fw::TRANSPARENT);
    const fw::ColorRef oldColor = dc->SetTextColor(fw::Rgb(0, 0, 0));
    const ROWCOL rows = std::min(data.GetRowCount(), kHeaderFooterRows);
    for (ROWCOL col = 1; col <= 3; ++col) {
        int y = rect.top;
        for (ROWCOL row = 1; row <= rows; ++row) {
            CGXStyle style;
            if (!LineStyle(*grid, data, row, col, style))
                continue;
            grid->SelectZoomedFont(dc, style.GetFont());
            const int h = dc->GetTextExtent("X").cy;
            fw::Rect line{rect.left + kHeaderFooterInset, y, rect.right - kHeaderFooterInset,
                          y + h};
            dc->DrawText(SubstTokenText(grid, style.GetValue()), line,
                         kAlign[col - 1] | fw::DT_TOP | fw::DT_SINGLELINE | fw::DT_NOPREFIX);
            y += h;
        }
    }
    dc->SetTextColor(oldColor);
    dc->SetBkMode(oldMode);
    dc->SelectFont(oldFont);
}

// The tokens and their values live in the properties, which replace them.
std::string CGXGridPrintImp::SubstTokenText(CGXGridCore* grid, std::string_view text) {
    CGXProperties* props = grid->GetProperties();
    return props ? props->SubstTokenText(text) : std::string(text);
}

std::string CGXGridPrintImp::GetTokenValue(CGXGridCore* grid, std::size_t index,
                                           std::string& rest) {
    CGXProperties* props = grid->GetProperties();
    return props ? props->GetTokenValue(index, rest) : std::string();
}

std::string CGXGridPrintImp::GetTokenArg(CGXGridCore*, std::string& rest) {
    return CGXProperties::GetTokenArg(rest);
}

void CGXGridCore::InstallPrintImp() {
    if (GetFeatureSlot(2))
        return;
    SetFeatureSlot(2, AddOwnedObject(std::make_unique<CGXGridPrintImp>()));
}
