#include "framework/dialogs/DataExchange.h"

#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/ComboBox.h"
#include "framework/controls/Edit.h"
#include "framework/controls/IPAddressCtrl.h"
#include "framework/controls/ListBox.h"
#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/persist/FrameworkTexts.h"
#include "framework/persist/StringTable.h"

#include <QString>

#include <cmath>
#include <cstdio>

namespace fw {
namespace {

std::string Number(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

}  // namespace

DataExchange::DataExchange(Dialog& d, bool save) : saveAndValidate(save), dialog(d) {}

Window* DataExchange::PrepareCtrl(UINT id) {
    last_ = dialog.GetDlgItem(id);
    lastIsEdit_ = false;
    return last_;
}

Window* DataExchange::PrepareEditCtrl(UINT id) {
    PrepareCtrl(id);
    lastIsEdit_ = true;
    return last_;
}

void DataExchange::Fail(const std::string& message) {
    if (!message.empty())
        AppMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    if (last_) {
        last_->SetFocus();
        if (auto* e = qobject_cast<Edit*>(last_); e && lastIsEdit_)
            e->SetSel(0, -1);
    }
    throw DataExchangeFailure();
}

void DDX_Text(DataExchange& dx, UINT id, std::string& value) {
    Window* w = dx.PrepareEditCtrl(id);
    if (!w)
        return;
    if (dx.saveAndValidate) {
        value = w->GetWindowText();
    } else {
        w->SetWindowText(value);
    }
}

void DDX_Text(DataExchange& dx, UINT id, int& value) {
    Window* w = dx.PrepareEditCtrl(id);
    if (!w)
        return;
    if (!dx.saveAndValidate) {
        w->SetWindowText(std::to_string(value));
        return;
    }
    bool ok = false;
    const qlonglong v = QString::fromStdString(w->GetWindowText()).trimmed().toLongLong(&ok);
    if (!ok || v < INT32_MIN || v > INT32_MAX)
        dx.Fail(FrameworkString(AFX_IDP_PARSE_INT));
    value = static_cast<int>(v);
}

void DDX_Text(DataExchange& dx, UINT id, unsigned& value) {
    Window* w = dx.PrepareEditCtrl(id);
    if (!w)
        return;
    if (!dx.saveAndValidate) {
        w->SetWindowText(std::to_string(value));
        return;
    }
    bool ok = false;
    const qlonglong v = QString::fromStdString(w->GetWindowText()).trimmed().toLongLong(&ok);
    if (!ok || v < 0 || v > UINT32_MAX)
        dx.Fail(FrameworkString(AFX_IDP_PARSE_UINT));
    value = static_cast<unsigned>(v);
}

void DDX_Text(DataExchange& dx, UINT id, double& value) {
    Window* w = dx.PrepareEditCtrl(id);
    if (!w)
        return;
    if (!dx.saveAndValidate) {
        w->SetWindowText(Number(value));
        return;
    }
    // Numbers use the point whatever the user's locale says.
    bool ok = false;
    const double v = QString::fromStdString(w->GetWindowText()).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        dx.Fail(FrameworkString(AFX_IDP_PARSE_REAL));
    value = v;
}

void DDV_MinMaxInt(DataExchange& dx, int value, int minValue, int maxValue) {
    if (!dx.saveAndValidate || (value >= minValue && value <= maxValue))
        return;
    dx.Fail(FormatString(FrameworkString(AFX_IDP_PARSE_INT_RANGE),
                         {std::to_string(minValue), std::to_string(maxValue)}));
}

void DDV_MinMaxUInt(DataExchange& dx, unsigned value, unsigned minValue, unsigned maxValue) {
    if (!dx.saveAndValidate || (value >= minValue && value <= maxValue))
        return;
    dx.Fail(FormatString(FrameworkString(AFX_IDP_PARSE_INT_RANGE),
                         {std::to_string(minValue), std::to_string(maxValue)}));
}

void DDV_MinMaxDouble(DataExchange& dx, double value, double minValue, double maxValue) {
    if (!dx.saveAndValidate || (value >= minValue && value <= maxValue))
        return;
    dx.Fail(FormatString(FrameworkString(AFX_IDP_PARSE_REAL_RANGE),
                         {Number(minValue), Number(maxValue)}));
}

void DDV_MaxChars(DataExchange& dx, const std::string& value, int maxChars) {
    if (!dx.saveAndValidate) {
        // Writing: the edit holds no more than that.
        if (auto* e = qobject_cast<Edit*>(dx.LastControl()))
            e->LimitText(maxChars);
        return;
    }
    if (QString::fromStdString(value).size() <= maxChars)
        return;
    dx.Fail(FormatString(FrameworkString(AFX_IDP_PARSE_STRING_SIZE), {std::to_string(maxChars)}));
}

void DDX_Check(DataExchange& dx, UINT id, int& value) {
    auto* b = qobject_cast<Button*>(dx.PrepareCtrl(id));
    if (!b)
        return;
    if (dx.saveAndValidate) {
        value = b->GetCheck();
    } else {
        b->SetCheck(std::clamp(value, 0, 2));
    }
}

void DDX_Radio(DataExchange& dx, UINT firstId, int& value) {
    auto* first = qobject_cast<Button*>(dx.PrepareCtrl(firstId));
    if (!first)
        return;
    // The group: the radio buttons from the first one up to the next control that starts a
    // group, in the order they were made.
    std::vector<Button*> group;
    const auto siblings = dx.dialog.findChildren<Window*>(QString(), Qt::FindDirectChildrenOnly);
    bool inGroup = false;
    for (Window* w : siblings) {
        if (w == first) {
            inGroup = true;
        } else if (inGroup && (w->GetStyle() & WS_GROUP)) {
            break;
        }
        if (!inGroup)
            continue;
        if (auto* b = qobject_cast<Button*>(w); b && b->IsRadio())
            group.push_back(b);
    }
    if (dx.saveAndValidate) {
        value = -1;
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (group[i]->GetCheck() == BST_CHECKED)
                value = static_cast<int>(i);
        }
    } else {
        for (std::size_t i = 0; i < group.size(); ++i) {
            group[i]->SetCheck(static_cast<int>(i) == value ? BST_CHECKED : BST_UNCHECKED);
        }
    }
}

void DDX_CBString(DataExchange& dx, UINT id, std::string& value) {
    auto* c = qobject_cast<ComboBox*>(dx.PrepareCtrl(id));
    if (!c)
        return;
    if (dx.saveAndValidate) {
        value = c->GetWindowText();
    } else if (c->SelectString(-1, value) < 0 && c->HasEdit()) {
        c->SetWindowText(value);
    }
}

void DDX_CBStringExact(DataExchange& dx, UINT id, std::string& value) {
    auto* c = qobject_cast<ComboBox*>(dx.PrepareCtrl(id));
    if (!c)
        return;
    if (dx.saveAndValidate) {
        value = c->GetWindowText();
        return;
    }
    const int i = c->FindStringExact(-1, value);
    if (i >= 0) {
        c->SetCurSel(i);
    } else if (c->HasEdit()) {
        c->SetWindowText(value);
    }
}

void DDX_CBIndex(DataExchange& dx, UINT id, int& value) {
    auto* c = qobject_cast<ComboBox*>(dx.PrepareCtrl(id));
    if (!c)
        return;
    if (dx.saveAndValidate) {
        value = c->GetCurSel();
    } else {
        c->SetCurSel(value);
    }
}

void DDX_LBString(DataExchange& dx, UINT id, std::string& value) {
    auto* l = qobject_cast<ListBox*>(dx.PrepareCtrl(id));
    if (!l)
        return;
    if (dx.saveAndValidate) {
        value = l->GetText(l->GetCurSel());
    } else {
        l->SelectString(-1, value);
    }
}

void DDX_LBIndex(DataExchange& dx, UINT id, int& value) {
    auto* l = qobject_cast<ListBox*>(dx.PrepareCtrl(id));
    if (!l)
        return;
    if (dx.saveAndValidate) {
        value = l->GetCurSel();
    } else {
        l->SetCurSel(value);
    }
}

void DDX_IPAddress(DataExchange& dx, UINT id, std::uint32_t& value) {
    auto* ip = qobject_cast<IPAddressCtrl*>(dx.PrepareCtrl(id));
    if (!ip)
        return;
    if (dx.saveAndValidate) {
        ip->GetAddress(value);
    } else {
        ip->SetAddress(value);
    }
}

}  // namespace fw
