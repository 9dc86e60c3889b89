// Document templates: how a program makes its document, frame and view, and the texts that
// describe its files. The texts come from one string-table entry of seven fields separated by
// '\n': window title, document name, name for File New, filter name, filter extension,
// registry file-type id and registry file-type name.
//
// SingleDocTemplate keeps one document in one frame with one view: New and Open replace the
// document's contents after the save-modified question.
#pragma once

#include "framework/docview/Document.h"
#include "framework/docview/FrameWnd.h"
#include "framework/docview/View.h"

#include <functional>
#include <memory>
#include <string>

namespace fw {

class DocTemplate {
public:
    using DocFactory = std::function<std::unique_ptr<Document>()>;
    using FrameFactory = std::function<std::unique_ptr<FrameWnd>()>;
    using ViewFactory = std::function<std::unique_ptr<View>()>;

    enum DocStringIndex {
        windowTitle = 0,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName,
    };

    DocTemplate(unsigned resourceId, DocFactory doc, FrameFactory frame, ViewFactory view);
    virtual ~DocTemplate() = default;

    unsigned ResourceId() const { return resourceId_; }
    // One field of the template's text; false (and empty) when it is missing or empty.
    bool GetDocString(std::string& out, DocStringIndex index) const;
    // "Filter name|*.ext|All Files (*.*)|*.*||" for the file dialogs.
    std::string FilterText() const;
    // True when the file's extension is the template's (compared without regard to case).
    bool MatchesExtension(const std::string& path) const;

    // Null path: a new document. Returns the document, or null when it failed (the user was
    // told) or was cancelled.
    virtual Document* OpenDocumentFile(const std::string* path, bool makeVisible = true) = 0;
    virtual bool SaveAllModified() = 0;
    virtual void CloseAllDocuments() = 0;
    virtual Document* GetDocument() const = 0;

protected:
    unsigned resourceId_;
    DocFactory makeDoc_;
    FrameFactory makeFrame_;
    ViewFactory makeView_;
};

class SingleDocTemplate : public DocTemplate {
public:
    using DocTemplate::DocTemplate;
    ~SingleDocTemplate() override;

    Document* OpenDocumentFile(const std::string* path, bool makeVisible = true) override;
    bool SaveAllModified() override;
    void CloseAllDocuments() override;
    Document* GetDocument() const override { return doc_.get(); }
    FrameWnd* GetFrame() const { return frame_.get(); }

private:
    bool CreateFrame();
    void SetDefaultTitle();

    std::unique_ptr<Document> doc_;
    std::unique_ptr<FrameWnd> frame_;
};

}  // namespace fw
