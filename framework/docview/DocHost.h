// What documents, templates and frames need from the program that owns them: its main window,
// how that window is first shown, the recent-file list, the save-all question at close, and
// the last stop of command routing. The application object is the one host; documents and
// frames reach it through GetDocHost() instead of knowing the application, so the
// document/view area sits below the application area.
#pragma once

#include "framework/base/CmdTarget.h"

#include <string>

namespace fw {

class RecentFileList;
class Window;

class DocHost : public CmdTarget {
public:
    // The newest host made is the program's; it stops being so when destroyed.
    DocHost();
    ~DocHost() override;
    DocHost(const DocHost&) = delete;
    DocHost& operator=(const DocHost&) = delete;

    Window* GetMainWnd() const { return mainWnd_; }
    void SetMainWnd(Window* window) { mainWnd_ = window; }
    // How the main frame is shown when the first document is made (SW_SHOW); -1 leaves it
    // hidden so that the program shows it itself. Taking it resets it to SW_SHOW.
    void SetStartShowCommand(int command) { startShow_ = command; }
    int TakeStartShowCommand();

    // Null when the program keeps no recent files.
    virtual RecentFileList* GetRecentFileList() const = 0;
    virtual void AddToRecentFileList(const std::string& path) = 0;
    // Asks to save every modified document; false when the user cancelled.
    virtual bool SaveAllModified() = 0;

private:
    Window* mainWnd_ = nullptr;
    int startShow_ = 5;  // SW_SHOW
};

// The program's host, or null when it has none (tests of single windows).
DocHost* GetDocHost();

}  // namespace fw
