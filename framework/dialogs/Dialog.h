// Dialogs built in code: a derived class makes its controls in CreateControls (positions in
// dialog units, as a template has them), fills and reads them in DoDataExchange, and handles
// their commands with MapCommand / MapControl / MapNotify.
//
// Modal: DoModal runs its own event loop until EndDialog and returns the result (IDOK,
// IDCANCEL, ...). Modeless: Create, then DestroyWindow. Enter presses the default button (IDOK
// unless SetDefID chose another), Escape and the close box mean IDCANCEL. OnOK reads the
// controls back (UpdateData) and ends with IDOK only when every value is valid; a refused
// value has been reported in a message box and its control has the focus.
#pragma once

#include "framework/base/MenuDef.h"
#include "framework/controls/ControlStyles.h"
#include "framework/window/Window.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

class QAction;
class QEventLoop;
class QMenu;
class QMenuBar;

namespace fw {

class Button;
class ComboBox;
class DataExchange;
class Edit;
class IPAddressCtrl;
class ListBox;
class ListView;
class ProgressBar;
class SpinButton;
class Static;
class TabCtrl;

// How a dialog makes a control of class T (Dialog::Add): the style it gets when the caller
// names none, and whether the Tab key stops on it.
template <class T>
struct DialogItem;
template <>
struct DialogItem<Static> {
    static constexpr DWORD kStyle = 0;
    static constexpr bool kTabStop = false;
};
template <>
struct DialogItem<Edit> {
    static constexpr DWORD kStyle = ES_AUTOHSCROLL;
    static constexpr bool kTabStop = true;
};
template <>
struct DialogItem<Button> {
    static constexpr DWORD kStyle = BS_PUSHBUTTON;
    static constexpr bool kTabStop = true;
};
template <>
struct DialogItem<ComboBox> {
    static constexpr DWORD kStyle = CBS_DROPDOWNLIST;
    static constexpr bool kTabStop = true;
};
template <>
struct DialogItem<ListBox> {
    static constexpr DWORD kStyle = LBS_NOTIFY;
    static constexpr bool kTabStop = true;
};
template <>
struct DialogItem<ListView> {
    static constexpr DWORD kStyle = LVS_REPORT;
    static constexpr bool kTabStop = true;
};
template <>
struct DialogItem<SpinButton> {
    static constexpr DWORD kStyle = UDS_SETBUDDYINT | UDS_ALIGNRIGHT;
    static constexpr bool kTabStop = false;
};
template <>
struct DialogItem<ProgressBar> {
    static constexpr DWORD kStyle = 0;
    static constexpr bool kTabStop = false;
};
template <>
struct DialogItem<IPAddressCtrl> {
    static constexpr DWORD kStyle = 0;
    static constexpr bool kTabStop = true;
};
template <>
struct DialogItem<TabCtrl> {
    static constexpr DWORD kStyle = 0;
    static constexpr bool kTabStop = true;
};

// Window classes that dialogs name by class name (a grid window is one): the class's factory
// makes a new window object of it. Registering a name again replaces its factory.
using DialogClassFactory = std::function<std::unique_ptr<Window>()>;
void RegisterDialogClass(std::string_view className, DialogClassFactory factory);
void UnregisterDialogClass(std::string_view className);
bool IsDialogClassRegistered(std::string_view className);

class Dialog : public Window {
    Q_OBJECT

public:
    explicit Dialog(Window* parent = nullptr);
    ~Dialog() override;

    // The caption and the client size in dialog units.
    void SetTemplate(std::string_view title, int widthDu, int heightDu);
    int DoModal();
    bool CreateModeless(Window* parent = nullptr);
    void EndDialog(int result);
    bool IsModal() const { return loop_ != nullptr; }
    int Result() const { return result_; }

    // Moves data between the controls and the members; false when a value was refused.
    bool UpdateData(bool saveAndValidate = true);

    // Dialog units to pixels: a unit is a quarter of the average character width across and
    // an eighth of the font height down, of the font the dialog draws in (its own, else the
    // program's), so a larger desktop font makes a larger dialog.
    Rect MapDialogRect(const Rect& du) const;

    // Controls by id.
    void SetDlgItemText(UINT id, std::string_view text);
    std::string GetDlgItemText(UINT id) const;
    void SetDlgItemInt(UINT id, int value, bool isSigned = true);
    int GetDlgItemInt(UINT id, bool* ok = nullptr, bool isSigned = true) const;
    void CheckDlgButton(UINT id, int state);
    int IsDlgButtonChecked(UINT id) const;
    void CheckRadioButton(UINT first, UINT last, UINT checked);
    UINT GetCheckedRadioButton(UINT first, UINT last) const;
    void GotoDlgCtrl(Window* control);
    void SetDefID(UINT id);
    UINT GetDefID() const { return defId_; }
    // Tips for the controls: the string table's text under each control's id.
    void EnableToolTips(bool enable = true);

    // A menu bar across the top of the dialog. Each item sends its id as WM_COMMAND through the
    // dialog's command routing (MapCommand); when a popup opens, the update handlers enable,
    // check and rename its items. Set before the window is made (in the constructor or
    // CreateControls): the bar takes the top of the client area, the controls move below it
    // and the dialog grows by its height.
    void SetMenu(std::vector<MenuDef> popups);
    // The item of a command (tests trigger it); null when no item has the id or no bar is shown.
    QAction* MenuAction(unsigned id) const;

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    // Makes the controls; called once when the dialog window is made.
    virtual void CreateControls() {}
    virtual void DoDataExchange(DataExchange& dx);

    // Makes a control of class T that the dialog owns, its rectangle in dialog units and its
    // style DialogItem<T>::kStyle unless the caller names one; the text comes first for the
    // controls that take one:
    //   Add<Edit>(IDC_NAME, {7, 20, 100, 32});
    //   Add<Button>(IDOK, "OK", {7, 40, 57, 54}, BS_DEFPUSHBUTTON);
    template <class T>
    T* Add(UINT id, const Rect& du, DWORD style = DialogItem<T>::kStyle) {
        auto c = std::make_unique<T>();
        c->Create(style | ItemStyle<T>(style), MapDialogRect(du), this, id);
        return AddWindow(std::move(c));
    }
    template <class T>
    T* Add(UINT id, std::string_view text, const Rect& du, DWORD style = DialogItem<T>::kStyle) {
        auto c = std::make_unique<T>();
        c->Create(text, style | ItemStyle<T>(style), MapDialogRect(du), this, id);
        if constexpr (std::is_same_v<T, Button>) {
            if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                defId_ = id;
        }
        return AddWindow(std::move(c));
    }
    // Makes a control of a registered window class, as a dialog description names it; the
    // dialog owns it. Null when nobody registered the class name.
    Window* AddByClass(std::string_view className, UINT id, const Rect& du,
                       DWORD style = WS_TABSTOP);
    // Takes any other window (a grid) as a control of the dialog.
    template <class T>
    T* AddWindow(std::unique_ptr<T> window) {
        T* raw = window.get();
        owned_.push_back(std::move(window));
        return raw;
    }

    LRESULT WindowProc(Message& msg) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnClose() override;
    void OnDestroy() override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    bool MakeWindow(Window* parent, bool modal);
    void BuildMenuBar();
    void FillMenu(QMenu* menu, const std::vector<MenuDef>& items);
    void UpdateMenu(QMenu* menu);
    // What every control made by Add gets besides its style: visible, and a Tab stop where
    // DialogItem says so (a group box is a frame, never a stop).
    template <class T>
    static DWORD ItemStyle(DWORD style) {
        bool tabStop = DialogItem<T>::kTabStop;
        if constexpr (std::is_same_v<T, Button>)
            tabStop = (style & BS_TYPEMASK) != BS_GROUPBOX;
        return WS_VISIBLE | (tabStop ? WS_TABSTOP : 0);
    }

    std::string title_;
    int widthDu_ = 200;
    int heightDu_ = 100;
    int result_ = 0;
    bool ended_ = false;
    UINT defId_ = 1;  // IDOK
    Window* owner_ = nullptr;
    QEventLoop* loop_ = nullptr;
    std::vector<std::unique_ptr<Window>> owned_;
    std::vector<MenuDef> menu_;
    QMenuBar* menuBar_ = nullptr;
    std::vector<std::pair<unsigned, QAction*>> menuActions_;
};

}  // namespace fw
