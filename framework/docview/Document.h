// A document: the data a program edits, its file path and title, its modified flag and its
// views. Loading and saving go through Serialize with a binary archive unless the document
// overrides OnOpenDocument and OnSaveDocument (a document stored as XML does).
#pragma once

#include "framework/base/CmdTarget.h"

#include <string>
#include <string_view>
#include <vector>

namespace fw {

class Archive;
class DocTemplate;
class View;

class Document : public CmdTarget {
public:
    Document();
    ~Document() override;

    const std::string& GetTitle() const { return title_; }
    virtual void SetTitle(std::string_view title);
    const std::string& GetPathName() const { return path_; }
    // Sets the path, makes the file name the title and, when asked, adds it to the recent files.
    virtual void SetPathName(std::string_view path, bool addToRecentFiles = true);
    void ClearPathName() { path_.clear(); }

    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true) { modified_ = modified; }

    DocTemplate* GetDocTemplate() const { return template_; }
    void SetDocTemplate(DocTemplate* t) { template_ = t; }

    // Views.
    void AddView(View* view);
    void RemoveView(View* view);
    const std::vector<View*>& GetViews() const { return views_; }
    // Calls OnUpdate of every view but the sender.
    void UpdateAllViews(View* sender, long hint = 0, void* hintObject = nullptr);

    // Life of the contents.
    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const std::string& path);
    virtual bool OnSaveDocument(const std::string& path);
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}
    virtual void Serialize(Archive& ar);

    // Asks "Save changes to <title>?" when modified: Yes saves (false when that fails or is
    // cancelled), No goes on, Cancel stops. True when the caller may go on.
    virtual bool SaveModified();
    // Save (prompting for a name when the document has none) and Save As.
    bool DoFileSave();
    bool DoSave(const std::string& path, bool replace = true);

    bool OnCmdMsg(unsigned id, unsigned code, CmdAction action, CmdUI* ui) override;

protected:
    // Reports a failed open or save; the default shows the framework's message box.
    virtual void ReportSaveLoadFailure(bool saving, const std::string& path,
                                       const std::string& reason);

private:
    std::string title_;
    std::string path_;
    bool modified_ = false;
    DocTemplate* template_ = nullptr;
    std::vector<View*> views_;
};

}  // namespace fw
