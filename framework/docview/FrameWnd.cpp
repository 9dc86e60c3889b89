#include "framework/docview/FrameWnd.h"

#include "framework/base/CommandIds.h"
#include "framework/controls/StatusBar.h"
#include "framework/controls/ToolBar.h"
#include "framework/docview/DocHost.h"
#include "framework/docview/Document.h"
#include "framework/docview/View.h"
#include "framework/persist/FrameworkTexts.h"
#include "framework/persist/RecentFileList.h"
#include "framework/window/KeyTranslator.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QThread>

namespace fw {
namespace {

QString MenuText(const std::string& text) {
    // "&Open...\tCtrl+O": the part after the tab is shown as the shortcut column.
    return QString::fromStdString(text);
}

}  // namespace

FrameWnd::FrameWnd() {
    setFocusPolicy(Qt::NoFocus);
}

FrameWnd::~FrameWnd() {
    // A frame dropped before it was ever destroyed (a new document that failed) must not stay
    // the program's main window.
    if (DocHost* app = GetDocHost(); app && app->GetMainWnd() == this)
        app->SetMainWnd(nullptr);
    activeView_ = nullptr;
    view_.reset();
}

bool FrameWnd::LoadFrame(std::string_view title, DWORD style, Window* parent, const Rect* rect) {
    const Rect r = rect ? *rect : Rect{100, 100, 900, 700};
    SetWindowText(title);
    return Create(parent, r, 0, style & ~(WS_CHILD | WS_VISIBLE));
}

void FrameWnd::SetMenu(const std::vector<MenuDef>& popups) {
    if (!menuBar_) {
        menuBar_ = new QMenuBar(this);
        menuBar_->setNativeMenuBar(false);
    }
    menuBar_->clear();
    menuActions_.clear();
    mruPlaceholders_.clear();
    mruActions_.clear();
    for (const MenuDef& p : popups) {
        QMenu* m = menuBar_->addMenu(MenuText(p.text));
        BuildMenu(m, p.items);
    }
    RecalcLayout();
}

void FrameWnd::BuildMenu(QMenu* menu, const std::vector<MenuDef>& items) {
    for (const MenuDef& item : items) {
        if (item.separator) {
            menu->addSeparator();
            continue;
        }
        if (!item.items.empty()) {
            BuildMenu(menu->addMenu(MenuText(item.text)), item.items);
            continue;
        }
        QAction* a = menu->addAction(MenuText(item.text));
        const unsigned id = item.id;
        if (id == ID_FILE_MRU_FILE1) {
            mruPlaceholders_[menu] = a;
            a->setEnabled(false);
            continue;
        }
        menuActions_[id] = a;
        connect(a, &QAction::triggered, this, [this, id] { SendCommand(id, 0); });
        connect(a, &QAction::hovered, this, [this, id] { SetMessageText(id); });
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu); });
    connect(menu, &QMenu::aboutToHide, this, [this] { SetMessageText(AFX_IDS_IDLEMESSAGE); });
}

QAction* FrameWnd::MenuAction(unsigned id) const {
    auto it = menuActions_.find(id);
    return it == menuActions_.end() ? nullptr : it->second;
}

void FrameWnd::UpdateMenu(QMenu* menu) {
    if (mruPlaceholders_.count(menu))
        FillRecentFiles(menu);
    for (QAction* a : menu->actions()) {
        for (auto& [id, action] : menuActions_) {
            if (action != a)
                continue;
            const CmdUI ui = QueryCommandState(id);
            a->setEnabled(ui.enabled().value_or(true));
            if (ui.check()) {
                a->setCheckable(true);
                a->setChecked(*ui.check() != 0);
            }
            if (ui.text())
                a->setText(QString::fromStdString(*ui.text()));
        }
    }
}

void FrameWnd::FillRecentFiles(QMenu* menu) {
    QAction* placeholder = mruPlaceholders_[menu];
    for (QAction* old : mruActions_[menu]) {
        menu->removeAction(old);
        old->deleteLater();
    }
    mruActions_[menu].clear();
    RecentFileList* mru = GetDocHost() ? GetDocHost()->GetRecentFileList() : nullptr;
    const std::size_t n = mru ? mru->Size() : 0;
    placeholder->setVisible(n == 0);
    for (std::size_t i = 0; i < n; ++i) {
        auto* a = new QAction(QString::fromStdString(mru->MenuText(i)), menu);
        menu->insertAction(placeholder, a);
        const unsigned id = ID_FILE_MRU_FILE1 + static_cast<unsigned>(i);
        connect(a, &QAction::triggered, this, [this, id] { SendCommand(id, 0); });
        mruActions_[menu].push_back(a);
    }
}

void FrameWnd::SetAccelerators(const std::vector<Accelerator>& table) {
    for (QShortcut* s : shortcuts_) s->deleteLater();
    shortcuts_.clear();
    for (const Accelerator& acc : table) {
        const int key = QtKeyOfVirtualKey(acc.key);
        if (key == 0)
            continue;
        int mods = 0;
        if (acc.flags & FSHIFT)
            mods |= Qt::ShiftModifier;
        if (acc.flags & FCONTROL)
            mods |= Qt::ControlModifier;
        if (acc.flags & FALT)
            mods |= Qt::AltModifier;
        auto* s = new QShortcut(QKeySequence(key | mods), this);
        s->setContext(Qt::WindowShortcut);
        const unsigned id = acc.command;
        connect(s, &QShortcut::activated, this, [this, id] { SendCommand(id, 1); });
        shortcuts_.push_back(s);
    }
}

bool FrameWnd::CreateToolBar(const std::vector<ToolButton>& buttons) {
    if (!toolBar_)
        toolBar_ = new ToolBar(this);
    toolBar_->SetButtons(buttons);
    toolBar_->show();
    RecalcLayout();
    return true;
}

bool FrameWnd::CreateStatusBar(const std::vector<unsigned>& indicators) {
    if (!statusBar_) {
        statusBar_ = std::make_unique<StatusBar>();
        if (!statusBar_->Create(this, AFX_IDW_STATUS_BAR))
            return false;
    }
    if (!statusBar_->SetIndicators(indicators))
        return false;
    SetMessageText(AFX_IDS_IDLEMESSAGE);
    RecalcLayout();
    return true;
}

void FrameWnd::ShowToolBar(bool show) {
    if (toolBar_)
        toolBar_->setVisible(show);
    RecalcLayout();
}

void FrameWnd::ShowStatusBar(bool show) {
    if (statusBar_)
        statusBar_->ShowWindow(show ? SW_SHOW : SW_HIDE);
    RecalcLayout();
}

View* FrameWnd::SetView(std::unique_ptr<View> view) {
    if (activeView_ == view_.get())
        activeView_ = nullptr;
    view_ = std::move(view);
    if (!view_)
        return nullptr;
    const Rect c = GetClientRect();
    view_->Create(this, c, AFX_IDW_PANE_FIRST, WS_CHILD | WS_VISIBLE);
    SetActiveView(view_.get(), false);
    RecalcLayout();
    return view_.get();
}

void FrameWnd::SetActiveView(View* view, bool notify) {
    View* old = activeView_;
    if (old == view)
        return;
    activeView_ = view;
    if (!notify)
        return;
    if (old)
        old->OnActivateView(false, view, old);
    if (view)
        view->OnActivateView(true, view, old);
}

Document* FrameWnd::GetActiveDocument() const {
    return activeView_ ? activeView_->GetDocument() : nullptr;
}

void FrameWnd::InitialUpdateFrame(Document*, bool makeVisible) {
    if (view_)
        view_->OnInitialUpdate();
    if (activeView_)
        activeView_->OnActivateView(true, activeView_, nullptr);
    if (makeVisible) {
        int show = SW_SHOW;
        if (DocHost* app = GetDocHost(); app && app->GetMainWnd() == this) {
            show = app->TakeStartShowCommand();
        }
        if (show >= 0) {
            ShowWindow(show);
            if (activeView_)
                activeView_->SetFocus();
        }
    }
    OnIdleUpdateCmdUI();
}

void FrameWnd::RecalcLayout() {
    const Rect c = GetClientRect();
    int top = c.top;
    int bottom = c.bottom;
    if (menuBar_) {
        const int h = menuBar_->sizeHint().height();
        menuBar_->setGeometry(c.left, top, c.Width(), h);
        top += h;
    }
    if (toolBar_ && toolBar_->isVisibleTo(this)) {
        const int h = toolBar_->sizeHint().height();
        toolBar_->setGeometry(c.left, top, c.Width(), h);
        top += h;
    }
    if (statusBar_ && statusBar_->isVisibleTo(this)) {
        const int h = statusBar_->CalcHeight();
        statusBar_->MoveWindow({c.left, bottom - h, c.right, bottom}, true);
        bottom -= h;
    }
    if (view_)
        view_->MoveWindow({c.left, top, c.right, std::max(top, bottom)}, true);
}

void FrameWnd::SetMessageText(std::string_view text) {
    if (statusBar_)
        statusBar_->SetPaneText(0, text, false);
}

void FrameWnd::SetMessageText(unsigned id) {
    SetMessageText(id == AFX_IDS_IDLEMESSAGE ? FrameworkString(id) : CommandPrompt(id));
}

void FrameWnd::OnIdleUpdateCmdUI() {
    if (toolBar_)
        toolBar_->UpdateButtons(*this);
    if (!statusBar_)
        return;
    for (int i = 0; i < statusBar_->GetCount(); ++i) {
        unsigned id = 0, style = 0;
        int width = 0;
        statusBar_->GetPaneInfo(i, id, style, width);
        if (id == 0)
            continue;
        const CmdUI ui = QueryCommandState(id);
        const bool enabled = ui.enabled().value_or(true);
        const unsigned newStyle = enabled ? (style & ~SBPS_DISABLED) : (style | SBPS_DISABLED);
        if (newStyle != style)
            statusBar_->SetPaneInfo(i, id, newStyle, width);
        if (ui.text())
            statusBar_->SetPaneText(i, *ui.text(), false);
    }
}

bool FrameWnd::OnCmdMsg(unsigned id, unsigned code, CmdAction action, CmdUI* ui) {
    if (activeView_ && activeView_->OnCmdMsg(id, code, action, ui))
        return true;
    if (HandleOwn(id, code, action, ui))
        return true;
    DocHost* app = GetDocHost();
    return app && app->OnCmdMsg(id, code, action, ui);
}

void FrameWnd::SendCommand(unsigned id, unsigned code) {
    SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(id), static_cast<int>(code)), 0);
}

LRESULT FrameWnd::WindowProc(Message& msg) {
    if (msg.id == WM_SETMESSAGESTRING) {
        if (msg.lParam) {
            SetMessageText(std::string_view(reinterpret_cast<const char*>(msg.lParam)));
        } else {
            SetMessageText(static_cast<unsigned>(msg.wParam));
        }
        return 0;
    }
    return Window::WindowProc(msg);
}

void FrameWnd::OnSize(UINT, int, int) {
    RecalcLayout();
}

void FrameWnd::OnClose() {
    DocHost* app = GetDocHost();
    if (app && app->GetMainWnd() == this) {
        if (!app->SaveAllModified())
            return;
    } else if (Document* doc = GetActiveDocument()) {
        if (!doc->SaveModified())
            return;
    }
    DestroyWindow();
}

void FrameWnd::OnDestroy() {
    DocHost* app = GetDocHost();
    if (app && app->GetMainWnd() == this) {
        app->SetMainWnd(nullptr);
        // Ends the running loop; with none running (a test drives the window) there is nothing
        // to end, and an exit now would end every loop started later at once.
        if (QThread::currentThread()->loopLevel() > 0)
            QCoreApplication::exit(0);
    }
}

void FrameWnd::OnSetFocus(Window*) {
    if (activeView_)
        activeView_->SetFocus();
}

}  // namespace fw
