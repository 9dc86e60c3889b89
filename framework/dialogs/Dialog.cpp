#include "framework/dialogs/Dialog.h"

#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/ComboBox.h"
#include "framework/controls/Edit.h"
#include "framework/controls/IPAddressCtrl.h"
#include "framework/controls/ListBox.h"
#include "framework/controls/ListView.h"
#include "framework/controls/ProgressBar.h"
#include "framework/controls/SpinButton.h"
#include "framework/controls/Static.h"
#include "framework/controls/TabCtrl.h"
#include "framework/controls/ToolBar.h"
#include "framework/dialogs/DataExchange.h"
#include "framework/drawing/DeviceContext.h"
#include "framework/persist/StringTable.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>

#include <cctype>
#include <map>

namespace fw {
namespace {

// The dialog base units of the framework's dialog font.
// Dialog base units of a font, as a dialog template's font gives them: across, the average
// width of the 52 letters; down, the font's height.
Size BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {std::max(1, (letters / 26 + 1) / 2), std::max(1, metrics.height())};
}

// Class names compare without regard to case, as window class names always have.
std::string ClassKey(std::string_view name) {
    std::string key(name);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

std::map<std::string, DialogClassFactory>& DialogClasses() {
    static std::map<std::string, DialogClassFactory> classes;
    return classes;
}

}  // namespace

void RegisterDialogClass(std::string_view className, DialogClassFactory factory) {
    DialogClasses()[ClassKey(className)] = std::move(factory);
}

void UnregisterDialogClass(std::string_view className) {
    DialogClasses().erase(ClassKey(className));
}

bool IsDialogClassRegistered(std::string_view className) {
    return DialogClasses().count(ClassKey(className)) != 0;
}

Window* Dialog::AddByClass(std::string_view className, UINT id, const Rect& du, DWORD style) {
    auto it = DialogClasses().find(ClassKey(className));
    if (it == DialogClasses().end() || !it->second)
        return nullptr;
    std::unique_ptr<Window> window = it->second();
    if (!window)
        return nullptr;
    if (!window->Create(this, MapDialogRect(du), id, style | WS_CHILD | WS_VISIBLE))
        return nullptr;
    return AddWindow(std::move(window));
}

Dialog::Dialog(Window* parent) : owner_(parent) {
    MapCommand(IDOK, [this] { OnOK(); });
    MapCommand(IDCANCEL, [this] { OnCancel(); });
}

Dialog::~Dialog() {
    if (loop_)
        loop_->quit();
    owned_.clear();
}

void Dialog::SetTemplate(std::string_view title, int widthDu, int heightDu) {
    title_ = std::string(title);
    widthDu_ = widthDu;
    heightDu_ = heightDu;
}

Rect Dialog::MapDialogRect(const Rect& du) const {
    // The font the dialog and its controls really draw in, so the layout holds at any size.
    const Size base = BaseUnitsOf(font());
    return {du.left * base.cx / 4, du.top * base.cy / 8, du.right * base.cx / 4,
            du.bottom * base.cy / 8};
}

bool Dialog::MakeWindow(Window* parent, bool modal) {
    if (IsCreated())
        return true;
    ended_ = false;
    result_ = 0;
    const Rect size = MapDialogRect({0, 0, widthDu_, heightDu_});
    Rect r{0, 0, size.Width(), size.Height()};
    // Centred over the owner, else on the screen.
    QRect over = parent ? parent->window()->geometry()
                        : (QApplication::primaryScreen() ? QApplication::primaryScreen()->geometry()
                                                         : QRect(0, 0, 800, 600));
    r.Offset(over.center().x() - size.Width() / 2, over.center().y() - size.Height() / 2);
    SetWindowText(title_);
    if (!Create(parent, r, 0, WS_POPUP | WS_CAPTION | WS_SYSMENU))
        return false;
    setWindowFlag(Qt::Dialog, true);
    if (modal)
        setWindowModality(Qt::ApplicationModal);
    CreateControls();
    BuildMenuBar();
    QPointer<Dialog> alive(this);
    const bool defaultFocus = SendMessage(WM_INITDIALOG) != 0;
    if (!alive)
        return false;
    if (ended_)
        return true;
    ShowWindow(SW_SHOW);
    activateWindow();
    if (defaultFocus) {
        for (Window* w : findChildren<Window*>()) {
            if ((w->GetStyle() & WS_TABSTOP) && w->isEnabled() && w->isVisibleTo(this)) {
                GotoDlgCtrl(w);
                break;
            }
        }
    }
    return true;
}

int Dialog::DoModal() {
    CancelModeForModal();
    if (!MakeWindow(owner_, true))
        return -1;
    if (!ended_) {
        QEventLoop loop;
        loop_ = &loop;
        loop.exec(QEventLoop::DialogExec);
        loop_ = nullptr;
    }
    DestroyWindow();
    return result_;
}

bool Dialog::CreateModeless(Window* parent) {
    owner_ = parent;
    return MakeWindow(parent, false);
}

void Dialog::EndDialog(int result) {
    result_ = result;
    ended_ = true;
    if (loop_) {
        loop_->quit();
    } else if (IsCreated() && isVisible()) {
        DestroyWindow();
    }
}

bool Dialog::UpdateData(bool saveAndValidate) {
    DataExchange dx(*this, saveAndValidate);
    try {
        DoDataExchange(dx);
    } catch (const DataExchangeFailure&) {
        return false;
    }
    return true;
}

void Dialog::DoDataExchange(DataExchange&) {}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::OnOK() {
    if (!UpdateData(true))
        return;
    EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

LRESULT Dialog::WindowProc(Message& msg) {
    if (msg.id == WM_INITDIALOG)
        return OnInitDialog() ? 1 : 0;
    return Window::WindowProc(msg);
}

// The controls go with the window, so that the next DoModal makes them afresh.
void Dialog::OnDestroy() {
    owned_.clear();
    menuActions_.clear();
    delete menuBar_;  // made afresh with the controls
    menuBar_ = nullptr;
}

void Dialog::SetMenu(std::vector<MenuDef> popups) {
    menu_ = std::move(popups);
}

QAction* Dialog::MenuAction(unsigned id) const {
    for (const auto& [itemId, action] : menuActions_) {
        if (itemId == id)
            return action;
    }
    return nullptr;
}

void Dialog::BuildMenuBar() {
    if (menu_.empty())
        return;
    auto* bar = new QMenuBar(this);
    bar->setNativeMenuBar(false);
    menuBar_ = bar;
    for (const MenuDef& popup : menu_)
        FillMenu(bar->addMenu(QString::fromStdString(popup.text)), popup.items);
    const int height = bar->sizeHint().height();
    bar->setGeometry(0, 0, width(), height);
    for (Window* child : findChildren<Window*>(Qt::FindDirectChildrenOnly))
        child->move(child->x(), child->y() + height);
    resize(width(), this->height() + height);
    bar->show();
}

void Dialog::FillMenu(QMenu* menu, const std::vector<MenuDef>& items) {
    for (const MenuDef& item : items) {
        if (item.separator) {
            menu->addSeparator();
        } else if (!item.items.empty()) {
            FillMenu(menu->addMenu(QString::fromStdString(item.text)), item.items);
        } else {
            QAction* action = menu->addAction(QString::fromStdString(item.text));
            const unsigned id = item.id;
            menuActions_.emplace_back(id, action);
            connect(action, &QAction::triggered, this, [this, id] {
                SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(id), 0), 0);
            });
        }
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu); });
}

void Dialog::UpdateMenu(QMenu* menu) {
    for (const auto& [id, action] : menuActions_) {
        if (!menu->actions().contains(action))
            continue;
        const CmdUI ui = QueryCommandState(id);
        action->setEnabled(ui.enabled().value_or(true));
        if (ui.check()) {
            action->setCheckable(true);
            action->setChecked(*ui.check() != 0);
        }
        if (ui.text())
            action->setText(QString::fromStdString(*ui.text()));
    }
}

void Dialog::OnSize(UINT type, int cx, int cy) {
    Window::OnSize(type, cx, cy);
    if (menuBar_)
        menuBar_->setGeometry(0, 0, cx, menuBar_->sizeHint().height());
}

void Dialog::OnClose() {
    SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void Dialog::keyPressEvent(QKeyEvent* e) {
    const bool plain = !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (plain && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
        // The focused push button, else the default one.
        UINT id = defId_;
        // (Only a button of this dialog: the focus may still lie in the window that opened it.)
        auto* b = qobject_cast<Button*>(Window::FromWidget(QApplication::focusWidget()));
        if (b && isAncestorOf(b)) {
            if (b->Kind() == BS_PUSHBUTTON || b->Kind() == BS_DEFPUSHBUTTON)
                id = b->GetDlgCtrlID();
        }
        Window* w = GetDlgItem(id);
        if (!w || w->isEnabled()) {
            SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(id), BN_CLICKED),
                        w ? static_cast<LPARAM>(w->Handle().value) : 0);
        }
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Space && (e->modifiers() & Qt::AltModifier)) {
        ShowSystemMenu(ClientToScreen(Point{0, 0}));
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_F1 && plain) {
        SendMessage(WM_HELP);
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        e->accept();
        return;
    }
    Window::keyPressEvent(e);
}

void Dialog::SetDlgItemText(UINT id, std::string_view text) {
    if (Window* w = GetDlgItem(id))
        w->SetWindowText(text);
}

std::string Dialog::GetDlgItemText(UINT id) const {
    Window* w = GetDlgItem(id);
    return w ? w->GetWindowText() : std::string();
}

void Dialog::SetDlgItemInt(UINT id, int value, bool isSigned) {
    SetDlgItemText(id,
                   isSigned ? std::to_string(value) : std::to_string(static_cast<unsigned>(value)));
}

int Dialog::GetDlgItemInt(UINT id, bool* ok, bool isSigned) const {
    const std::string text = GetDlgItemText(id);
    bool good = false;
    const QString t = QString::fromStdString(text).trimmed();
    const qlonglong v = t.toLongLong(&good);
    good = good && (isSigned ? (v >= INT32_MIN && v <= INT32_MAX) : (v >= 0 && v <= UINT32_MAX));
    if (ok)
        *ok = good;
    return good ? static_cast<int>(v) : 0;
}

void Dialog::CheckDlgButton(UINT id, int state) {
    if (auto* b = qobject_cast<Button*>(GetDlgItem(id)))
        b->SetCheck(state);
}

int Dialog::IsDlgButtonChecked(UINT id) const {
    auto* b = qobject_cast<Button*>(GetDlgItem(id));
    return b ? b->GetCheck() : 0;
}

void Dialog::CheckRadioButton(UINT first, UINT last, UINT checked) {
    for (UINT id = first; id <= last; ++id)
        CheckDlgButton(id, id == checked ? BST_CHECKED : BST_UNCHECKED);
}

UINT Dialog::GetCheckedRadioButton(UINT first, UINT last) const {
    for (UINT id = first; id <= last; ++id) {
        if (IsDlgButtonChecked(id) == BST_CHECKED)
            return id;
    }
    return 0;
}

void Dialog::GotoDlgCtrl(Window* control) {
    if (!control)
        return;
    control->SetFocus();
    if (auto* e = qobject_cast<Edit*>(control))
        e->SetSel(0, -1);
}

void Dialog::SetDefID(UINT id) {
    if (auto* old = qobject_cast<Button*>(GetDlgItem(defId_)))
        old->SetDefault(false);
    defId_ = id;
    if (auto* b = qobject_cast<Button*>(GetDlgItem(id)))
        b->SetDefault(true);
}

void Dialog::EnableToolTips(bool enable) {
    for (Window* w : findChildren<Window*>()) {
        const UINT id = w->GetDlgCtrlID();
        if (id == 0)
            continue;
        std::string tip = CommandTip(id);
        if (tip.empty())
            tip = LoadString(id);
        QWidget* shown = w->focusProxy() ? w->focusProxy() : w;
        shown->setToolTip(enable ? QString::fromStdString(tip) : QString());
        w->setToolTip(enable ? QString::fromStdString(tip) : QString());
    }
}

}  // namespace fw
