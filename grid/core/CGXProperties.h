// The grid's display and print properties, owned by (or shared through) the parameter object.
// The core reads its colour table and flags; the properties' full set of settings, user
// properties and header and footer printing are added with the properties feature.
#pragma once

#include "framework/base/Color.h"
#include "framework/persist/RuntimeClass.h"
#include "grid/core/CGXPrintDevice.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CGXData;
class CGXStyle;

class CGXProperties : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    CGXProperties();
    ~CGXProperties() override;
    CGXProperties(const CGXProperties&) = delete;
    CGXProperties& operator=(const CGXProperties&) = delete;
    // Through the document-serialisation component (nothing without it).
    void Serialize(fw::Archive& ar) override;
    // Through the profile component (nothing, and FALSE, without it).
    void WriteProfile() const;
    bool ReadProfile();

    // Colour table: 0 grid lines and the area outside the cells, 1 frozen-area lines, 2 and 3
    // the drag lines. 0 past the end.
    fw::ColorRef GetColor(std::size_t index) const {
        return index < colors_.size() ? colors_[index] : 0;
    }
    void SetColor(std::size_t index, fw::ColorRef c);
    bool GetBlackWhite() const { return blackWhite_; }
    void SetBlackWhite(bool b) { blackWhite_ = b; }
    // Grid lines on screen and on paper, and the 3-D look (lines on the right and bottom edges
    // of cells instead of the left and top).
    bool GetDisplayHorzLines() const { return horzLines_; }
    bool GetDisplayVertLines() const { return vertLines_; }
    bool GetPrintHorzLines() const { return printHorzLines_; }
    bool GetPrintVertLines() const { return printVertLines_; }
    void SetDisplayHorzLines(bool b) { horzLines_ = b; }
    void SetDisplayVertLines(bool b) { vertLines_ = b; }
    void SetPrintHorzLines(bool b) { printHorzLines_ = b; }
    void SetPrintVertLines(bool b) { printVertLines_ = b; }
    // Header rows and columns on paper ("Print Column Headers", "Print Row Headers").
    bool GetPrintColHeaders() const { return printColHeaders_; }
    bool GetPrintRowHeaders() const { return printRowHeaders_; }
    void SetPrintColHeaders(bool b) { printColHeaders_ = b; }
    void SetPrintRowHeaders(bool b) { printRowHeaders_ = b; }
    // The headers of the current cell's row and column are drawn marked.
    bool GetMarkRowHeader() const { return markRowHeader_; }
    bool GetMarkColHeader() const { return markColHeader_; }
    void SetMarkRowHeader(bool b) { markRowHeader_ = b; }
    void SetMarkColHeader(bool b) { markColHeader_ = b; }
    bool Get3dButtons() const { return threeD_; }
    void Set3dButtons(bool b) { threeD_ = b; }
    int GetZoom() const { return zoom_; }
    void SetZoom(int percent) { zoom_ = percent; }
    std::size_t GetColorCount() const { return colors_.size(); }
    std::vector<fw::ColorRef>& Colors() { return colors_; }
    const std::vector<fw::ColorRef>& Colors() const { return colors_; }

    // --- settings kept in archives and the profile -----------------------------------------------
    // The number of entries of the colour table (a loaded table is cut or padded to it).
    static constexpr std::size_t kColorCount = 4;
    bool m_bMarkRowHeader = true;
    bool m_bMarkColHeader = true;
    std::string m_sSection = "Grid";  // the profile section
    // User properties: a name and the style whose value is the property's value, by id.
    struct UserProperty {
        std::string name;
        std::unique_ptr<CGXStyle> style;
    };
    std::map<std::uint32_t, UserProperty> m_userProperties;
    // Printing. Margins and distances are in pixels of the screen's 96 per inch: 1.5 inch at top
    // and bottom, 1 inch at the sides, 0.4 inch from the header and the footer.
    bool m_bPrintRowHeaders = true;
    bool m_bPrintColHeaders = true;
    bool m_bPrintFrame = true;
    bool m_bCenterVertical = false;
    bool m_bCenterHorizontal = true;
    int m_nPageOrder = 0;  // 0 down then across, 1 across then down
    int m_nTopMargin = 144;
    int m_nLeftMargin = 96;
    int m_nBottomMargin = 144;
    int m_nRightMargin = 96;
    int m_nHeaderDistance = 38;
    int m_nFooterDistance = 38;
    int m_nFirstPage = -1;  // the number of the first page (-1: numbering starts at 1)
    std::uint16_t m_wSetting1 = 0;
    std::uint16_t m_wSetting2 = 0;
    std::vector<std::uint32_t> m_adwSettings1;
    std::vector<std::uint32_t> m_adwSettings2;
    // The header and footer printed on every page (cell stores of three columns).
    std::unique_ptr<CGXData> m_pHeader;
    std::unique_ptr<CGXData> m_pFooter;
    // Header and footer tokens ("$F" title, "$A" application, "$P" page, "$N" pages, "$D" date,
    // "$R" the parameter object's name) and their values, set before each printed page.
    std::vector<std::string> m_sTokens{"$F", "$A", "$P", "$N", "$D", "$R"};
    std::vector<std::string> m_sTokenValues;
    // The first column (row) of each page across (down) of the last pagination.
    std::vector<std::uint32_t> m_awColBreaks;
    std::vector<std::uint32_t> m_awRowBreaks;

private:
    std::vector<fw::ColorRef> colors_;
    bool blackWhite_ = false;
    bool horzLines_ = true;
    bool vertLines_ = true;
    bool printHorzLines_ = true;
    bool printVertLines_ = true;
    bool printColHeaders_ = true;
    bool printRowHeaders_ = true;
    bool markRowHeader_ = true;
    bool markColHeader_ = true;
    bool threeD_ = false;
    int zoom_ = 100;
};
