#include "framework/app/Application.h"

#include "framework/base/AppName.h"
#include "framework/base/CommandIds.h"
#include "framework/dialogs/FileDialog.h"
#include "framework/docview/DocTemplate.h"
#include "framework/docview/FrameWnd.h"
#include "framework/docview/View.h"
#include "framework/persist/FrameworkTexts.h"
#include "framework/persist/Profile.h"
#include "framework/persist/RecentFileList.h"
#include "framework/printing/PrinterSettings.h"
#include "framework/printing/Printing.h"
#include "framework/window/MessageFilter.h"
#include "framework/window/SplashWindow.h"
#include "framework/window/WindowPrivate.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QPrinter>

namespace fw {
namespace {

Application* g_app = nullptr;
int g_waitCount = 0;

}  // namespace

Application* GetApp() {
    return g_app;
}

struct Application::IdleHook {
    QMetaObject::Connection connection;
    bool running = false;
};

Application::Application(std::string_view appName) : idle_(std::make_unique<IdleHook>()) {
    g_app = this;
    appName_ = std::string(appName);
    if (appName_.empty())
        appName_ = FrameworkString(AFX_IDS_APP_TITLE);
    if (appName_.empty())
        appName_ = QCoreApplication::applicationName().toStdString();
    SetApplicationName(appName_);
    detail::EnsureAppHooks();
    SetMessageFilter(
        [this](Message& msg, Window* target) { return PreTranslateMessage(msg, target); });
    MapCommand(ID_FILE_NEW, [this] { OnFileNew(); });
    MapCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
    MapCommand(ID_APP_EXIT, [this] { OnAppExit(); });
    MapCommand(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
    MapCommandRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST,
                    [this](unsigned id) { OpenRecentFile(id); });
    InstallIdleHook();
}

Application::~Application() {
    QObject::disconnect(idle_->connection);
    templates_.clear();
    if (g_app == this) {
        g_app = nullptr;
        SetMessageFilter(nullptr);
        SetApplicationName({});
    }
}

int Application::Run() {
    if (InitInstance() && GetMainWnd())
        QCoreApplication::exec();
    return ExitInstance();
}

int Application::ExitInstance() {
    if (recentFiles_)
        recentFiles_->WriteList(AppProfile());
    return 0;
}

void Application::InstallIdleHook() {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher)
        return;
    idle_->connection = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                                         [this] { RunIdle(); });
}

void Application::RunIdle() {
    if (idle_->running)
        return;
    idle_->running = true;
    for (long count = 0; count < 1000 && OnIdle(count); ++count) {
    }
    idle_->running = false;
}

bool Application::OnIdle(long count) {
    if (count == 0) {
        if (auto* frame = qobject_cast<FrameWnd*>(GetMainWnd()))
            frame->OnIdleUpdateCmdUI();
    }
    return false;
}

bool Application::PreTranslateMessage(Message& msg, Window*) {
    return SplashWindow::PreTranslateAppMessage(msg);
}

DocTemplate* Application::AddDocTemplate(std::unique_ptr<DocTemplate> docTemplate) {
    templates_.push_back(std::move(docTemplate));
    return templates_.back().get();
}

Document* Application::OpenDocumentFile(const std::string& path) {
    if (templates_.empty())
        return nullptr;
    DocTemplate* chosen = templates_.front().get();
    for (const auto& t : templates_) {
        if (t->MatchesExtension(path)) {
            chosen = t.get();
            break;
        }
    }
    return chosen->OpenDocumentFile(&path);
}

bool Application::SaveAllModified() {
    for (const auto& t : templates_) {
        if (!t->SaveAllModified())
            return false;
    }
    return true;
}

void Application::OnFileNew() {
    if (!templates_.empty())
        templates_.front()->OpenDocumentFile(nullptr);
}

void Application::OnFileOpen() {
    std::string name;
    if (!DoPromptFileName(name, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, true,
                          nullptr)) {
        return;
    }
    OpenDocumentFile(name);
}

void Application::OnFilePrintSetup() {
    QPrinter printer;
    AppPrinterSettings().ApplyTo(printer);
    PrintInfo info;
    info.directPrint = false;
    if (RunPrintDialog(printer, info, GetMainWnd()))
        AppPrinterSettings() = PrinterSettings::FromPrinter(printer);
}

void Application::OnAppExit() {
    if (GetMainWnd())
        GetMainWnd()->SendMessage(WM_CLOSE);
}

bool Application::DoPromptFileName(std::string& fileName, unsigned titleId, unsigned flags,
                                   bool open, DocTemplate* docTemplate) {
    std::string filter;
    std::string ext;
    if (docTemplate) {
        filter = docTemplate->FilterText();
        docTemplate->GetDocString(ext, DocTemplate::filterExt);
    } else if (!templates_.empty()) {
        filter = templates_.front()->FilterText();
        templates_.front()->GetDocString(ext, DocTemplate::filterExt);
    }
    FileDialog dlg(open, ext, fileName, flags, filter, GetMainWnd());
    dlg.SetTitle(FrameworkString(titleId));
    if (dlg.DoModal() != IDOK)
        return false;
    fileName = dlg.GetPathName();
    return true;
}

void Application::OpenRecentFile(unsigned id) {
    if (!recentFiles_)
        return;
    const std::size_t index = id - ID_FILE_MRU_FILE1;
    if (index >= recentFiles_->Size())
        return;
    const std::string path = (*recentFiles_)[index];
    // A file that no longer opens leaves the list.
    if (!OpenDocumentFile(path))
        recentFiles_->Remove(index);
}

std::vector<std::string> Application::Arguments() const {
    if (argsSet_)
        return args_;
    std::vector<std::string> out;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i) out.push_back(all[i].toStdString());
    return out;
}

void Application::SetArguments(std::vector<std::string> args) {
    args_ = std::move(args);
    argsSet_ = true;
}

void Application::ParseCommandLine(CommandLineInfo& info) const {
    fw::ParseCommandLine(Arguments(), info);
}

bool Application::ProcessShellCommand(CommandLineInfo& info) {
    switch (info.shellCommand) {
        case CommandLineInfo::FileNew:
            if (!OnCmdMsg(ID_FILE_NEW, 0, CmdAction::Execute, nullptr))
                OnFileNew();
            return GetMainWnd() != nullptr;
        case CommandLineInfo::FileOpen:
            return OpenDocumentFile(info.fileName) != nullptr;
        case CommandLineInfo::FilePrint:
        case CommandLineInfo::FilePrintTo: {
            SetStartShowCommand(-1);  // print without showing the window
            if (!OpenDocumentFile(info.fileName))
                return false;
            if (auto* frame = qobject_cast<FrameWnd*>(GetMainWnd())) {
                frame->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
                frame->SendMessage(WM_CLOSE);
            }
            return false;  // the program ends after printing
        }
        case CommandLineInfo::AppRegister:
        case CommandLineInfo::AppUnregister:
            return false;  // nothing to register here; the program ends
        case CommandLineInfo::FileDDE:
        case CommandLineInfo::FileNothing:
            return true;
    }
    return true;
}

void Application::SetRegistryKey(std::string_view registryKey) {
    fw::SetRegistryKey(registryKey, appName_);
}

void Application::LoadStdProfileSettings(unsigned maxRecentFiles) {
    recentFiles_.reset();
    if (maxRecentFiles == 0)
        return;
    recentFiles_ = std::make_unique<RecentFileList>(maxRecentFiles);
    recentFiles_->ReadList(AppProfile());
}

void Application::AddToRecentFileList(const std::string& path) {
    if (!recentFiles_)
        return;
    recentFiles_->Add(path);
    // Written at once as well as at exit, so a crash does not lose it.
    recentFiles_->WriteList(AppProfile());
}

int Application::GetProfileInt(std::string_view section, std::string_view entry,
                               int defaultValue) const {
    return AppProfile().GetProfileInt(section, entry, defaultValue);
}

bool Application::WriteProfileInt(std::string_view section, std::string_view entry, int value) {
    return AppProfile().WriteProfileInt(section, entry, value);
}

std::string Application::GetProfileString(std::string_view section, std::string_view entry,
                                          std::string_view defaultValue) const {
    return AppProfile().GetProfileString(section, entry, defaultValue);
}

bool Application::WriteProfileString(std::string_view section, std::string_view entry,
                                     std::string_view value) {
    return AppProfile().WriteProfileString(section, entry, value);
}

void BeginWaitCursor() {
    if (g_waitCount++ == 0)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void EndWaitCursor() {
    if (g_waitCount == 0)
        return;
    if (--g_waitCount == 0)
        QGuiApplication::restoreOverrideCursor();
}

bool IsWaitCursorShown() {
    return g_waitCount > 0;
}

}  // namespace fw
