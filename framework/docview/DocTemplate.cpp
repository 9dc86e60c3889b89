#include "framework/docview/DocTemplate.h"

#include "framework/base/CommandIds.h"
#include "framework/docview/DocHost.h"
#include "framework/persist/FrameworkTexts.h"
#include "framework/persist/StringTable.h"

#include <QString>

#include <filesystem>

namespace fw {

DocTemplate::DocTemplate(unsigned resourceId, DocFactory doc, FrameFactory frame, ViewFactory view)
    : resourceId_(resourceId),
      makeDoc_(std::move(doc)),
      makeFrame_(std::move(frame)),
      makeView_(std::move(view)) {}

bool DocTemplate::GetDocString(std::string& out, DocStringIndex index) const {
    out.clear();
    const std::string all = LoadString(resourceId_);
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = all.find('\n', start);
        if (start == std::string::npos)
            return false;
        ++start;
    }
    const std::size_t end = all.find('\n', start);
    out = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
    return !out.empty();
}

std::string DocTemplate::FilterText() const {
    std::string name, ext;
    std::string filter;
    if (GetDocString(name, filterName) && GetDocString(ext, filterExt)) {
        filter = name + "|*" + ext + "|";
    }
    return filter + FrameworkString(AFX_IDS_ALLFILTER) + "|*.*||";
}

bool DocTemplate::MatchesExtension(const std::string& path) const {
    std::string ext;
    if (!GetDocString(ext, filterExt))
        return false;
    const std::string actual = std::filesystem::path(path).extension().string();
    return QString::fromStdString(actual).compare(QString::fromStdString(ext),
                                                  Qt::CaseInsensitive) == 0;
}

SingleDocTemplate::~SingleDocTemplate() {
    // The views go with the frame before the document they point to.
    frame_.reset();
    doc_.reset();
}

bool SingleDocTemplate::CreateFrame() {
    frame_ = makeFrame_();
    std::string title;
    GetDocString(title, windowTitle);
    if (!frame_ || !frame_->LoadFrame(title)) {
        frame_.reset();
        return false;
    }
    std::unique_ptr<View> view = makeView_();
    view->SetDocument(doc_.get());
    frame_->SetView(std::move(view));
    if (DocHost* app = GetDocHost(); app && !app->GetMainWnd())
        app->SetMainWnd(frame_.get());
    return true;
}

void SingleDocTemplate::SetDefaultTitle() {
    std::string name;
    if (!GetDocString(name, docName))
        name = FrameworkString(AFX_IDS_UNTITLED);
    doc_->SetTitle(name);
}

Document* SingleDocTemplate::OpenDocumentFile(const std::string* path, bool makeVisible) {
    bool created = false;
    if (doc_) {
        if (!doc_->SaveModified())
            return nullptr;
    } else {
        doc_ = makeDoc_();
        doc_->SetDocTemplate(this);
        created = true;
    }
    if (!frame_ && !CreateFrame()) {
        if (created)
            doc_.reset();
        return nullptr;
    }
    if (!path) {
        SetDefaultTitle();
        if (!doc_->OnNewDocument()) {
            if (created) {
                frame_.reset();
                doc_.reset();
            }
            return nullptr;
        }
        SetDefaultTitle();
    } else {
        const bool wasModified = doc_->IsModified();
        doc_->SetModifiedFlag(false);
        if (!doc_->OnOpenDocument(*path)) {
            if (created) {
                frame_.reset();
                doc_.reset();
                return nullptr;
            }
            // The old contents may be gone: start a clean new document rather than show a
            // half-loaded one.
            if (doc_->IsModified() || doc_->GetPathName().empty()) {
                SetDefaultTitle();
                doc_->OnNewDocument();
            } else {
                doc_->SetModifiedFlag(wasModified);
            }
            return nullptr;
        }
        doc_->SetPathName(*path);
    }
    frame_->InitialUpdateFrame(doc_.get(), makeVisible);
    return doc_.get();
}

bool SingleDocTemplate::SaveAllModified() {
    return !doc_ || doc_->SaveModified();
}

void SingleDocTemplate::CloseAllDocuments() {
    if (doc_)
        doc_->OnCloseDocument();
    if (frame_)
        frame_->DestroyWindow();
}

}  // namespace fw
