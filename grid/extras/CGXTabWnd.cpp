#include "grid/extras/CGXTabWnd.h"

#include "framework/dialogs/Dialog.h"
#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/PaintContext.h"
#include "framework/window/SystemMetrics.h"
#include "framework/window/VirtualKeys.h"
#include "grid/core/GXLibraryState.h"

#include <QScrollBar>

#include <algorithm>

namespace {
constexpr int kDlgFrame = 3;  // the dialog-frame metric the label popup is sized by
}

// --- shared scroll bars ------------------------------------------------------------------------

CGXTabScrollBar::CGXTabScrollBar(bool vertical) : vertical_(vertical) {}

bool CGXTabScrollBar::Create(fw::Window* parent, unsigned id) {
    if (!fw::Window::Create(parent, {0, 0, 1, 1}, id, fw::WS_CHILD | fw::WS_VISIBLE))
        return false;
    bar_ = new QScrollBar(vertical_ ? Qt::Vertical : Qt::Horizontal, this);
    bar_->setGeometry(0, 0, 1, 1);
    bar_->show();
    connect(bar_, &QScrollBar::valueChanged, this, [this](int v) {
        if (setting_)
            return;
        if (fw::Window* p = GetParentWindow())
            p->SendMessage(vertical_ ? fw::WM_VSCROLL : fw::WM_HSCROLL,
                           fw::MAKEWPARAM(static_cast<int>(fw::SB_THUMBPOSITION), v), 0);
    });
    return true;
}

void CGXTabScrollBar::OnSize(fw::UINT type, int cx, int cy) {
    fw::Window::OnSize(type, cx, cy);
    if (bar_)
        bar_->setGeometry(0, 0, cx, cy);
}

void CGXTabScrollBar::SetInfo(const fw::ScrollInfo& info) {
    setting_ = true;
    bar_->setRange(info.min, std::max(info.min, info.max - static_cast<int>(info.page) + 1));
    bar_->setPageStep(static_cast<int>(info.page));
    bar_->setValue(info.pos);
    bar_->setEnabled(info.max != 0);
    setting_ = false;
}

fw::ScrollInfo CGXTabScrollBar::GetInfo() const {
    fw::ScrollInfo i;
    i.min = bar_->minimum();
    i.page = static_cast<unsigned>(bar_->pageStep());
    i.max = bar_->maximum() + bar_->pageStep() - 1;
    i.pos = bar_->value();
    i.trackPos = bar_->sliderPosition();
    return i;
}

// --- label popup -------------------------------------------------------------------------------

bool CGXEditLabelPopup::OnKeyDown(fw::UINT vk, fw::UINT repeat, fw::UINT flags) {
    if (vk == fw::VK_RETURN || vk == fw::VK_ESCAPE) {
        fw::SendMessage(tabWnd_, vk == fw::VK_RETURN ? kMsgAccept : kMsgCancel);
        return true;
    }
    return fw::Edit::OnKeyDown(vk, repeat, flags);
}

bool CGXEditLabelPopup::OnKeyUp(fw::UINT vk, fw::UINT repeat, fw::UINT flags) {
    if (vk == fw::VK_RETURN || vk == fw::VK_ESCAPE)
        return true;  // swallowed on release too
    return fw::Edit::OnKeyUp(vk, repeat, flags);
}

void CGXEditLabelPopup::OnKillFocus(fw::Window* next) {
    fw::Edit::OnKillFocus(next);
    fw::PostMessage(tabWnd_, kMsgCancel);
}

// --- tab window --------------------------------------------------------------------------------

CGXTabWnd::CGXTabWnd() {
    // Grids inside a tab window leave their scroll bars to it.
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    state.RegisterContainerClass(GXWndClassOf<CGXTabWnd>("CGXTabWnd"));
    if (!state.m_pTabWndInt)
        state.m_pTabWndInt = std::make_unique<CGXTabWndInterfaceImp>();
    vbarWidth_ = fw::GetSystemMetrics(fw::SM_CXVSCROLL);
    hbarHeight_ = fw::GetSystemMetrics(fw::SM_CYHSCROLL);
    bottomRow_ = hbarHeight_ + 2;
}

CGXTabWnd::~CGXTabWnd() {
    if (popup_)
        popup_.release()->deleteLater();
}

bool CGXTabWnd::Create(fw::Window* parent, const fw::Rect& rect, unsigned style, unsigned id) {
    return fw::Window::Create(parent, rect, id, style) && created_;
}

// The children are made here, so that a tab window a dialog makes by its class name has them too.
int CGXTabWnd::OnCreate() {
    const fw::DWORD style = GetStyle();
    showHorz_ = (style & fw::WS_HSCROLL) != 0;
    showVert_ = (style & fw::WS_VSCROLL) != 0;
    // The scroll bars are the tab window's own children, shared by its sheets.
    ModifyStyle(fw::WS_HSCROLL | fw::WS_VSCROLL, fw::WS_CLIPCHILDREN);
    SetBackgroundColor(fw::ToQColor(fw::GetSysColor(fw::COLOR_BTNFACE)));
    hbar_ = std::make_unique<CGXTabScrollBar>(false);
    vbar_ = std::make_unique<CGXTabScrollBar>(true);
    beam_ = std::make_unique<CGXTabBeam>();
    if (!hbar_->Create(this, kIdHorzBar) || !vbar_->Create(this, kIdVertBar) ||
        !beam_->Create(fw::WS_VISIBLE, {0, 0, 1, 1}, this, kIdBeam))
        return -1;
    if (!showHorz_)
        hbar_->ShowWindow(fw::SW_HIDE);
    if (!showVert_)
        vbar_->ShowWindow(fw::SW_HIDE);
    created_ = true;
    RecalcLayout();
    return fw::Window::OnCreate();
}

fw::Rect CGXTabWnd::SheetArea() const {
    const fw::Rect c = GetClientRect();
    return {0, 0, c.right - (showVert_ ? vbarWidth_ : 0), std::max(0, c.bottom - bottomRow_)};
}

fw::Rect CGXTabWnd::SplitterRect() const {
    const fw::Rect c = GetClientRect();
    return {beamWidth_ + 1, c.bottom - bottomRow_, beamWidth_ + 1 + splitterWidth_ - 1, c.bottom};
}

void CGXTabWnd::Place(fw::Window* child, const fw::Rect& r) {
    if (child && child->geometry() != QRect(r.left, r.top, r.Width(), r.Height()))
        child->MoveWindow(r);
}

void CGXTabWnd::RecalcLayout(bool) {
    if (!created_)
        return;
    const fw::Rect c = GetClientRect();
    if (!laidOut_) {
        laidOut_ = true;
        beamWidth_ = c.Width() / 2;
        ratio_ = beamWidth_ * 100;
        lastWidth_ = c.Width();
    }
    const int bottom = c.bottom - bottomRow_;
    const int right = c.right - (showVert_ ? vbarWidth_ : 0);
    if (showHorz_)
        Place(hbar_.get(), {beamWidth_ + splitterWidth_, bottom,
                            std::max(beamWidth_ + splitterWidth_ + 1, right), c.bottom});
    if (showVert_)
        Place(vbar_.get(), {right, 0, c.right, std::max(1, bottom)});
    Place(beam_.get(), {0, bottom, showHorz_ ? std::max(1, beamWidth_) : c.right, c.bottom});
    if (active_) {
        fw::Rect s = SheetArea();
        s.Inflate(-1, -1);
        Place(active_, s);
        active_->SendMessage(fw::WM_SIZE, fw::SIZE_RESTORED, fw::MAKELPARAM(s.Width(), s.Height()));
    }
    Invalidate(false);
}

void CGXTabWnd::OnSize(UINT type, int cx, int cy) {
    fw::Window::OnSize(type, cx, cy);
    if (!created_)
        return;
    CancelLabel();
    if (active_)
        active_->SendMessage(kMsgResizing, 1);
    if (type != fw::SIZE_MINIMIZED && cx >= 1 && cx <= 32766 && cy >= 1 && cy <= 32766) {
        if (!laidOut_) {
            RecalcLayout();
        } else {
            if (splitterMoved_) {
                ratio_ = beamWidth_ * 100;
                splitterMoved_ = false;
            }
            // The beam keeps its share of the width beyond its buttons.
            const int e = (beam_->ButtonAreaWidth() - 20) * 100;
            if (lastWidth_ > 0 && ratio_ > 0)
                ratio_ =
                    static_cast<int>(static_cast<long long>(cx) * (ratio_ - e) / lastWidth_ + e);
            else
                ratio_ = cx / 2 * 100;
            beamWidth_ = ratio_ / 100;
            lastWidth_ = cx;
            RecalcLayout();
        }
    }
    if (active_) {
        active_->SendMessage(kMsgResizing, 0);
        const fw::Rect c = active_->GetClientRect();
        active_->SendMessage(fw::WM_SIZE, fw::SIZE_RESTORED, fw::MAKELPARAM(c.Width(), c.Height()));
    }
}

void CGXTabWnd::OnPaint() {
    fw::PaintContext dc(*this);
    const fw::Rect c = GetClientRect();
    dc.FillSolidRect(c, fw::GetSysColor(fw::COLOR_BTNFACE));
    if (!showHorz_)
        return;
    const fw::Rect s = SplitterRect();
    const fw::ColorRef lines[5] = {0, fw::GetSysColor(fw::COLOR_BTNHIGHLIGHT),
                                   fw::GetSysColor(fw::COLOR_BTNFACE),
                                   fw::GetSysColor(fw::COLOR_BTNSHADOW), 0};
    for (int i = 0; i < 5; ++i)
        dc.FillSolidRect({s.left + i, s.top, s.left + i + 1, s.bottom}, lines[i]);
}

void CGXTabWnd::OnLButtonDown(UINT, fw::Point p) {
    if (showHorz_ && SplitterRect().Contains(p)) {
        tracking_ = true;
        SetCapture();
    }
}

void CGXTabWnd::OnMouseMove(UINT, fw::Point p) {
    if (!tracking_)
        return;
    const int width = GetClientRect().Width();
    // The beam keeps room for its buttons and 20 pixels; the scroll bar two bottom rows.
    if (p.x < beam_->ButtonAreaWidth() + 20 || p.x > width - 2 * bottomRow_)
        return;
    if (p.x == beamWidth_)
        return;
    beamWidth_ = p.x;
    splitterMoved_ = true;
    RecalcLayout();
}

void CGXTabWnd::OnLButtonUp(UINT, fw::Point) {
    if (!tracking_)
        return;
    tracking_ = false;
    ReleaseCapture();
    beam_->Invalidate(false);
}

// --- sheets ------------------------------------------------------------------------------------

void CGXTabWnd::AttachSheet(fw::Window* sheet, const std::string& label) {
    if (!sheet)
        return;
    if (!laidOut_)
        RecalcLayout();
    fw::Rect s = SheetArea();
    s.Inflate(-1, -1);
    sheet->MoveWindow(s);
    const int index = beam_->InsertTab(false, label, sheet, false, -1, 0);
    sheet->ShowScrollBar(fw::SB_HORZ, false);
    sheet->ShowScrollBar(fw::SB_VERT, false);
    if (!active_) {
        active_ = sheet;
        sheet->ShowWindow(fw::SW_SHOW);
        beam_->SetCurrentTab(index);
    } else {
        sheet->ShowWindow(fw::SW_HIDE);
    }
    sheet->SendMessage(kMsgSheetAdded, static_cast<fw::WPARAM>(index));
    SaveScrollState(sheet);
    if (sheet == active_)
        RestoreScrollState(sheet);
}

bool CGXTabWnd::ActivateSheet(fw::Window* sheet) {
    const int index = beam_->FindTab(sheet);
    if (index < 0)
        return false;
    if (sheet == active_)
        return true;
    if (active_) {
        if (active_->SendMessage(kMsgMayChangeSheet, 0) != 0 ||
            sheet->SendMessage(kMsgMayChangeSheet, 1) != 0) {
            // Refused: the old sheet stays, with its tab current.
            beam_->SetCurrentTab(beam_->FindTab(active_));
            active_->SetFocus();
            return false;
        }
        SaveScrollState(active_);
        active_->ShowWindow(fw::SW_HIDE);
    }
    beam_->EnsureVisible(index);
    beam_->SetCurrentTab(index);
    active_ = sheet;
    sheet->ShowWindow(fw::SW_SHOW);
    sheet->SetFocus();
    RestoreScrollState(sheet);
    sheet->Invalidate();
    RecalcLayout();
    return true;
}

const std::string* CGXTabWnd::GetSheetLabel(const fw::Window* sheet) const {
    const int index = beam_->FindTab(sheet);
    return index < 0 ? nullptr : &beam_->GetTab(index).label;
}

void CGXTabWnd::SetTabLabel(int index, const std::string& text, bool notify) {
    if (index < 0 || index >= beam_->GetCount())
        return;
    CGXTabInfo& t = beam_->GetTab(index);
    t.label = text;
    beam_->UpdateTabWidth(index);
    beam_->Invalidate(false);
    if (notify && t.sheet)
        t.sheet->SendMessage(kMsgLabelChanged, static_cast<fw::WPARAM>(index));
}

void CGXTabWnd::SetSheetLabel(fw::Window* sheet, const std::string& text, bool notify) {
    SetTabLabel(beam_->FindTab(sheet), text, notify);
}

void CGXTabWnd::SaveScrollState(fw::Window* sheet) {
    const int index = beam_->FindTab(sheet);
    if (index < 0)
        return;
    CGXTabInfo& t = beam_->GetTab(index);
    auto read = [&](int bar, fw::ScrollInfo& out) {
        fw::ScrollInfo info;
        if (!sheet->GetScrollInfo(bar, info)) {
            info = {};
            sheet->GetScrollRange(bar, &info.min, &info.max);
        }
        info.trackPos = sheet->GetScrollPos(bar);
        out = info;
    };
    read(fw::SB_VERT, t.scrollVert);
    read(fw::SB_HORZ, t.scrollHorz);
}

void CGXTabWnd::RestoreScrollState(fw::Window* sheet) {
    const int index = beam_->FindTab(sheet);
    if (index < 0)
        return;
    const CGXTabInfo& t = beam_->GetTab(index);
    vbar_->SetInfo(t.scrollVert);
    hbar_->SetInfo(t.scrollHorz);
}

void CGXTabWnd::OnHScroll(UINT code, UINT pos) {
    CancelLabel();
    if (active_)
        active_->SendMessage(fw::WM_HSCROLL,
                             fw::MAKEWPARAM(static_cast<int>(code), static_cast<int>(pos)), 0);
}

void CGXTabWnd::OnVScroll(UINT code, UINT pos) {
    CancelLabel();
    if (active_)
        active_->SendMessage(fw::WM_VSCROLL,
                             fw::MAKEWPARAM(static_cast<int>(code), static_cast<int>(pos)), 0);
}

// --- label editing -----------------------------------------------------------------------------

void CGXTabWnd::EditLabel() {
    const int index = beam_->GetCurrentTab();
    if (popup_ || index < 0 || !active_)
        return;
    if (active_->SendMessage(kMsgMayEditLabel, static_cast<fw::WPARAM>(index)) == 0)
        return;
    QImage probe(1, 1, QImage::Format_ARGB32);
    fw::DeviceContext dc(&probe);
    fw::LogFont font;
    font.faceName = "Arial";
    font.height = -(std::max(6, beam_->BeamHeight() - 2) * 3 / 4);
    dc.SelectFont(font);
    const fw::Size w = dc.GetTextExtent("W");
    const fw::Rect c = GetClientRect();
    const int width = std::min(15 * w.cx, c.Width());
    int left = beam_->GetTabX(index);
    if (left + width > c.right)
        left = c.right - width;
    left = std::max(0, left);
    const int top = std::max(0, c.bottom - 2 * (w.cy + kDlgFrame));
    const int height = w.cy + 4 * kDlgFrame;
    popup_ = std::make_unique<CGXEditLabelPopup>(this);
    if (!popup_->Create(fw::WS_VISIBLE | fw::WS_BORDER | fw::ES_AUTOHSCROLL,
                        {left, top, left + width, top + height}, this, kIdLabelPopup)) {
        popup_.reset();
        return;
    }
    popup_->SetWindowText(beam_->GetTab(index).label);
    popup_->SetSel(0, -1);
    popup_->raise();
    popup_->SetFocus();
}

void CGXTabWnd::CancelLabel() {
    if (!popup_)
        return;
    // The popup may be inside its own key handler: it goes once that has returned.
    CGXEditLabelPopup* p = popup_.release();
    p->hide();
    p->deleteLater();
}

void CGXTabWnd::AcceptLabel() {
    if (!popup_)
        return;
    const std::string text = popup_->GetWindowText();
    CancelLabel();
    SetTabLabel(beam_->GetCurrentTab(), text, true);
}

fw::LRESULT CGXTabWnd::WindowProc(fw::Message& msg) {
    switch (msg.id) {
        case CGXTabBeam::kMsgTabSelected: {
            const int index = static_cast<int>(msg.wParam);
            if (index >= 0 && index < beam_->GetCount()) {
                fw::Window* sheet = beam_->GetTab(index).sheet;
                if (sheet && sheet != active_) {
                    ActivateSheet(sheet);
                } else if (sheet) {
                    fw::Message pending;
                    if (!PeekMessage(pending, CGXTabBeam::kMsgEditLabel, CGXTabBeam::kMsgEditLabel,
                                     false)) {
                        sheet->SetFocus();
                        sheet->Invalidate();
                    }
                }
            }
            return 0;
        }
        case CGXTabBeam::kMsgEditLabel:
            EditLabel();
            return 0;
        case CGXEditLabelPopup::kMsgAccept:
            AcceptLabel();
            return 0;
        case CGXEditLabelPopup::kMsgCancel:
            CancelLabel();
            return 0;
        default:
            return fw::Window::WindowProc(msg);
    }
}

// --- class names -----------------------------------------------------------------------------

std::string GXRegisterTabWndClass() {
    static const std::string kName = "CGXTabWnd";
    if (!GXGetClassInfo(kName))
        GXRegisterWndClass(kName, GX_CS_DBLCLKS | GX_CS_GLOBALCLASS);
    fw::RegisterDialogClass(
        kName, []() -> std::unique_ptr<fw::Window> { return std::make_unique<CGXTabWnd>(); });
    return kName;
}

std::string GXRegisterTabBeamClass() {
    static const std::string kName = "CGXTabBeam";
    if (!GXGetClassInfo(kName))
        GXRegisterWndClass(kName, GX_CS_DBLCLKS | GX_CS_GLOBALCLASS);
    fw::RegisterDialogClass(
        kName, []() -> std::unique_ptr<fw::Window> { return std::make_unique<CGXTabBeam>(); });
    return kName;
}

void GXUnregisterTabWndClass() {
    fw::UnregisterDialogClass("CGXTabWnd");
}

void GXUnregisterTabBeamClass() {
    fw::UnregisterDialogClass("CGXTabBeam");
}

// --- the interface grids use -------------------------------------------------------------------

namespace {
CGXTabWnd* TabWndOf(fw::Window* grid) {
    for (QWidget* w = grid ? grid->parentWidget() : nullptr; w; w = w->parentWidget())
        if (auto* tab = dynamic_cast<CGXTabWnd*>(w))
            return tab;
    return nullptr;
}
}  // namespace

void CGXTabWndInterfaceImp::AccessLabel(fw::Window* grid, std::string& text, bool set) {
    CGXTabWnd* tab = TabWndOf(grid);
    if (!tab)
        return;
    if (set) {
        tab->SetSheetLabel(grid, text, false);
    } else if (const std::string* label = tab->GetSheetLabel(grid)) {
        text = *label;
    }
}

std::string CGXTabWndInterfaceImp::GetLabel(fw::Window* grid, int index) {
    CGXTabWnd* tab = TabWndOf(grid);
    if (!tab || index < 0 || index >= tab->Beam().GetCount())
        return {};
    return tab->Beam().GetTab(index).label;
}

void CGXTabWndInterfaceImp::OnGridInitialized(void* gridWindow, const char* sheetName,
                                              bool hasName) {
    auto* grid = static_cast<fw::Window*>(gridWindow);
    std::string name = sheetName ? sheetName : "";
    if (hasName)
        AccessLabel(grid, name, true);
}
