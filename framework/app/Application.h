// The application object of a program: start-up (InitInstance), the event loop with idle
// processing, shut-down (ExitInstance), its document templates and the File commands (New,
// Open, the recent files, Exit), the command line, the profile and the wait cursor.
//
// One object per program, made after the QApplication:
//   int main(int argc, char** argv) {
//       QApplication qt(argc, argv);
//       MyApp app;
//       return app.Run();
//   }
// Commands that no window handles reach the application last.
#pragma once

#include "framework/app/CommandLineInfo.h"
#include "framework/docview/DocHost.h"
#include "framework/window/Message.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

class DocTemplate;
class Document;
class RecentFileList;
class Window;

class Application : public DocHost {
public:
    // `appName` is the title of message boxes and frames; empty: the program's file name.
    explicit Application(std::string_view appName = {});
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // InitInstance; when it answers true, the event loop until the main window closes or
    // the program quits; then ExitInstance, whose answer is the exit code.
    int Run();
    virtual bool InitInstance() { return true; }
    virtual int ExitInstance();
    // Called when the event loop has nothing to do; answers true to be called again (count
    // rises) before waiting. The default updates the main frame's toolbar and status bar.
    virtual bool OnIdle(long count);
    // Runs idle processing until OnIdle answers false (tests, and programs that pump themselves).
    void RunIdle();
    // Sees every key-down and button-down before its window; true consumes it. The default
    // lets a splash window take the first press.
    virtual bool PreTranslateMessage(Message& msg, Window* target);

    const std::string& AppName() const { return appName_; }
    // The main window and how it is first shown are the host's (DocHost.h).

    // Documents.
    DocTemplate* AddDocTemplate(std::unique_ptr<DocTemplate> docTemplate);
    const std::vector<std::unique_ptr<DocTemplate>>& DocTemplates() const { return templates_; }
    virtual Document* OpenDocumentFile(const std::string& path);
    bool SaveAllModified() override;
    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();
    // ID_FILE_PRINT_SETUP: the print dialog chooses the program's printer (AppPrinterSettings).
    void OnFilePrintSetup();
    // Shows the open or save dialog with the templates' filters; false when cancelled.
    bool DoPromptFileName(std::string& fileName, unsigned titleId, unsigned flags, bool open,
                          DocTemplate* docTemplate);

    // The command line (arguments without the program name); tests may set it.
    std::vector<std::string> Arguments() const;
    void SetArguments(std::vector<std::string> args);
    void ParseCommandLine(CommandLineInfo& info) const;
    // New, open or print as the command line says; false when it failed.
    virtual bool ProcessShellCommand(CommandLineInfo& info);

    // Profile and recent files (the profile itself lives in Profile.h).
    void SetRegistryKey(std::string_view registryKey);
    void LoadStdProfileSettings(unsigned maxRecentFiles = 4);
    void AddToRecentFileList(const std::string& path) override;
    RecentFileList* GetRecentFileList() const override { return recentFiles_.get(); }
    int GetProfileInt(std::string_view section, std::string_view entry, int defaultValue) const;
    bool WriteProfileInt(std::string_view section, std::string_view entry, int value);
    std::string GetProfileString(std::string_view section, std::string_view entry,
                                 std::string_view defaultValue = {}) const;
    bool WriteProfileString(std::string_view section, std::string_view entry,
                            std::string_view value);

private:
    void OpenRecentFile(unsigned id);
    void InstallIdleHook();

    std::string appName_;
    std::vector<std::unique_ptr<DocTemplate>> templates_;
    std::unique_ptr<RecentFileList> recentFiles_;
    std::vector<std::string> args_;
    bool argsSet_ = false;
    struct IdleHook;
    std::unique_ptr<IdleHook> idle_;
};

// The application object, or null when the program has none (tests of single windows).
Application* GetApp();

// The wait cursor over the whole program while an operation runs; calls nest.
void BeginWaitCursor();
void EndWaitCursor();
bool IsWaitCursorShown();
class WaitCursor {
public:
    WaitCursor() { BeginWaitCursor(); }
    ~WaitCursor() { EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace fw
