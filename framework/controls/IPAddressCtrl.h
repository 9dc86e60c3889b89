// The IP-address field: four number fields of 0 to 255. The address is a host-order 32-bit
// value with the first field in the top byte; blank fields read as 0. Typing a point, or a
// third digit, moves to the next field. The parent hears EN_CHANGE when a field changes.
#pragma once

#include "framework/controls/Control.h"

#include <array>
#include <cstdint>

class QLineEdit;

namespace fw {

class IPAddressCtrl : public Control {
    Q_OBJECT

public:
    bool Create(DWORD style, const Rect& rect, Window* parent, UINT id);
    // The number of fields that are not blank.
    int GetAddress(std::uint32_t& address) const;
    void SetAddress(std::uint32_t address);
    void SetAddress(int f0, int f1, int f2, int f3);
    void ClearAddress();
    bool IsBlank() const;
    void SetFieldFocus(int field);
    QLineEdit* Field(int index) const { return fields_.at(static_cast<std::size_t>(index)); }

    void SetWindowText(std::string_view text) override;
    std::string GetWindowText() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QLineEdit*, 4> fields_{};
    bool settingByCode_ = false;
};

}  // namespace fw
