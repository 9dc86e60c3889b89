#include "framework/controls/IPAddressCtrl.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace fw {

bool IPAddressCtrl::Create(DWORD style, const Rect& rect, Window* parent, UINT id) {
    if (!Window::Create(parent, rect, id, style | WS_CHILD))
        return false;
    auto* box = new QWidget(this);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        auto* f = new QLineEdit(box);
        f->setFrame(false);
        f->setAlignment(Qt::AlignCenter);
        f->setMaxLength(3);
        f->setValidator(new QIntValidator(0, 255, f));
        f->installEventFilter(this);
        connect(f, &QLineEdit::textChanged, this, [this, i](const QString& text) {
            if (settingByCode_)
                return;
            if (text.toInt() > 255)
                fields_[i]->setText("255");
            NotifyParentCommand(EN_CHANGE);
            if (text.size() == 3 && i + 1 < fields_.size())
                SetFieldFocus(static_cast<int>(i + 1));
        });
        layout->addWidget(f);
        if (i + 1 < fields_.size())
            layout->addWidget(new QLabel(".", box));
        fields_[i] = f;
    }
    SetInner(box);
    setFocusProxy(fields_[0]);
    return true;
}

bool IPAddressCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        for (std::size_t i = 0; i + 1 < fields_.size(); ++i) {
            if (watched == fields_[i] &&
                (k->key() == Qt::Key_Period || k->key() == Qt::Key_Space)) {
                if (!fields_[i]->text().isEmpty())
                    SetFieldFocus(static_cast<int>(i + 1));
                return true;
            }
        }
    }
    return Control::eventFilter(watched, event);
}

int IPAddressCtrl::GetAddress(std::uint32_t& address) const {
    address = 0;
    int filled = 0;
    for (QLineEdit* f : fields_) {
        const QString t = f->text();
        address = (address << 8) | static_cast<std::uint32_t>(std::clamp(t.toInt(), 0, 255));
        if (!t.isEmpty())
            ++filled;
    }
    return filled;
}

void IPAddressCtrl::SetAddress(std::uint32_t address) {
    SetAddress(static_cast<int>(address >> 24), static_cast<int>((address >> 16) & 0xFF),
               static_cast<int>((address >> 8) & 0xFF), static_cast<int>(address & 0xFF));
}

void IPAddressCtrl::SetAddress(int f0, int f1, int f2, int f3) {
    const int v[4] = {f0, f1, f2, f3};
    settingByCode_ = true;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        fields_[i]->setText(QString::number(std::clamp(v[i], 0, 255)));
    }
    settingByCode_ = false;
    NotifyParentCommand(EN_CHANGE);
}

void IPAddressCtrl::ClearAddress() {
    settingByCode_ = true;
    for (QLineEdit* f : fields_) f->clear();
    settingByCode_ = false;
    NotifyParentCommand(EN_CHANGE);
}

bool IPAddressCtrl::IsBlank() const {
    return std::all_of(fields_.begin(), fields_.end(),
                       [](QLineEdit* f) { return f->text().isEmpty(); });
}

void IPAddressCtrl::SetFieldFocus(int field) {
    if (field < 0 || field > 3)
        return;
    fields_[static_cast<std::size_t>(field)]->setFocus();
    fields_[static_cast<std::size_t>(field)]->selectAll();
}

void IPAddressCtrl::SetWindowText(std::string_view text) {
    const QStringList parts =
        QString::fromUtf8(text.data(), static_cast<int>(text.size())).split('.');
    if (parts.size() != 4) {
        ClearAddress();
        return;
    }
    SetAddress(parts[0].toInt(), parts[1].toInt(), parts[2].toInt(), parts[3].toInt());
}

std::string IPAddressCtrl::GetWindowText() const {
    std::uint32_t a = 0;
    GetAddress(a);
    return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 0xFF) + "." +
           std::to_string((a >> 8) & 0xFF) + "." + std::to_string(a & 0xFF);
}

}  // namespace fw
