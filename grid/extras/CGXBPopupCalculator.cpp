#include "grid/extras/CGXBPopupCalculator.h"

#include "framework/window/VirtualKeys.h"
#include "grid/extras/GXExtrasSupport.h"

CGXBPopupCalculator::CGXBPopupCalculator(bool autoDelete) : autoDelete_(autoDelete) {
    popup_ = true;
}

bool CGXBPopupCalculator::CreatePopup(unsigned style, unsigned calcStyle, const fw::Rect& anchor,
                                      fw::Window* owner) {
    owner_ = owner;
    if (owner)
        ownerHandle_ = owner->Handle();
    if (!Create(0, style | fw::WS_POPUP, calcStyle,
                {anchor.left, anchor.bottom, anchor.left, anchor.bottom}, owner, 0))
        return false;
    fw::Rect r = GetWindowRect();
    const int w = r.Width();
    const int h = r.Height();
    const fw::Rect work = GXWorkAreaAt({anchor.left, anchor.bottom});
    int x = anchor.left;
    int y = anchor.bottom;
    if (y + h > work.bottom)
        y = anchor.top - h;
    if (x + w > work.right)
        x = anchor.right - w;
    move(x, y);
    SetFocus();
    return true;
}

void CGXBPopupCalculator::NotifyOwner() {
    fw::Window* owner = fw::Window::FromHandle(ownerHandle_);
    if (!owner || IsError())
        return;
    const std::string text = GetDisplayText();
    owner->SendMessage(kMsgResult, 0, reinterpret_cast<fw::LPARAM>(text.c_str()));
}

void CGXBPopupCalculator::AcceptAndClose() {
    if (closing_)
        return;
    closing_ = true;
    NotifyOwner();
    PostMessage(fw::WM_CLOSE);
}

bool CGXBPopupCalculator::HandleButton(int id) {
    const bool known = CGXBCalculator::HandleButton(id);
    if (id == kIdEquals && (CalcStyle() & kStyleCloseOnEquals) && !IsError())
        AcceptAndClose();
    return known;
}

bool CGXBPopupCalculator::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
    if (vk == fw::VK_RETURN) {
        CGXBCalculator::HandleButton(kIdEquals);
        AcceptAndClose();
        return true;
    }
    if (vk == fw::VK_ESCAPE) {
        closing_ = true;
        PostMessage(fw::WM_CLOSE);
        return true;
    }
    return CGXBCalculator::OnKeyDown(vk, repeat, flags);
}

bool CGXBPopupCalculator::OnSysKeyDown(UINT vk, UINT repeat, UINT flags) {
    if (vk == fw::VK_DOWN) {
        CGXBCalculator::HandleButton(kIdEquals);
        AcceptAndClose();
        return true;
    }
    return CGXBCalculator::OnSysKeyDown(vk, repeat, flags);
}

void CGXBPopupCalculator::OnKillFocus(fw::Window* newFocus) {
    CGXBCalculator::OnKillFocus(newFocus);
    if (newFocus && newFocus != this && !closing_) {
        closing_ = true;
        PostMessage(fw::WM_CLOSE);
    }
}

void CGXBPopupCalculator::OnPostNcDestroy() {
    CGXBCalculator::OnPostNcDestroy();
    if (autoDelete_)
        deleteLater();
}
