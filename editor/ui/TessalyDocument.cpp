#include "editor/ui/TessalyDocument.h"

#include "framework/app/Application.h"
#include "framework/docview/FrameWnd.h"

namespace tessaly {

// The configuration, telling the framework's document of every change of its flag.
class CTessalyDocument::Data : public CTessalyDoc {
public:
    explicit Data(CTessalyDocument& owner) : owner_(owner) {}
    Data(CTessalyDocument& owner, std::filesystem::path dataDir)
        : CTessalyDoc(std::move(dataDir)), owner_(owner) {}
    void SetModifiedFlag(bool modified = true) override {
        CTessalyDoc::SetModifiedFlag(modified);
        owner_.fw::Document::SetModifiedFlag(modified);
    }

private:
    CTessalyDocument& owner_;
};

CTessalyDocument::CTessalyDocument(std::filesystem::path dataDir)
    : doc_(dataDir.empty() ? std::make_unique<Data>(*this)
                           : std::make_unique<Data>(*this, std::move(dataDir))) {
    data_ = doc_.get();
}

CTessalyDocument::~CTessalyDocument() = default;

bool CTessalyDocument::OnNewDocument() {
    if (!doc_->OnNewDocument())
        return false;
    ClearPathName();
    doc_->SetModifiedFlag(false);
    return true;
}

bool CTessalyDocument::OnOpenDocument(const std::string& path) {
    if (!doc_->OnOpenDocument(path))
        return false;
    doc_->SetModifiedFlag(false);
    return true;
}

bool CTessalyDocument::OnSaveDocument(const std::string& path) {
    if (!doc_->OnSaveDocument(path))
        return false;
    doc_->SetModifiedFlag(false);
    return true;
}

bool CTessalyDocument::SaveModified() {
    fw::Document::SetModifiedFlag(doc_->IsModified());
    return fw::Document::SaveModified();
}

CTessalyDocument* ActiveTessalyDocument() {
    fw::Application* app = fw::GetApp();
    auto* frame = app ? dynamic_cast<fw::FrameWnd*>(app->GetMainWnd()) : nullptr;
    return frame ? dynamic_cast<CTessalyDocument*>(frame->GetActiveDocument()) : nullptr;
}

}  // namespace tessaly
