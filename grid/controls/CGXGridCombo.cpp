#include "grid/controls/CGXGridCombo.h"

#include "framework/drawing/PaintContext.h"
#include "framework/window/SystemMetrics.h"
#include "grid/controls/GXTabbedRow.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/GXColor.h"
#include "grid/core/GXLibraryState.h"

#include <algorithm>

// --- list --------------------------------------------------------------------------------------

bool CGXComboListBox::Create(fw::Window* parent, const fw::Rect& rect, fw::UINT id) {
    setFocusPolicy(Qt::NoFocus);
    return fw::Window::Create(parent, rect, id, fw::WS_CHILD | fw::WS_VISIBLE | fw::WS_VSCROLL);
}

void CGXComboListBox::ResetContent() {
    items_.clear();
    sel_ = -1;
    top_ = 0;
    UpdateScrollBar();
    Invalidate();
}

int CGXComboListBox::AddString(std::string_view text) {
    items_.emplace_back(text);
    UpdateScrollBar();
    Invalidate();
    return GetCount() - 1;
}

int CGXComboListBox::VisibleCount() const {
    return std::max(1, GetClientRect().Height() / std::max(1, itemHeight_));
}

void CGXComboListBox::SetCurSel(int index) {
    sel_ = (index >= 0 && index < GetCount()) ? index : -1;
    if (sel_ >= 0) {
        if (sel_ < top_)
            SetTopIndex(sel_);
        else if (sel_ >= top_ + VisibleCount())
            SetTopIndex(sel_ - VisibleCount() + 1);
    }
    Invalidate();
}

void CGXComboListBox::SetTopIndex(int index) {
    top_ = std::clamp(index, 0, std::max(0, GetCount() - VisibleCount()));
    UpdateScrollBar();
    Invalidate();
}

void CGXComboListBox::SetItemHeight(int height) {
    itemHeight_ = std::max(1, height);
    UpdateScrollBar();
    Invalidate();
}

void CGXComboListBox::SetColors(COLORREF text, COLORREF background) {
    text_ = text;
    background_ = background;
    Invalidate();
}

bool CGXComboListBox::MoveByKey(unsigned vk) {
    if (items_.empty())
        return false;
    int to = sel_;
    switch (vk) {
        case fw::VK_UP:
            to = sel_ <= 0 ? 0 : sel_ - 1;
            break;
        case fw::VK_DOWN:
            to = sel_ < 0 ? 0 : std::min(GetCount() - 1, sel_ + 1);
            break;
        case fw::VK_PRIOR:
            to = std::max(0, sel_ - VisibleCount());
            break;
        case fw::VK_NEXT:
            to = std::min(GetCount() - 1, std::max(0, sel_) + VisibleCount());
            break;
        case fw::VK_HOME:
            to = 0;
            break;
        case fw::VK_END:
            to = GetCount() - 1;
            break;
        default:
            return false;
    }
    SetCurSel(to);
    return true;
}

int CGXComboListBox::ItemFromPoint(fw::Point p) const {
    if (!GetClientRect().Contains(p))
        return -1;
    const int i = top_ + p.y / std::max(1, itemHeight_);
    return i < GetCount() ? i : -1;
}

fw::Rect CGXComboListBox::ItemRect(int index) const {
    const fw::Rect c = GetClientRect();
    const int y = (index - top_) * itemHeight_;
    return {c.left, y, c.right, y + itemHeight_};
}

void CGXComboListBox::UpdateScrollBar() {
    if (!IsCreated())
        return;
    fw::ScrollInfo info;
    info.mask = fw::SIF_RANGE | fw::SIF_PAGE | fw::SIF_POS;
    info.min = 0;
    info.max = std::max(0, GetCount() - 1);
    info.page = static_cast<unsigned>(VisibleCount());
    info.pos = top_;
    SetScrollInfo(fw::SB_VERT, info);
    ShowScrollBar(fw::SB_VERT, GetCount() > VisibleCount());
}

void CGXComboListBox::OnSize(fw::UINT, int, int) {
    UpdateScrollBar();
}

void CGXComboListBox::OnPaint() {
    fw::PaintContext dc(*this);
    const fw::Rect client = GetClientRect();
    dc.FillSolidRect(client, background_);
    if (font_.height != 0)
        dc.SelectFont(font_);
    const COLORREF highlight = GXGetSysColor(fw::COLOR_HIGHLIGHT) & 0xFFFFFFu;
    const COLORREF highlightText = GXGetSysColor(fw::COLOR_HIGHLIGHTTEXT) & 0xFFFFFFu;
    for (int i = top_; i < GetCount(); ++i) {
        const fw::Rect r = ItemRect(i);
        if (r.top >= client.bottom)
            break;
        const bool selected = i == sel_;
        if (drawItem_) {
            drawItem_(dc, r, i, selected);
            continue;
        }
        dc.FillSolidRect(r, selected ? highlight : background_);
        dc.SetTextColor(selected ? highlightText : text_);
        dc.SetBkMode(fw::TRANSPARENT);
        fw::Rect t{r.left + 2, r.top, r.right, r.bottom};
        dc.DrawText(items_[static_cast<std::size_t>(i)], t,
                    fw::DT_VCENTER | fw::DT_SINGLELINE | fw::DT_NOPREFIX);
    }
    dc.FrameRect(client, fw::Brush::Solid(0x000000));  // the list's border
}

void CGXComboListBox::OnLButtonDown(fw::UINT, fw::Point p) {
    buttonDown_ = true;
    SetCapture();
    const int i = ItemFromPoint(p);
    if (i >= 0)
        SetCurSel(i);
}

void CGXComboListBox::OnMouseMove(fw::UINT flags, fw::Point p) {
    if (!(flags & fw::MK_LBUTTON) || !buttonDown_)
        return;
    const int i = ItemFromPoint(p);
    if (i >= 0 && i != sel_)
        SetCurSel(i);
}

void CGXComboListBox::OnLButtonUp(fw::UINT, fw::Point p) {
    ReleaseCapture();
    const bool wasDown = buttonDown_;
    buttonDown_ = false;
    const int i = ItemFromPoint(p);
    if (wasDown && i >= 0 && i == sel_ && onAccept)
        onAccept(i);
}

void CGXComboListBox::OnVScroll(fw::UINT code, fw::UINT pos) {
    switch (code) {
        case fw::SB_LINEUP:
            SetTopIndex(top_ - 1);
            break;
        case fw::SB_LINEDOWN:
            SetTopIndex(top_ + 1);
            break;
        case fw::SB_PAGEUP:
            SetTopIndex(top_ - VisibleCount());
            break;
        case fw::SB_PAGEDOWN:
            SetTopIndex(top_ + VisibleCount());
            break;
        case fw::SB_THUMBTRACK:
        case fw::SB_THUMBPOSITION:
            SetTopIndex(static_cast<int>(pos));
            break;
        default:
            break;
    }
}

bool CGXComboListBox::OnMouseWheel(fw::UINT, int delta, fw::Point) {
    SetTopIndex(top_ - delta * 3);
    return true;
}

// --- title bar ---------------------------------------------------------------------------------

bool CGXTabbedLBoxHeader::Create(fw::Window* parent, const fw::Rect& rect) {
    setFocusPolicy(Qt::NoFocus);
    return fw::Window::Create(parent, rect, 0, fw::WS_CHILD | fw::WS_VISIBLE);
}

void CGXTabbedLBoxHeader::SetTitles(std::string titles, int keyColumn, std::vector<int> edges) {
    titles_ = std::move(titles);
    keyColumn_ = keyColumn;
    edges_ = std::move(edges);
    Invalidate();
}

void CGXTabbedLBoxHeader::OnPaint() {
    fw::PaintContext dc(*this);
    const fw::Rect client = GetClientRect();
    const COLORREF face = GXGetSysColor(fw::COLOR_BTNFACE) & 0xFFFFFFu;
    dc.FillSolidRect(client, face);
    dc.SetBkColor(face);
    dc.SetTextColor(GXGetSysColor(fw::COLOR_BTNTEXT) & 0xFFFFFFu);
    dc.SetBkMode(fw::TRANSPARENT);
    if (font_.height != 0)
        dc.SelectFont(font_);
    std::vector<std::string_view> titles = GXSplitTabFields(titles_);
    const bool widths = !edges_.empty();
    if (widths && keyColumn_ > 0 && !titles.empty())
        titles.erase(titles.begin());
    int left = client.left;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const int right =
            (widths && i < edges_.size()) ? client.left + edges_[i] - 1 : client.right;
        fw::Rect cell{left, client.top, right, client.bottom};
        fw::Rect edge = cell;
        dc.DrawEdge(edge, fw::BDR_RAISEDINNER, fw::BF_RECT);
        const std::string_view rest = std::string_view(titles_).substr(
            static_cast<std::size_t>(titles[i].data() - titles_.data()));
        fw::Rect inset{cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1};
        if (!(rest.substr(0, 4) == "#BMP" &&
              GXGetDIBPool().DrawDIB(dc, rest, inset, fw::DT_CENTER | fw::DT_VCENTER)))
            dc.DrawText(titles[i], cell,
                        fw::DT_CENTER | fw::DT_VCENTER | fw::DT_SINGLELINE | fw::DT_NOPREFIX);
        left = right + 1;
        if (!widths || i >= edges_.size())
            break;  // without widths one title spans the bar; past the widths nothing more
    }
}

// --- pop-up ------------------------------------------------------------------------------------

bool CGXGridCombo::Create(fw::Window* owner) {
    return CreatePopup(owner, {0, 0, 1, 1}, 0);
}

void CGXGridCombo::SetListWnd(std::unique_ptr<fw::Window> list) {
    list_ = std::move(list);
    Layout();
}

CGXTabbedLBoxHeader* CGXGridCombo::ShowHeader(int height) {
    headerHeight_ = std::max(0, height);
    if (headerHeight_ > 0 && !header_) {
        header_ = std::make_unique<CGXTabbedLBoxHeader>();
        header_->Create(this, {0, 0, 1, 1});
    }
    if (header_)
        header_->ShowWindow(headerHeight_ > 0 ? fw::SW_SHOW : fw::SW_HIDE);
    Layout();
    return header_.get();
}

void CGXGridCombo::SetColors(COLORREF text, COLORREF background) {
    customColors_ = true;
    text_ = text;
    background_ = background;
    if (auto* list = dynamic_cast<CGXComboListBox*>(list_.get()))
        list->SetColors(text, background);
}

void CGXGridCombo::Open(const fw::Rect& screenRect) {
    GXSetActivationSuppressed(true);
    ShowAt(screenRect);
    Layout();
    GXSetActivationSuppressed(false);
}

void CGXGridCombo::Close() {
    GXSetActivationSuppressed(true);
    ShowWindow(fw::SW_HIDE);
    GXSetActivationSuppressed(false);
}

void CGXGridCombo::OnDismiss(DismissReason reason) {
    if (onDismiss)
        onDismiss(reason);  // the control closes the pop-up its own way
    else
        Close();
}

void CGXGridCombo::OnSize(fw::UINT, int, int) {
    Layout();
}

void CGXGridCombo::Layout() {
    const fw::Rect c = GetClientRect();
    const int h = header_ && headerHeight_ > 0 ? headerHeight_ : 0;
    if (header_ && h > 0)
        header_->MoveWindow({c.left, c.top, c.right, c.top + h});
    if (list_)
        list_->MoveWindow({c.left, c.top + h, c.right, c.bottom});
}

fw::LRESULT CGXGridCombo::WindowProc(fw::Message& msg) {
    // Commands of the hosted list are the owner's business.
    if (msg.id == fw::WM_COMMAND && list_ && Owner() &&
        static_cast<fw::LPARAM>(list_->Handle().value) == msg.lParam)
        return Owner()->SendMessage(fw::WM_COMMAND, msg.wParam, msg.lParam);
    return fw::PopupWindow::WindowProc(msg);
}

std::string GXGetGridComboClassName() {
    return GXGetLibraryState().m_strPopupClass;
}
