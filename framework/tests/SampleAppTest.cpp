// A small document program built on the framework, as the suite's programs are: an application
// object, a single-document template with a document, a frame and a view, menus, accelerators,
// a toolbar and a status bar. The tests drive it through the File commands.
#include "framework/app/Application.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/StatusBar.h"
#include "framework/controls/ToolBar.h"
#include "framework/dialogs/FileDialog.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/docview/DocTemplate.h"
#include "framework/persist/Archive.h"
#include "framework/persist/Profile.h"
#include "framework/persist/RecentFileList.h"
#include "framework/persist/StringTable.h"
#include "framework/printing/PrinterSettings.h"
#include "framework/printing/Printing.h"
#include "framework/tests/RecordingWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QEventLoop>
#include <QMenu>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>

namespace fw {
namespace {

constexpr unsigned kTemplateId = 128;
constexpr unsigned ID_NOTE_STAMP = 32771;
constexpr unsigned ID_NOTE_UNHANDLED = 32772;
constexpr unsigned ID_INDICATOR_LENGTH = 59142;

// The document: one line of text, stored as a string in the archive.
class NoteDoc : public Document {
public:
    std::string text;
    void DeleteContents() override { text.clear(); }
    void Serialize(Archive& ar) override {
        if (ar.IsStoring()) {
            ar << text;
        } else {
            ar >> text;
        }
    }
};

// The view: shows the text, stamps it on a command and counts its length in a status pane.
class NoteView : public View {
public:
    NoteView() {
        MapCommand(ID_NOTE_STAMP, [this] {
            Doc().text += "*";
            Doc().SetModifiedFlag();
            Doc().UpdateAllViews(nullptr);
        });
        MapUpdate(ID_NOTE_STAMP, [this](CmdUI& ui) { ui.SetCheck(Doc().text.size() % 2); });
        MapUpdate(ID_INDICATOR_LENGTH,
                  [this](CmdUI& ui) { ui.SetText("Length " + std::to_string(Doc().text.size())); });
    }
    NoteDoc& Doc() { return static_cast<NoteDoc&>(*GetDocument()); }
    int draws = 0;

protected:
    void OnDraw(DeviceContext& dc) override {
        ++draws;
        Rect r = GetClientRect();
        dc.DrawText(Doc().text, r, DT_LEFT | DT_TOP | DT_NOPREFIX);
    }
};

class NoteFrame : public FrameWnd {
protected:
    int OnCreate() override {
        SetMenu({MenuDef::Popup(
                     "&File",
                     {MenuDef::Item("&New\tCtrl+N", ID_FILE_NEW),
                      MenuDef::Item("&Open...", ID_FILE_OPEN), MenuDef::Item("&Save", ID_FILE_SAVE),
                      MenuDef::Item("Save &As...", ID_FILE_SAVE_AS), MenuDef::Separator(),
                      MenuDef::Item("Recent File", ID_FILE_MRU_FILE1),
                      MenuDef::Item("E&xit", ID_APP_EXIT)}),
                 MenuDef::Popup("&Note", {MenuDef::Item("&Stamp", ID_NOTE_STAMP),
                                          MenuDef::Item("&Nothing", ID_NOTE_UNHANDLED)})});
        SetAccelerators(
            {{FVIRTKEY | FCONTROL, 'N', ID_FILE_NEW}, {FVIRTKEY | FCONTROL, 'T', ID_NOTE_STAMP}});
        CreateToolBar({{ID_FILE_NEW}, {ID_FILE_OPEN}, {0}, {ID_NOTE_STAMP}});
        CreateStatusBar({ID_SEPARATOR, ID_INDICATOR_LENGTH});
        return 0;
    }
};

class NoteApp : public Application {
public:
    NoteApp() : Application("Notes") {}
    bool InitInstance() override {
        LoadStdProfileSettings(4);
        AddDocTemplate(std::make_unique<SingleDocTemplate>(
            kTemplateId, [] { return std::make_unique<NoteDoc>(); },
            [] { return std::make_unique<NoteFrame>(); },
            [] { return std::make_unique<NoteView>(); }));
        CommandLineInfo info;
        ParseCommandLine(info);
        return ProcessShellCommand(info);
    }
};

class SampleApp : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        SetAppProfile(Profile::InIniFile(Path("notes.ini")));
        SetStrings({{kTemplateId, "Notes\nNote\nNote\nNote files (*.note)\n.note\nNotes.Doc\nNote"},
                    {ID_FILE_NEW, "Create a new note\nNew"},
                    {ID_FILE_OPEN, "Open a note\nOpen"},
                    {ID_NOTE_STAMP, "Add a star\nStamp"},
                    {ID_INDICATOR_LENGTH, "Length 00000"}});
        app.SetArguments({});
        ASSERT_TRUE(app.InitInstance());
        frame = qobject_cast<FrameWnd*>(app.GetMainWnd());
        ASSERT_NE(frame, nullptr);
        view = static_cast<NoteView*>(frame->GetActiveView());
        previousDialog = SetFileDialogHook([this](const FileDialogRequest& r) {
            asked.push_back(r);
            return std::optional<std::optional<std::string>>(nextFile);
        });
    }
    void TearDown() override {
        SetFileDialogHook(std::move(previousDialog));
        ClearStrings();
    }
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    NoteDoc& Doc() { return view->Doc(); }

    QTemporaryDir dir;
    NoteApp app;
    FrameWnd* frame = nullptr;
    NoteView* view = nullptr;
    std::optional<std::string> nextFile;
    std::vector<FileDialogRequest> asked;
    FileDialogHook previousDialog;
};

TEST_F(SampleApp, NewDocumentShowsFrameWithViewMenusAndBars) {
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->GetWindowText(), "Note - Notes");
    EXPECT_EQ(view->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(frame->GetActiveDocument(), &Doc());
    ASSERT_TRUE(test::PumpUntil([&] { return view->draws > 0; }));

    // Menu items follow their update handlers; an item nobody handles is disabled.
    QAction* stamp = frame->MenuAction(ID_NOTE_STAMP);
    ASSERT_NE(stamp, nullptr);
    stamp->trigger();
    EXPECT_EQ(Doc().text, "*");
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(frame->QueryCommandState(ID_NOTE_STAMP).check(), 1);
    EXPECT_FALSE(*frame->QueryCommandState(ID_NOTE_UNHANDLED).enabled());
    EXPECT_TRUE(*frame->QueryCommandState(ID_FILE_OPEN).enabled());  // the application's

    // The accelerator sends the same command; idle time updates the bars.
    frame->activateWindow();
    ASSERT_TRUE(test::PumpUntil([&] { return frame->isActiveWindow(); }));
    QTest::keyClick(view, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(Doc().text, "**");
    app.RunIdle();
    StatusBar* bar = frame->GetStatusBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetPaneText(bar->CommandToIndex(ID_INDICATOR_LENGTH)), "Length 2");
    EXPECT_EQ(bar->GetPaneText(0), "Ready");
    Rect pane;
    ASSERT_TRUE(bar->GetItemRect(1, pane));
    EXPECT_GT(pane.Width(), 0);
    EXPECT_LE(pane.right, bar->GetClientRect().right);
    ASSERT_NE(frame->GetToolBar()->ActionOf(ID_NOTE_STAMP), nullptr);
    EXPECT_EQ(frame->GetToolBar()->ActionOf(ID_NOTE_STAMP)->toolTip(), "Stamp");
}

TEST_F(SampleApp, SaveAsOpenAndTheRecentFileList) {
    Doc().text = "lamp 12";
    Doc().SetModifiedFlag();
    nextFile = Path("first");  // the dialog adds the extension
    ASSERT_TRUE(frame->ExecuteCommand(ID_FILE_SAVE_AS));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_FALSE(asked[0].open);
    EXPECT_EQ(asked[0].fileName, "Note.note");
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Doc().GetTitle(), "first.note");
    EXPECT_TRUE(std::filesystem::exists(Path("first.note")));
    ASSERT_EQ(app.GetRecentFileList()->Size(), 1u);

    frame->ExecuteCommand(ID_FILE_NEW);
    EXPECT_EQ(Doc().text, "");
    nextFile = Path("first.note");
    frame->ExecuteCommand(ID_FILE_OPEN);
    EXPECT_EQ(Doc().text, "lamp 12");
    EXPECT_EQ(Doc().GetPathName(), Path("first.note"));

    // The recent-file entry opens the file; one that is gone leaves the list.
    frame->ExecuteCommand(ID_FILE_NEW);
    EXPECT_TRUE(frame->ExecuteCommand(ID_FILE_MRU_FILE1));
    EXPECT_EQ(Doc().text, "lamp 12");
    std::filesystem::remove(Path("first.note"));
    frame->ExecuteCommand(ID_FILE_NEW);
    {
        ScopedMessageBoxAnswers boxes({IDOK});
        frame->ExecuteCommand(ID_FILE_MRU_FILE1);
        ASSERT_EQ(boxes.asked.size(), 1u);
        EXPECT_NE(boxes.asked[0].text.find("Failed to open document."), std::string::npos);
    }
    EXPECT_EQ(app.GetRecentFileList()->Size(), 0u);
}

TEST_F(SampleApp, SaveModifiedQuestionGuardsTheTypedText) {
    Doc().text = "do not lose me";
    Doc().SetModifiedFlag();
    {
        ScopedMessageBoxAnswers boxes({IDCANCEL});
        frame->ExecuteCommand(ID_FILE_NEW);
        ASSERT_EQ(boxes.asked.size(), 1u);
        EXPECT_EQ(boxes.asked[0].text, "Save changes to Note?");
        EXPECT_EQ(boxes.asked[0].type & MB_TYPEMASK, MB_YESNOCANCEL);
        EXPECT_EQ(boxes.asked[0].caption, "Notes");
    }
    EXPECT_EQ(Doc().text, "do not lose me");
    {
        // Yes, then the save dialog is cancelled: still nothing is thrown away.
        ScopedMessageBoxAnswers boxes({IDYES});
        nextFile.reset();
        frame->ExecuteCommand(ID_FILE_NEW);
    }
    EXPECT_EQ(Doc().text, "do not lose me");
    {
        ScopedMessageBoxAnswers boxes({IDNO});
        frame->ExecuteCommand(ID_FILE_NEW);
    }
    EXPECT_EQ(Doc().text, "");
}

TEST_F(SampleApp, ACorruptFileIsRefusedAndTheDocumentStaysUsable) {
    std::ofstream(Path("bad.note"), std::ios::binary) << "\xff\xff\xff\xff";
    Doc().text = "kept";
    ScopedMessageBoxAnswers boxes({IDOK});
    EXPECT_EQ(app.OpenDocumentFile(Path("bad.note")), nullptr);
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_NE(boxes.asked[0].text.find("bad.note"), std::string::npos);
    EXPECT_TRUE(Doc().GetPathName().empty());
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(SampleApp, ExitClosesTheMainFrameAndEndsTheLoop) {
    QTimer::singleShot(0, [this] { frame->ExecuteCommand(ID_APP_EXIT); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_EQ(app.GetMainWnd(), nullptr);
}

// Closing the main frame with no loop running (as a test drives it) leaves later loops
// (a modal dialog's) running until they are ended.
TEST_F(SampleApp, ClosingTheMainFrameOutsideALoopDoesNotEndLaterLoops) {
    frame->ExecuteCommand(ID_APP_EXIT);
    EXPECT_EQ(app.GetMainWnd(), nullptr);
    QEventLoop loop;
    bool ranTimer = false;
    QTimer::singleShot(0, [&] {
        ranTimer = true;
        loop.exit(7);
    });
    EXPECT_EQ(loop.exec(), 7);
    EXPECT_TRUE(ranTimer);
}

// A program whose first document cannot be made ends without a main window left behind.
TEST(SampleAppStart, AFailedNewDocumentLeavesNoMainWindow) {
    struct RefusingDoc : NoteDoc {
        bool OnNewDocument() override { return false; }
    };
    struct App : Application {
        bool InitInstance() override {
            AddDocTemplate(std::make_unique<SingleDocTemplate>(
                kTemplateId, [] { return std::make_unique<RefusingDoc>(); },
                [] { return std::make_unique<NoteFrame>(); },
                [] { return std::make_unique<NoteView>(); }));
            CommandLineInfo info;
            return ProcessShellCommand(info);
        }
    } app;
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.GetMainWnd(), nullptr);
}

TEST_F(SampleApp, PrintSetupChoosesTheProgramsPrinter) {
    SetPrintDialogHook([](QPrinter& printer, PrintInfo&, QWidget*) {
        printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    });
    EXPECT_TRUE(frame->ExecuteCommand(ID_FILE_PRINT_SETUP));  // the application's own handler
    SetPrintDialogHook({});
    ASSERT_FALSE(AppPrinterSettings().IsEmpty());
    QPrinter printer;
    AppPrinterSettings().ApplyTo(printer);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    AppPrinterSettings() = PrinterSettings();
}

TEST(CommandLine, FileSwitchesAndEmbedding) {
    struct Case {
        std::vector<std::string> args;
        CommandLineInfo::ShellCommand command;
        std::string file;
        bool splash, embedded, automated;
    };
    const Case cases[] = {
        {{}, CommandLineInfo::FileNew, "", true, false, false},
        {{"net.wov"}, CommandLineInfo::FileOpen, "net.wov", true, false, false},
        {{"/p", "net.wov"}, CommandLineInfo::FilePrint, "net.wov", false, false, false},
        {{"-PT", "net.wov", "lp0", "drv", "port"},
         CommandLineInfo::FilePrintTo,
         "net.wov",
         false,
         false,
         false},
        {{"/Embedding"}, CommandLineInfo::FileNew, "", false, true, false},
        {{"-automation"}, CommandLineInfo::FileNew, "", false, false, true},
        {{"/nologo", "a.wov", "b.wov"}, CommandLineInfo::FileOpen, "a.wov", false, false, false},
        {{"/Unregserver"}, CommandLineInfo::AppUnregister, "", false, false, false},
        {{"/etc/ixo/net.wov"}, CommandLineInfo::FileOpen, "/etc/ixo/net.wov", true, false, false},
    };
    for (const Case& c : cases) {
        CommandLineInfo info;
        ParseCommandLine(c.args, info);
        EXPECT_EQ(info.shellCommand, c.command);
        EXPECT_EQ(info.fileName, c.file);
        EXPECT_EQ(info.showSplash, c.splash);
        EXPECT_EQ(info.runEmbedded, c.embedded);
        EXPECT_EQ(info.runAutomated, c.automated);
    }
    CommandLineInfo printTo;
    ParseCommandLine({"/pt", "f", "printer", "driver", "port"}, printTo);
    EXPECT_EQ(printTo.printerName, "printer");
    EXPECT_EQ(printTo.portName, "port");
}

TEST(WaitCursorTest, NestsAndRestores) {
    EXPECT_FALSE(IsWaitCursorShown());
    {
        WaitCursor outer;
        {
            WaitCursor inner;
            EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        EXPECT_TRUE(IsWaitCursorShown());
    }
    EXPECT_FALSE(IsWaitCursorShown());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// The application sees button-downs before their window and may consume them (a splash window
// that a click only dismisses).
TEST(PreTranslate, ApplicationMayConsumeAClick) {
    struct App : Application {
        int offered = 0;
        bool PreTranslateMessage(Message& m, Window*) override {
            if (m.id != WM_LBUTTONDOWN)
                return false;
            ++offered;
            return true;
        }
    } app;
    test::RecordingWindow w;
    w.only = {WM_LBUTTONDOWN};
    w.Create(nullptr, {0, 0, 50, 50}, 0, WS_VISIBLE);
    QTest::mouseClick(&w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(app.offered, 1);
    EXPECT_TRUE(w.seen.empty());
}

}  // namespace
}  // namespace fw
