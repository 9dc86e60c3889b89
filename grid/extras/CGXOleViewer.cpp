#include "grid/extras/CGXOleViewer.h"

#include "framework/dialogs/MessageBox.h"
#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/PaintContext.h"
#include "grid/extras/GXExtrasSupport.h"

unsigned long CGXClientSite::Release() {
    if (--refs_ == 0) {
        delete this;
        return 0;
    }
    return refs_;
}

CGXClientSite* CGXClientSite::QueryInterface(const std::string& iid) {
    if (iid != "IUnknown" && iid != "IOleClientSite")
        return nullptr;
    AddRef();
    return this;
}

unsigned long CGXAdviseSink::Release() {
    if (--refs_ == 0) {
        delete this;
        return 0;
    }
    return refs_;
}

CGXAdviseSink* CGXAdviseSink::QueryInterface(const std::string& iid) {
    if (iid != "IUnknown" && iid != "IAdviseSink")
        return nullptr;
    AddRef();
    return this;
}

void CGXAdviseSink::OnClose() {
    if (viewer_)
        viewer_->ReleaseObject();
}

CGXOleViewerWnd::CGXOleViewerWnd(std::string title, std::string progId)
    : title_(std::move(title)), line_(progId + ": " + GXExtrasText(20208)) {}

void CGXOleViewerWnd::OnPaint() {
    fw::PaintContext dc(*this);
    const fw::Rect c = GetClientRect();
    dc.FillSolidRect(c, fw::GetSysColor(fw::COLOR_WINDOW));
    dc.SetBkMode(fw::TRANSPARENT);
    dc.SetTextColor(fw::GetSysColor(fw::COLOR_WINDOWTEXT));
    fw::Rect r = c;
    r.Inflate(-8, -8);
    dc.DrawText(title_.empty() ? line_ : title_ + "\n" + line_, r,
                fw::DT_CENTER | fw::DT_WORDBREAK);
}

CGXGenericViewerImpl::CGXGenericViewerImpl() = default;

CGXGenericViewerImpl::~CGXGenericViewerImpl() {
    Close();
}

bool CGXGenericViewerImpl::HoldsObject(const GXVariant& data) {
    return data.GetType() == GXVariant::VT_UI1_ARRAY;
}

CGXOleViewer::OpenResult CGXGenericViewerImpl::Open(const GXVariant& data, fw::Window* owner) {
    if (window_) {
        // A second request brings the open viewer to the front.
        fw::AppMessageBox(GXExtrasText(20206));
        window_->raise();
        return OpenResult::kAlreadyOpen;
    }
    if (data.GetType() == GXVariant::VT_EMPTY || data.GetType() == GXVariant::VT_NULL)
        return OpenResult::kNoObject;
    if (data.GetType() != GXVariant::VT_UI1_ARRAY) {
        fw::AppMessageBox(GXExtrasText(kGXOleInvalidDataText));
        return OpenResult::kInvalidData;
    }
    GXOleDecodeResult decoded = GXDecodeOleObject(data.GetBytes());
    if (!decoded.ok()) {
        fw::AppMessageBox(GXExtrasText(kGXOleInvalidDataText));
        return OpenResult::kInvalidData;
    }
    object_ = std::move(decoded.object);
    site_ = new CGXClientSite(this);
    sink_ = new CGXAdviseSink(this);
    window_ = std::make_unique<CGXOleViewerWnd>(object_.userTypeName, object_.progId);
    const fw::Point at = owner ? owner->ClientToScreen(fw::Point{20, 20}) : fw::Point{40, 40};
    window_->Create(owner, {at.x, at.y, at.x + 320, at.y + 120}, 0,
                    fw::WS_POPUP | fw::WS_CAPTION | fw::WS_VISIBLE);
    window_->SetWindowText(object_.userTypeName.empty() ? object_.progId : object_.userTypeName);
    return OpenResult::kOpened;
}

void CGXGenericViewerImpl::ReleaseObject() {
    if (site_) {
        site_->Release();
        site_ = nullptr;
    }
    if (sink_) {
        sink_->Release();
        sink_ = nullptr;
    }
}

void CGXGenericViewerImpl::Close() {
    ReleaseObject();
    if (window_) {
        window_->DestroyWindow();
        window_.release()->deleteLater();
    }
}

CGXGenericViewerImpl& CGXViewerManager::GetViewer(std::uint32_t key) {
    auto& v = viewers_[key];
    if (!v)
        v = std::make_unique<CGXGenericViewerImpl>();
    return *v;
}
