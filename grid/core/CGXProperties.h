// The grid's display and print properties, owned by (or shared through) the parameter object:
// line and header decorations, zoom, the named colours, user properties (named values kept as
// styles), the page set-up and the printed page header and footer with their tokens. The object
// keeps data only: copying, archiving and profile storage go through the application-wide
// components when they are installed, and do nothing without them.
#pragma once

#include "framework/base/Color.h"
#include "framework/persist/RuntimeClass.h"
#include "grid/core/CGXPrintDevice.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CGXData;
class CGXStyle;

// Indexes of the colour table, fixed by the order the constructor adds the colours in.
inline constexpr std::size_t GX_COLOR_GRIDLINES = 0;
inline constexpr std::size_t GX_COLOR_FIXEDLINES = 1;
inline constexpr std::size_t GX_COLOR_TRACKINGLINE = 2;
inline constexpr std::size_t GX_COLOR_DRAGGINGLINE = 3;
inline constexpr std::size_t GX_COLOR_BACKGROUND = 4;

// The user property that picks how the current cell is framed: "Invert Thin." (the default),
// "Invert Thick.", "Thin Border.", "Thick Border." or "No Border.".
inline constexpr std::uint16_t GX_IDS_UA_CURRENTCELL = 51005;

// Indexes of the standard header and footer tokens.
enum GXPropertyToken : std::size_t {
    GX_TOKEN_FILE = 0,      // "$F" the document's title
    GX_TOKEN_APP = 1,       // "$A" the application's name
    GX_TOKEN_PAGE = 2,      // "$P" the page number
    GX_TOKEN_PAGES = 3,     // "$N" the number of pages
    GX_TOKEN_DATE = 4,      // "$D" or "$D{strftime format}" the current date and time
    GX_TOKEN_REGISTER = 5,  // "$R" the name of the grid's parameter object
};

class CGXProperties : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    CGXProperties();
    ~CGXProperties() override;
    // Builds the defaults, then copies through the parameter-copy component.
    CGXProperties(const CGXProperties& other);
    // Through the parameter-copy component (copies nothing without it).
    CGXProperties& operator=(const CGXProperties& other);
    // Through the document-serialisation component (nothing without it).
    void Serialize(fw::Archive& ar) override;
    // Through the profile component: nothing, and false, without it.
    virtual void WriteProfile() const;
    virtual bool ReadProfile();

    // --- named colours -------------------------------------------------------------------------
    // A name that exists already (compared exactly) keeps its index and its colour. A name id
    // without a text is named "COLOR<id>".
    std::size_t AddColorProperty(unsigned nameId, fw::ColorRef color);
    std::size_t AddColorName(const char* name, fw::ColorRef color);
    // 0 past the end.
    fw::ColorRef GetColor(std::size_t index) const {
        return index < colors_.size() ? colors_[index] : 0;
    }
    void SetColor(std::size_t index, fw::ColorRef c);
    std::size_t GetColorCount() const { return colors_.size(); }
    const std::string& GetColorName(std::size_t index) const;
    std::vector<fw::ColorRef>& Colors() { return colors_; }
    const std::vector<fw::ColorRef>& Colors() const { return colors_; }
    std::vector<std::string>& ColorNames() { return colorNames_; }
    const std::vector<std::string>& ColorNames() const { return colorNames_; }

    // --- display flags -------------------------------------------------------------------------
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
    // The headers of the current cell's row and column are drawn marked.
    bool GetMarkRowHeader() const { return m_bMarkRowHeader; }
    bool GetMarkColHeader() const { return m_bMarkColHeader; }
    void SetMarkRowHeader(bool b) { m_bMarkRowHeader = b; }
    void SetMarkColHeader(bool b) { m_bMarkColHeader = b; }
    bool Get3dButtons() const { return threeD_; }
    void Set3dButtons(bool b) { threeD_ = b; }
    int GetZoom() const { return zoom_; }
    void SetZoom(int percent) { zoom_ = percent; }
    // Set while a grid prints with these properties.
    bool GetPrinting() const { return printing_; }
    void SetPrinting(bool b) { printing_ = b; }

    // --- printing ------------------------------------------------------------------------------
    bool GetBlackWhite() const { return blackWhite_; }
    void SetBlackWhite(bool b) { blackWhite_ = b; }
    // Header rows and columns on paper ("Print Column Headers", "Print Row Headers").
    bool GetPrintColHeaders() const { return m_bPrintColHeaders; }
    bool GetPrintRowHeaders() const { return m_bPrintRowHeaders; }
    void SetPrintColHeaders(bool b) { m_bPrintColHeaders = b; }
    void SetPrintRowHeaders(bool b) { m_bPrintRowHeaders = b; }
    CGXData& GetDataHeader() { return *m_pHeader; }
    CGXData& GetDataFooter() { return *m_pFooter; }
    const CGXData& GetDataHeader() const { return *m_pHeader; }
    const CGXData& GetDataFooter() const { return *m_pFooter; }

    // --- user properties -----------------------------------------------------------------------
    struct UserProperty {
        std::string name;
        std::unique_ptr<CGXStyle> style;  // the value
    };
    // Stores a clone of the style; an id added again keeps its entry and takes the new value.
    // A new entry is named by the string id, or "USERPROP<id>" without a text.
    UserProperty& AddUserProperty(std::uint16_t id, const CGXStyle& value);
    // The stored value, or an empty style when the id is not stored.
    const CGXStyle& GetUserProperty(std::uint16_t id) const;
    CGXStyle& GetUserProperty(std::uint16_t id);
    // Adds "Current Cell.": a drop-down list of the frame choices, "Invert Thin." chosen.
    virtual void AddDefaultUserProperties();
    const std::array<std::string, 5>& GetFrameChoiceNames() const { return choiceNames_; }

    // --- header and footer tokens --------------------------------------------------------------
    std::size_t AddToken(std::string_view token);
    const std::vector<std::string>& GetTokens() const { return m_sTokens; }
    // The printing code sets the values before each page's header and footer.
    void SetTokenValue(std::size_t index, std::string_view value);
    // The text with every token (in any case) replaced by its value.
    virtual std::string SubstTokenText(std::string_view text);
    // The value of one token; the date token takes its "{format}" off the start of `rest`.
    virtual std::string GetTokenValue(std::size_t index, std::string& rest);
    // Takes "{argument}" off the start of `rest`; empty, and `rest` unchanged, without one.
    static std::string GetTokenArg(std::string& rest);

    // --- settings kept in archives and the profile -----------------------------------------------
    bool m_bMarkRowHeader = true;
    bool m_bMarkColHeader = true;
    std::string m_sSection = "Grid";  // the profile section
    // User properties by id.
    std::map<std::uint32_t, UserProperty> m_userProperties;
    // Page set-up. Margins and distances are in the screen's logical units (its pixels per
    // inch): 1.5 inch at top and bottom, 1 inch at the sides, 0.4 inch for the header and the
    // footer, truncated.
    bool m_bPrintRowHeaders = true;
    bool m_bPrintColHeaders = true;
    bool m_bPrintFrame = true;
    bool m_bCenterVertical = false;
    bool m_bCenterHorizontal = true;
    int m_nPageOrder = 0;  // 0 across the columns first, then down; nonzero down first
    int m_nTopMargin = 0;
    int m_nLeftMargin = 0;
    int m_nBottomMargin = 0;
    int m_nRightMargin = 0;
    int m_nHeaderDistance = 0;  // from the top of the printable page
    int m_nFooterDistance = 0;  // from the bottom of the printable page
    int m_nFirstPage = -1;      // the number printed on the first page; -1 as the pages come
    std::uint16_t m_wSetting1 = 0;
    std::uint16_t m_wSetting2 = 0;
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
    void InitHeaderFooter();

    std::array<std::string, 5> choiceNames_;
    std::unique_ptr<CGXStyle> emptyStyle_;
    std::vector<std::string> colorNames_;
    std::vector<fw::ColorRef> colors_;
    bool printing_ = false;
    bool blackWhite_ = true;
    bool horzLines_ = true;
    bool vertLines_ = true;
    bool printHorzLines_ = true;
    bool printVertLines_ = true;
    bool threeD_ = false;
    int zoom_ = 100;
};
