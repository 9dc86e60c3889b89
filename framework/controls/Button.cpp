#include "framework/controls/Button.h"
#include "framework/base/QtText.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace fw {
bool Button::Create(std::string_view text, DWORD style, const Rect& rect, Window* parent, UINT id) {
    if (!Window::Create(parent, rect, id, style | WS_CHILD))
        return false;
    text_ = std::string(text);
    switch (style & BS_TYPEMASK) {
        case BS_GROUPBOX:
            group_ = new QGroupBox(ToQString(text), this);
            SetInner(group_);
            setFocusProxy(nullptr);
            lower();  // the frame lies behind the controls it groups
            return true;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: {
            auto* box = new QCheckBox(ToQString(text), this);
            box->setTristate((style & BS_TYPEMASK) == BS_3STATE ||
                             (style & BS_TYPEMASK) == BS_AUTO3STATE);
            button_ = box;
            break;
        }
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: {
            auto* radio = new QRadioButton(ToQString(text), this);
            radio->setAutoExclusive(false);  // groups follow WS_GROUP, not the parent
            button_ = radio;
            break;
        }
        default: {
            auto* push = new QPushButton(ToQString(text), this);
            push->setAutoDefault(false);
            push->setDefault((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
            button_ = push;
            break;
        }
    }
    connect(button_, &QAbstractButton::clicked, this, [this] { Clicked(); });
    SetInner(button_);
    return true;
}

void Button::SetWindowText(std::string_view text) {
    text_ = std::string(text);
    if (button_)
        button_->setText(ToQString(text));
    if (group_)
        group_->setTitle(ToQString(text));
}

int Button::GetCheck() const {
    auto* box = qobject_cast<QCheckBox*>(button_);
    if (box) {
        switch (box->checkState()) {
            case Qt::Checked:
                return BST_CHECKED;
            case Qt::PartiallyChecked:
                return BST_INDETERMINATE;
            default:
                return BST_UNCHECKED;
        }
    }
    return button_ && button_->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void Button::SetCheck(int state) {
    if (!button_)
        return;
    const QSignalBlocker block(button_);
    if (auto* box = qobject_cast<QCheckBox*>(button_)) {
        box->setCheckState(state == BST_CHECKED         ? Qt::Checked
                           : state == BST_INDETERMINATE ? Qt::PartiallyChecked
                                                        : Qt::Unchecked);
    } else if (button_->isCheckable()) {
        button_->setChecked(state == BST_CHECKED);
    }
}

void Button::SetDefault(bool isDefault) {
    if (auto* push = qobject_cast<QPushButton*>(button_))
        push->setDefault(isDefault);
    const DWORD kind = Kind();
    if (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON) {
        ModifyStyle(BS_TYPEMASK, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    }
}

void Button::Click() {
    if (button_ && button_->isEnabled())
        button_->click();
}

std::vector<Button*> Button::RadioGroup() const {
    std::vector<Button*> out;
    QWidget* parent = parentWidget();
    if (!parent)
        return out;
    const auto siblings = parent->findChildren<Window*>(QString(), Qt::FindDirectChildrenOnly);
    int self = static_cast<int>(siblings.indexOf(const_cast<Button*>(this)));
    int start = self;
    while (start > 0 && !(siblings[start]->GetStyle() & WS_GROUP)) --start;
    for (int i = start; i < siblings.size(); ++i) {
        if (i > start && (siblings[i]->GetStyle() & WS_GROUP))
            break;
        auto* b = qobject_cast<Button*>(siblings[i]);
        if (b && b->IsRadio())
            out.push_back(b);
    }
    return out;
}

void Button::Clicked() {
    switch (Kind()) {
        case BS_CHECKBOX:
        case BS_3STATE:
        case BS_RADIOBUTTON: {
            // Without "auto" the program decides the state: the toolkit's toggle is undone.
            const QSignalBlocker block(button_);
            button_->setChecked(!button_->isChecked());
            break;
        }
        case BS_AUTORADIOBUTTON:
            for (Button* b : RadioGroup()) {
                if (b != this && b->Kind() == BS_AUTORADIOBUTTON)
                    b->SetCheck(BST_UNCHECKED);
            }
            SetCheck(BST_CHECKED);
            break;
        default:
            break;
    }
    NotifyParentCommand(BN_CLICKED);
}

LRESULT Button::DefWindowProc(Message& m) {
    switch (m.id) {
        case BM_GETCHECK:
            return GetCheck();
        case BM_SETCHECK:
            SetCheck(static_cast<int>(m.wParam));
            return 0;
        default:
            return Control::DefWindowProc(m);
    }
}

}  // namespace fw
