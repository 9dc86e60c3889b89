// The open and save file dialogs, with a hook through which tests answer them.
//
// Filters are written as pairs separated by '|' and ended by "||":
// "Config files (*.cfg)|*.cfg|All Files (*.*)|*.*||".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace fw {

class Window;

inline constexpr unsigned OFN_READONLY = 0x0001;
inline constexpr unsigned OFN_OVERWRITEPROMPT = 0x0002;
inline constexpr unsigned OFN_HIDEREADONLY = 0x0004;
inline constexpr unsigned OFN_NOCHANGEDIR = 0x0008;
inline constexpr unsigned OFN_ALLOWMULTISELECT = 0x0200;
inline constexpr unsigned OFN_PATHMUSTEXIST = 0x0800;
inline constexpr unsigned OFN_FILEMUSTEXIST = 0x1000;

struct FileDialogRequest {
    bool open = true;
    std::string title;
    std::string fileName;  // proposed name (may hold a folder, or a pattern such as *.wov)
    std::string initialDir;
    std::string defaultExt;  // without the point
    std::string filter;
    unsigned flags = 0;
};

// Answers a dialog with a path (or nothing: the user cancelled) instead of showing it; return
// std::nullopt from the outer optional to let the real dialog appear.
using FileDialogHook =
    std::function<std::optional<std::optional<std::string>>(const FileDialogRequest&)>;
FileDialogHook SetFileDialogHook(FileDialogHook hook);

class FileDialog {
public:
    FileDialog(bool open, std::string_view defaultExt = {}, std::string_view fileName = {},
               unsigned flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
               std::string_view filter = {}, Window* parent = nullptr);

    FileDialogRequest& Request() { return req_; }
    void SetTitle(std::string_view title) { req_.title = std::string(title); }
    void SetInitialDir(std::string_view dir) { req_.initialDir = std::string(dir); }

    // IDOK or IDCANCEL.
    int DoModal();
    const std::string& GetPathName() const { return path_; }
    std::string GetFileName() const;  // with extension
    std::string GetFileExt() const;   // without the point
    std::string GetFolderPath() const;

private:
    FileDialogRequest req_;
    Window* parent_;
    std::string path_;
};

// The Qt form of a filter text ("Desc (*.cfg);;All (*)").
std::string FilterToQt(std::string_view filter);

}  // namespace fw
