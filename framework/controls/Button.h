// Push buttons, check boxes, radio buttons and group boxes. A click tells the parent
// WM_COMMAND with BN_CLICKED. Automatic radio buttons keep one checked in their group: a group
// starts at a button with WS_GROUP and runs through the radio buttons made after it under the
// same parent.
#pragma once

#include "framework/controls/Control.h"

class QAbstractButton;
class QGroupBox;

namespace fw {

class Button : public Control {
    Q_OBJECT

public:
    bool Create(std::string_view text, DWORD style, const Rect& rect, Window* parent, UINT id);
    void SetWindowText(std::string_view text) override;
    std::string GetWindowText() const override { return text_; }

    int GetCheck() const;
    void SetCheck(int state);
    DWORD Kind() const { return GetStyle() & BS_TYPEMASK; }
    bool IsRadio() const { return Kind() == BS_RADIOBUTTON || Kind() == BS_AUTORADIOBUTTON; }
    // Makes this the default push button of its dialog (or not).
    void SetDefault(bool isDefault);
    // Presses the button (as a click or the access key does).
    void Click();

protected:
    LRESULT DefWindowProc(Message& msg) override;

private:
    void Clicked();
    // The radio buttons of this button's group, in creation order.
    std::vector<Button*> RadioGroup() const;
    QAbstractButton* button_ = nullptr;
    QGroupBox* group_ = nullptr;
    std::string text_;
};

}  // namespace fw
