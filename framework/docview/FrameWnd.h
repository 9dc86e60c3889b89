// A frame: the top-level window of a document program, with its menu bar, accelerators,
// toolbar, status bar and the view in between.
//
// Commands from the menu, the accelerators and the toolbar arrive as WM_COMMAND and go to the
// active view (and its document) first, then to the frame, then to the application. Menu items
// are enabled, checked and renamed by the update handlers when their menu opens; toolbar
// buttons and status-bar panes at idle time (OnIdleUpdateCmdUI).
#pragma once

#include "framework/base/MenuDef.h"
#include "framework/window/Window.h"

#include <map>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QShortcut;

namespace fw {

class Document;
class StatusBar;
class ToolBar;
class View;
struct ToolButton;

class FrameWnd : public Window {
    Q_OBJECT

public:
    FrameWnd();
    ~FrameWnd() override;

    // Creates the frame as a top-level window (rect in screen coordinates; null: a default).
    bool LoadFrame(std::string_view title, DWORD style = WS_OVERLAPPEDWINDOW,
                   Window* parent = nullptr, const Rect* rect = nullptr);

    // Bars. Each returns false when its part could not be made.
    void SetMenu(const std::vector<MenuDef>& popups);
    QMenuBar* GetMenuBar() const { return menuBar_; }
    // The menu action of a command (tests trigger it); null when no item has the id.
    QAction* MenuAction(unsigned id) const;
    void SetAccelerators(const std::vector<Accelerator>& table);
    bool CreateToolBar(const std::vector<ToolButton>& buttons);
    bool CreateStatusBar(const std::vector<unsigned>& indicators);
    ToolBar* GetToolBar() const { return toolBar_; }
    StatusBar* GetStatusBar() const { return statusBar_.get(); }
    void ShowToolBar(bool show);
    void ShowStatusBar(bool show);

    // The view (child id AFX_IDW_PANE_FIRST); the frame owns it.
    View* SetView(std::unique_ptr<View> view);
    View* GetActiveView() const { return activeView_; }
    void SetActiveView(View* view, bool notify = true);
    Document* GetActiveDocument() const;
    // Sends the initial update to the views and shows the frame.
    void InitialUpdateFrame(Document* document, bool makeVisible = true);
    // Places the bars and the view.
    virtual void RecalcLayout();

    // The text of the status bar's first pane; an id reads its prompt from the string table.
    void SetMessageText(std::string_view text);
    void SetMessageText(unsigned id);
    // Toolbar buttons and status-bar panes follow their update handlers.
    virtual void OnIdleUpdateCmdUI();

    bool OnCmdMsg(unsigned id, unsigned code, CmdAction action, CmdUI* ui) override;

protected:
    LRESULT WindowProc(Message& msg) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnClose() override;
    void OnDestroy() override;
    void OnSetFocus(Window* oldFocus) override;

private:
    void BuildMenu(QMenu* menu, const std::vector<MenuDef>& items);
    void UpdateMenu(QMenu* menu);
    void FillRecentFiles(QMenu* menu);
    void SendCommand(unsigned id, unsigned code);

    QMenuBar* menuBar_ = nullptr;
    ToolBar* toolBar_ = nullptr;
    std::unique_ptr<StatusBar> statusBar_;
    std::unique_ptr<View> view_;
    View* activeView_ = nullptr;
    std::map<unsigned, QAction*> menuActions_;
    std::vector<QShortcut*> shortcuts_;
    // The recent-file placeholder of a menu and the actions that stand in its place.
    std::map<QMenu*, QAction*> mruPlaceholders_;
    std::map<QMenu*, std::vector<QAction*>> mruActions_;
};

}  // namespace fw
