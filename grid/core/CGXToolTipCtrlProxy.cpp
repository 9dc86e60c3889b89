#include "grid/core/CGXToolTipCtrlProxy.h"

#include <QString>
#include <QToolTip>

CGXToolTipCtrlProxy::~CGXToolTipCtrlProxy() {
    Hide();
}

bool CGXToolTipCtrlProxy::Create() {
    return window_ != nullptr;
}

void CGXToolTipCtrlProxy::RelayEvent(const fw::Message& m) {
    if (m.id == fw::WM_MOUSEMOVE)
        OnMouseMove({fw::GET_X_LPARAM(m.lParam), fw::GET_Y_LPARAM(m.lParam)});
    else if (m.id >= fw::WM_LBUTTONDOWN && m.id <= fw::WM_MBUTTONDBLCLK)
        Hide();
}

void CGXToolTipCtrlProxy::ResetLastCell() {
    lastRow_ = lastCol_ = GX_INVALID;
    tipText_.clear();
}

void CGXToolTipCtrlProxy::OnMouseMove(fw::Point client) {
    ROWCOL row = GX_INVALID, col = GX_INVALID;
    const bool onCell = host_ && host_->ToolTipCellFromPoint(client, row, col);
    if (!onCell)
        row = col = GX_INVALID;
    if (row == lastRow_ && col == lastCol_)
        return;
    lastRow_ = row;
    lastCol_ = col;
    tipText_.clear();
    if (onCell)
        tipText_ = host_->ToolTipText(row, col);
    if (tipText_.empty())
        Hide();
    else
        Show(client);
}

void CGXToolTipCtrlProxy::Show(fw::Point client) {
    if (!window_)
        return;
    QToolTip::hideText();  // the old tip goes first
    QToolTip::showText(window_->mapToGlobal(QPoint(client.x, client.y)),
                       QString::fromStdString(tipText_), window_);
    active_ = true;
}

void CGXToolTipCtrlProxy::Hide() {
    if (active_)
        QToolTip::hideText();
    active_ = false;
}
