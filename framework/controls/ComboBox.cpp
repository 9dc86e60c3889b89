#include "framework/controls/ComboBox.h"
#include "framework/base/QtText.h"

#include "framework/controls/ListSearch.h"

#include <QComboBox>
#include <QLineEdit>

namespace fw {
namespace {

// Tells the control when its list opens and closes.
class NotifyingCombo final : public QComboBox {
public:
    NotifyingCombo(QWidget* parent, Window* owner) : QComboBox(parent), owner_(owner) {}
    void showPopup() override {
        owner_->NotifyParentCommand(CBN_DROPDOWN);
        QComboBox::showPopup();
        dropped_ = true;
    }
    void hidePopup() override {
        QComboBox::hidePopup();
        if (dropped_) {
            dropped_ = false;
            owner_->NotifyParentCommand(CBN_CLOSEUP);
        }
    }
    bool Dropped() const { return dropped_; }

private:
    Window* owner_;
    bool dropped_ = false;
};

}  // namespace

bool ComboBox::Create(DWORD style, const Rect& rect, Window* parent, UINT id) {
    if (!Window::Create(parent, rect, id, style | WS_CHILD))
        return false;
    combo_ = new NotifyingCombo(this, this);
    const DWORD kind = style & 0x3;
    combo_->setEditable(kind == CBS_DROPDOWN || kind == CBS_SIMPLE);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->setMaxVisibleItems(8);
    if (combo_->lineEdit()) {
        connect(combo_->lineEdit(), &QLineEdit::textEdited, this,
                [this] { NotifyParentCommand(CBN_EDITCHANGE); });
    }
    connect(combo_, &QComboBox::activated, this, [this] {
        if (!settingByCode_)
            NotifyParentCommand(CBN_SELCHANGE);
    });
    SetInner(combo_);
    return true;
}

bool ComboBox::HasEdit() const {
    return combo_ && combo_->isEditable();
}

int ComboBox::AddString(std::string_view text) {
    int index = combo_->count();
    if (GetStyle() & CBS_SORT) {
        const QString t = ToQString(text);
        index = 0;
        while (index < combo_->count() &&
               combo_->itemText(index).compare(t, Qt::CaseInsensitive) <= 0)
            ++index;
    }
    return InsertString(index, text);
}

int ComboBox::InsertString(int index, std::string_view text) {
    if (index < 0 || index > combo_->count())
        index = combo_->count();
    const QSignalBlocker block(combo_);
    const QString editText = combo_->currentText();
    const int sel = combo_->currentIndex();
    combo_->insertItem(index, ToQString(text));
    // Adding items never changes the selection or what the edit field shows.
    if (sel < 0) {
        combo_->setCurrentIndex(-1);
        if (HasEdit())
            combo_->setEditText(editText);
    }
    return index;
}

int ComboBox::DeleteString(int index) {
    if (index < 0 || index >= combo_->count())
        return CB_ERR;
    const QSignalBlocker block(combo_);
    combo_->removeItem(index);
    return combo_->count();
}

void ComboBox::ResetContent() {
    const QSignalBlocker block(combo_);
    combo_->clear();
}

int ComboBox::GetCount() const {
    return combo_->count();
}
int ComboBox::GetCurSel() const {
    return combo_->currentIndex();
}

int ComboBox::SetCurSel(int index) {
    if (index >= combo_->count())
        return CB_ERR;
    settingByCode_ = true;
    const QSignalBlocker block(combo_);
    combo_->setCurrentIndex(index < 0 ? -1 : index);
    if (index < 0 && HasEdit())
        combo_->setEditText(QString());
    settingByCode_ = false;
    return index < 0 ? CB_ERR : index;
}

std::string ComboBox::GetLBText(int index) const {
    if (index < 0 || index >= combo_->count())
        return {};
    return combo_->itemText(index).toStdString();
}

int ComboBox::FindString(int start, std::string_view prefix) const {
    return FindListString(
        combo_->count(), [this](int i) { return combo_->itemText(i); }, start, ToQString(prefix),
        false);
}

int ComboBox::FindStringExact(int start, std::string_view text) const {
    return FindListString(
        combo_->count(), [this](int i) { return combo_->itemText(i); }, start, ToQString(text),
        true);
}

int ComboBox::SelectString(int start, std::string_view prefix) {
    const int i = FindString(start, prefix);
    if (i >= 0)
        SetCurSel(i);
    return i;
}

void ComboBox::SetItemData(int index, std::uintptr_t data) {
    if (index >= 0 && index < combo_->count())
        combo_->setItemData(index, QVariant::fromValue<qulonglong>(data));
}

std::uintptr_t ComboBox::GetItemData(int index) const {
    if (index < 0 || index >= combo_->count())
        return 0;
    return static_cast<std::uintptr_t>(combo_->itemData(index).toULongLong());
}

void ComboBox::LimitText(int maxChars) {
    if (combo_->lineEdit())
        combo_->lineEdit()->setMaxLength(maxChars > 0 ? maxChars : 32767);
}

void ComboBox::ShowDropDown(bool show) {
    if (show) {
        combo_->showPopup();
    } else {
        combo_->hidePopup();
    }
}

bool ComboBox::GetDroppedState() const {
    return static_cast<NotifyingCombo*>(combo_)->Dropped();
}

void ComboBox::SetEditSel(int start, int end) {
    if (QLineEdit* e = combo_->lineEdit()) {
        const int len = static_cast<int>(e->text().size());
        if (start < 0) {
            e->deselect();
            return;
        }
        if (end < 0 || end > len)
            end = len;
        e->setSelection(std::min(start, len), end - std::min(start, len));
    }
}

void ComboBox::GetEditSel(int& start, int& end) const {
    start = end = 0;
    if (QLineEdit* e = combo_->lineEdit()) {
        if (e->hasSelectedText()) {
            start = e->selectionStart();
            end = e->selectionEnd();
        } else {
            start = end = e->cursorPosition();
        }
    }
}

void ComboBox::SetWindowText(std::string_view text) {
    if (HasEdit()) {
        const QSignalBlocker block(combo_);
        combo_->setEditText(ToQString(text));
    } else {
        SetCurSel(FindStringExact(-1, text));
    }
}

std::string ComboBox::GetWindowText() const {
    return combo_->currentText().toStdString();
}

LRESULT ComboBox::DefWindowProc(Message& m) {
    const auto text = [&] {
        return std::string_view(m.lParam ? reinterpret_cast<const char*>(m.lParam) : "");
    };
    switch (m.id) {
        case CB_ADDSTRING:
            return AddString(text());
        case CB_INSERTSTRING:
            return InsertString(static_cast<int>(m.wParam), text());
        case CB_DELETESTRING:
            return DeleteString(static_cast<int>(m.wParam));
        case CB_RESETCONTENT:
            ResetContent();
            return 0;
        case CB_GETCOUNT:
            return GetCount();
        case CB_GETCURSEL:
            return GetCurSel();
        case CB_SETCURSEL:
            return SetCurSel(static_cast<int>(static_cast<std::intptr_t>(m.wParam)));
        case CB_FINDSTRING:
            return FindString(static_cast<int>(static_cast<std::intptr_t>(m.wParam)), text());
        case CB_FINDSTRINGEXACT:
            return FindStringExact(static_cast<int>(static_cast<std::intptr_t>(m.wParam)), text());
        case CB_SELECTSTRING:
            return SelectString(static_cast<int>(static_cast<std::intptr_t>(m.wParam)), text());
        case CB_LIMITTEXT:
            LimitText(static_cast<int>(m.wParam));
            return 1;
        case CB_SHOWDROPDOWN:
            ShowDropDown(m.wParam != 0);
            return 1;
        case CB_GETDROPPEDSTATE:
            return GetDroppedState() ? 1 : 0;
        case CB_SETITEMHEIGHT:
            return 0;
        default:
            return Control::DefWindowProc(m);
    }
}

}  // namespace fw
