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

#include "framework/controls/ControlStyles.h"
#include "framework/window/Window.h"

#include <memory>
#include <string>
#include <vector>

class QEventLoop;

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

    // Dialog units to pixels (a unit is a quarter of the average character width across and
    // an eighth of the font height down).
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

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    // Makes the controls; called once when the dialog window is made.
    virtual void CreateControls() {}
    virtual void DoDataExchange(DataExchange& dx);

    // Control makers (rectangles in dialog units); the dialog owns what they make.
    Static* AddStatic(UINT id, std::string_view text, const Rect& du, DWORD style = 0);
    Edit* AddEdit(UINT id, const Rect& du, DWORD style = ES_AUTOHSCROLL);
    Button* AddButton(UINT id, std::string_view text, const Rect& du, DWORD style = BS_PUSHBUTTON);
    ComboBox* AddComboBox(UINT id, const Rect& du, DWORD style = CBS_DROPDOWNLIST);
    ListBox* AddListBox(UINT id, const Rect& du, DWORD style = LBS_NOTIFY);
    ListView* AddListView(UINT id, const Rect& du, DWORD style = LVS_REPORT);
    SpinButton* AddSpinButton(UINT id, const Rect& du,
                              DWORD style = UDS_SETBUDDYINT | UDS_ALIGNRIGHT);
    ProgressBar* AddProgressBar(UINT id, const Rect& du, DWORD style = 0);
    IPAddressCtrl* AddIPAddress(UINT id, const Rect& du, DWORD style = 0);
    TabCtrl* AddTabCtrl(UINT id, const Rect& du, DWORD style = 0);
    // Takes any other window (a grid) as a control of the dialog.
    template <class T>
    T* AddWindow(std::unique_ptr<T> window) {
        T* raw = window.get();
        owned_.push_back(std::move(window));
        return raw;
    }

    LRESULT WindowProc(Message& msg) override;
    void OnClose() override;
    void OnDestroy() override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    bool MakeWindow(Window* parent, bool modal);
    template <class T>
    T* Own(std::unique_ptr<T> control);

    std::string title_;
    int widthDu_ = 200;
    int heightDu_ = 100;
    int result_ = 0;
    bool ended_ = false;
    UINT defId_ = 1;  // IDOK
    Window* owner_ = nullptr;
    QEventLoop* loop_ = nullptr;
    std::vector<std::unique_ptr<Window>> owned_;
};

}  // namespace fw
