// Masked-edit cells (control id 52535): the edit control with an input mask ("Maskedit: Input
// Mask", prompt "Maskedit: Prompt Char"). The cell stores only the typed characters; the edit
// window and every other cell show the literals and a prompt in each empty position. Typed
// characters go where the mask allows (insert or overwrite, Insert toggles), Backspace and Delete
// move the rest up, Home, End and the arrows move between input positions. A partly invalid
// content keeps the cell current. Without a mask the cell is free input up to MaxLength.
#pragma once

#include "grid/controls/CGXEditControl.h"
#include "grid/controls/CGXMaskData.h"

class CGXStylesMap;

inline constexpr unsigned GX_IDS_CTRL_MASKEDIT = 52535;
inline constexpr std::uint16_t GX_IDS_UA_INPUTMASKVALUE = 51023;
inline constexpr std::uint16_t GX_IDS_UA_INPUTPROMPT = 51024;

class CGXMaskControl : public CGXEditControl {
public:
    static const CGXControlClassInfo kClassInfo;
    CGXMaskControl(CGXGridCore* grid, unsigned controlId = GX_IDS_CTRL_MASKEDIT,
                   CGXMaskDataClass maskClass = nullptr);
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    static void AddUserAttributes(CGXStylesMap& map);
    void SetMaskDataClass(CGXMaskDataClass maskClass);
    virtual void InitMaskData(CGXMaskData& mask, const CGXStyle& style);
    CGXMaskData& EditMask() { return *m_pEditMask; }

    void SetValue(const std::string& text) override;
    bool GetValue(std::string& text) override;
    void GetCurrentText(std::string& text) override;
    bool GetControlText(std::string& text, ROWCOL row, ROWCOL col, const std::string* valueText,
                        const CGXStyle& style) override;
    bool ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                   const CGXStyle* style) override;
    bool OnValidate() override;
    bool OnGridCharText(const std::string& text, unsigned repeat, unsigned flags) override;
    fw::LRESULT OnEditKeyDown(unsigned key, unsigned repeat, unsigned flags) override;
    fw::LRESULT OnEditChar(unsigned ch, unsigned repeat, unsigned flags) override;

private:
    // Rewrites the window from the mask, places the caret and reports the change.
    void AfterChange(int caret);
    bool IsWritable();

    CGXMaskDataClass m_maskClass;
    std::unique_ptr<CGXMaskData> m_pEditMask;
    std::unique_ptr<CGXMaskData> m_pFormatMask;
    bool m_bInsertMode = true;
};
