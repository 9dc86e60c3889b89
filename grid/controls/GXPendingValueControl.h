// The part the active variants of the check box and the radio buttons share: while the control
// is active, the value the user chooses lives in the control's copy of the cell's style and is
// drawn from there; Store writes it into the cell, as an edit does with its text.
#pragma once

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStyle.h"

#include <memory>
#include <string>

template <class Base>
class GXPendingValueControl : public Base {
public:
    using Base::Base;

    void SetActive(bool active) override {
        // A newly active control starts from what the grid holds now.
        if (active && !this->m_bActive && this->m_bInit) {
            this->FreeStyle(false);
            this->GetStyle();
        }
        this->m_bActive = active;
    }
    bool IsActive() override { return this->m_bActive; }
    void SetModify(bool modified) override { this->m_bModified = modified; }
    bool GetModify() override { return this->m_bModified; }

    void Init(ROWCOL row, ROWCOL col) override {
        Base::Init(row, col);
        this->GetStyle();
        this->m_bModified = false;
    }

    bool Store() override {
        if (!this->m_pStyle || !this->m_bModified)
            return true;
        const std::string value = PendingValue();
        SetActive(false);
        this->m_bModified = false;
        return this->m_pGrid->SetValueRange(CGXRange(this->m_nRow, this->m_nCol), value, gxOverride,
                                            GX_INVALIDATE);
    }

    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override {
        if (this->m_bActive && this->IsInitFor(row, col) && this->m_pStyle) {
            std::unique_ptr<CGXStyle> drawn = style.Clone();
            drawn->SetValue(PendingValue());
            Base::Draw(dc, rect, row, col, *drawn, standardStyle);
            return;
        }
        Base::Draw(dc, rect, row, col, style, standardStyle);
    }

protected:
    // The value chosen so far (the control's style is there).
    std::string PendingValue() const {
        return this->m_pStyle->GetIncludeValue() ? this->m_pStyle->GetValue() : std::string();
    }
};
