#include "framework/dialogs/FileDialog.h"
#include "framework/base/QtText.h"

#include "framework/base/CommandIds.h"
#include "framework/persist/FrameworkTexts.h"
#include "framework/window/Window.h"

#include <QFileDialog>
#include <QStringList>

#include <filesystem>

namespace fw {
namespace {

FileDialogHook& Hook() {
    static FileDialogHook hook;
    return hook;
}

std::optional<std::string> ShowReal(const FileDialogRequest& r, Window* parent) {
    QFileDialog dlg(parent ? parent->window() : nullptr, ToQString(r.title));
    dlg.setAcceptMode(r.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dlg.setFileMode(
        r.open ? ((r.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile)
               : QFileDialog::AnyFile);
    if (!(r.flags & OFN_OVERWRITEPROMPT))
        dlg.setOption(QFileDialog::DontConfirmOverwrite);
    if (!r.filter.empty())
        dlg.setNameFilters(ToQString(FilterToQt(r.filter)).split(";;"));
    if (!r.defaultExt.empty())
        dlg.setDefaultSuffix(ToQString(r.defaultExt));
    if (!r.initialDir.empty())
        dlg.setDirectory(ToQString(r.initialDir));
    if (!r.fileName.empty())
        dlg.selectFile(ToQString(r.fileName));
    CancelModeForModal();
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    return dlg.selectedFiles().front().toStdString();
}

}  // namespace

FileDialogHook SetFileDialogHook(FileDialogHook hook) {
    FileDialogHook old = std::move(Hook());
    Hook() = std::move(hook);
    return old;
}

std::string FilterToQt(std::string_view filter) {
    std::string out;
    std::size_t pos = 0;
    while (pos < filter.size()) {
        const std::size_t bar1 = filter.find('|', pos);
        if (bar1 == std::string_view::npos || bar1 == pos)
            break;
        const std::size_t bar2 = filter.find('|', bar1 + 1);
        const std::string_view desc = filter.substr(pos, bar1 - pos);
        std::string pattern(filter.substr(
            bar1 + 1, (bar2 == std::string_view::npos ? filter.size() : bar2) - bar1 - 1));
        for (char& c : pattern) {
            if (c == ';')
                c = ' ';
        }
        if (pattern == "*.*")
            pattern = "*";
        if (!out.empty())
            out += ";;";
        // Qt reads the patterns from the parentheses: the description's own are replaced by
        // the real ones.
        std::string text(desc.substr(0, desc.find('(')));
        while (!text.empty() && text.back() == ' ') text.pop_back();
        out += text + " (" + pattern + ")";
        if (bar2 == std::string_view::npos)
            break;
        pos = bar2 + 1;
    }
    return out;
}

FileDialog::FileDialog(bool open, std::string_view defaultExt, std::string_view fileName,
                       unsigned flags, std::string_view filter, Window* parent)
    : parent_(parent) {
    req_.open = open;
    req_.defaultExt = std::string(defaultExt);
    if (!req_.defaultExt.empty() && req_.defaultExt.front() == '.')
        req_.defaultExt.erase(0, 1);
    req_.fileName = std::string(fileName);
    req_.flags = flags;
    req_.filter = std::string(filter);
    req_.title = FrameworkString(open ? AFX_IDS_OPENFILE : AFX_IDS_SAVEFILE);
}

int FileDialog::DoModal() {
    std::optional<std::string> chosen;
    bool answered = false;
    if (Hook()) {
        if (auto a = Hook()(req_)) {
            chosen = *a;
            answered = true;
        }
    }
    if (!answered)
        chosen = ShowReal(req_, parent_);
    if (!chosen)
        return IDCANCEL;
    path_ = *chosen;
    // A name without an extension gets the default one, as the dialog promises.
    if (!req_.open && !req_.defaultExt.empty() &&
        std::filesystem::path(path_).extension().empty()) {
        path_ += "." + req_.defaultExt;
    }
    return IDOK;
}

std::string FileDialog::GetFileName() const {
    return std::filesystem::path(path_).filename().string();
}

std::string FileDialog::GetFileExt() const {
    std::string e = std::filesystem::path(path_).extension().string();
    return e.empty() ? e : e.substr(1);
}

std::string FileDialog::GetFolderPath() const {
    return std::filesystem::path(path_).parent_path().string();
}

}  // namespace fw
