// Data exchange between a dialog's controls and its members (DoDataExchange). With
// saveAndValidate false the members are written into the controls; with true they are read
// back and checked. A refused value is reported once in a message box, its control gets the
// focus (an edit's text selected), and the exchange stops with DataExchangeFailure, which
// UpdateData turns into false.
#pragma once

#include "framework/window/Messages.h"

#include <cstdint>
#include <exception>
#include <string>

namespace fw {

class Dialog;
class Window;

class DataExchangeFailure : public std::exception {
public:
    const char* what() const noexcept override { return "dialog data refused"; }
};

class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saveAndValidate);
    const bool saveAndValidate;
    Dialog& dialog;

    // The control of an id, remembered as the one to focus if a check fails.
    Window* PrepareCtrl(UINT id);
    Window* PrepareEditCtrl(UINT id);
    // The control prepared last (the one a DDV_ check is about).
    Window* LastControl() const { return last_; }
    // Shows the message, focuses the last prepared control and stops the exchange.
    [[noreturn]] void Fail(const std::string& message);

private:
    Window* last_ = nullptr;
    bool lastIsEdit_ = false;
};

void DDX_Text(DataExchange& dx, UINT id, std::string& value);
void DDX_Text(DataExchange& dx, UINT id, int& value);
void DDX_Text(DataExchange& dx, UINT id, unsigned& value);
void DDX_Text(DataExchange& dx, UINT id, double& value);
void DDV_MinMaxInt(DataExchange& dx, int value, int minValue, int maxValue);
void DDV_MinMaxUInt(DataExchange& dx, unsigned value, unsigned minValue, unsigned maxValue);
void DDV_MinMaxDouble(DataExchange& dx, double value, double minValue, double maxValue);
void DDV_MaxChars(DataExchange& dx, const std::string& value, int maxChars);
// Check box state: 0, 1 or 2.
void DDX_Check(DataExchange& dx, UINT id, int& value);
// The index of the checked radio button in the group that starts at `firstId` (-1: none).
void DDX_Radio(DataExchange& dx, UINT firstId, int& value);
// Combo box: the edit text (or the selected item's); the selected index; the item found by
// prefix or by whole text when writing.
void DDX_CBString(DataExchange& dx, UINT id, std::string& value);
void DDX_CBStringExact(DataExchange& dx, UINT id, std::string& value);
void DDX_CBIndex(DataExchange& dx, UINT id, int& value);
void DDX_LBString(DataExchange& dx, UINT id, std::string& value);
void DDX_LBIndex(DataExchange& dx, UINT id, int& value);
// IP-address field as a host-order value (blank fields read as 0).
void DDX_IPAddress(DataExchange& dx, UINT id, std::uint32_t& value);

}  // namespace fw
