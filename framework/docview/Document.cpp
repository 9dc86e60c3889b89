#include "framework/docview/Document.h"

#include "framework/base/AppName.h"
#include "framework/base/CommandIds.h"
#include "framework/dialogs/FileDialog.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/docview/DocHost.h"
#include "framework/docview/DocTemplate.h"
#include "framework/docview/View.h"
#include "framework/persist/Archive.h"
#include "framework/persist/FrameworkTexts.h"
#include "framework/persist/StringTable.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fw {
namespace {

// Reads a whole file; false with a reason when it cannot be read.
bool ReadFile(const std::string& path, std::vector<std::uint8_t>& out, std::string& reason) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        reason = std::strerror(errno);
        return false;
    }
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        reason = "read error";
        return false;
    }
    return true;
}

// Writes through a temporary file beside the target and renames it into place, so that a
// failed save never leaves a half-written file where the good one was.
bool WriteFileSafely(const std::string& path, const std::vector<std::uint8_t>& bytes,
                     std::string& reason) {
    const std::string tmp = path + ".saving~";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) {
            reason = std::strerror(errno);
            return false;
        }
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            reason = "write error";
            out.close();
            std::error_code ec;
            std::filesystem::remove(tmp, ec);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        reason = ec.message();
        std::filesystem::remove(tmp, ec);
        return false;
    }
    return true;
}

}  // namespace

Document::Document() {
    MapCommand(ID_FILE_SAVE, [this] { DoFileSave(); });
    MapCommand(ID_FILE_SAVE_AS, [this] { DoSave({}, true); });
}

Document::~Document() {
    for (View* v : views_) v->SetDocument(nullptr);
}

void Document::SetTitle(std::string_view title) {
    title_ = std::string(title);
    for (View* v : views_) {
        if (Window* top = v->GetTopLevelWindow()) {
            const std::string& app = ApplicationName();
            top->SetWindowText(app.empty() ? title_ : title_ + " - " + app);
        }
    }
}

void Document::SetPathName(std::string_view path, bool addToRecentFiles) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(std::filesystem::path(path), ec);
    if (ec)
        p = std::filesystem::path(path);
    path_ = p.lexically_normal().string();
    SetTitle(p.filename().string());
    if (DocHost* host = GetDocHost(); addToRecentFiles && host)
        host->AddToRecentFileList(path_);
}

void Document::AddView(View* view) {
    if (std::find(views_.begin(), views_.end(), view) == views_.end())
        views_.push_back(view);
}

void Document::RemoveView(View* view) {
    std::erase(views_, view);
}

void Document::UpdateAllViews(View* sender, long hint, void* hintObject) {
    const std::vector<View*> views = views_;
    for (View* v : views) {
        if (v != sender)
            v->OnUpdate(sender, hint, hintObject);
    }
}

bool Document::OnNewDocument() {
    DeleteContents();
    path_.clear();
    SetModifiedFlag(false);
    return true;
}

bool Document::OnOpenDocument(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!ReadFile(path, bytes, reason)) {
        ReportSaveLoadFailure(false, path, reason);
        return false;
    }
    DeleteContents();
    SetModifiedFlag(true);  // while loading, a failure leaves a document that is not as on disk
    try {
        Archive ar(LoadFrom{bytes});
        Serialize(ar);
    } catch (const ArchiveException& e) {
        ReportSaveLoadFailure(false, path, e.what());
        DeleteContents();
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool Document::OnSaveDocument(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    try {
        Archive ar(StoreTo{bytes});
        Serialize(ar);
    } catch (const ArchiveException& e) {
        ReportSaveLoadFailure(true, path, e.what());
        return false;
    }
    std::string reason;
    if (!WriteFileSafely(path, bytes, reason)) {
        ReportSaveLoadFailure(true, path, reason);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

void Document::OnCloseDocument() {
    DeleteContents();
}

void Document::Serialize(Archive&) {}

void Document::ReportSaveLoadFailure(bool saving, const std::string& path,
                                     const std::string& reason) {
    std::string text =
        FrameworkString(saving ? AFX_IDP_FAILED_TO_SAVE_DOC : AFX_IDP_FAILED_TO_OPEN_DOC);
    text += "\n" + path;
    if (!reason.empty())
        text += "\n" + reason;
    AppMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

bool Document::SaveModified() {
    if (!IsModified())
        return true;
    std::string name = title_;
    if (name.empty())
        name = FrameworkString(AFX_IDS_UNTITLED);
    const std::string prompt = FormatString(FrameworkString(AFX_IDP_ASK_TO_SAVE), {name});
    switch (AppMessageBox(prompt, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
        case IDCANCEL:
            return false;
        case IDYES:
            return DoFileSave();
        default:
            return true;
    }
}

bool Document::DoFileSave() {
    return DoSave(path_, true);
}

bool Document::DoSave(const std::string& path, bool replace) {
    std::string name = path;
    if (name.empty()) {
        std::string proposed = title_;
        std::string ext;
        if (template_)
            template_->GetDocString(ext, DocTemplate::filterExt);
        if (!ext.empty() && std::filesystem::path(proposed).extension().empty())
            proposed += ext;
        FileDialog dlg(false, ext, proposed, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       template_ ? template_->FilterText() : std::string());
        if (dlg.DoModal() != IDOK)
            return false;
        name = dlg.GetPathName();
    }
    if (!OnSaveDocument(name))
        return false;
    if (replace)
        SetPathName(name);
    return true;
}

bool Document::OnCmdMsg(unsigned id, unsigned code, CmdAction action, CmdUI* ui) {
    return HandleOwn(id, code, action, ui);
}

}  // namespace fw
