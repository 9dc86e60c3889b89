#include "grid/core/CGXProperties.h"

#include "framework/drawing/DeviceContext.h"
#include "framework/persist/StringTable.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXFont.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/GXColor.h"
#include "grid/core/GXLibraryState.h"

#include <cctype>
#include <cstdio>
#include <ctime>

const fw::RuntimeClass CGXProperties::kClass{"CGXProperties", 4, &fw::Serializable::kClass,
                                             fw::CreateInstance<CGXProperties>};

namespace {

// "Invert Thin.", "Invert Thick.", "Thin Border.", "Thick Border.", "No Border."
constexpr unsigned kChoiceIds[5] = {51006, 51007, 51008, 51009, 20059};
// The drop-down list cell control.
constexpr std::uint16_t kDropDownListControl = 52529;

std::string NameWithId(const char* prefix, unsigned id) {
    return prefix + std::to_string(id);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

}  // namespace

CGXProperties::CGXProperties()
    : m_pHeader(std::make_unique<CGXData>()),
      m_pFooter(std::make_unique<CGXData>()),
      emptyStyle_(std::make_unique<CGXStyle>()) {
    // The names come from the library's texts, also before the library has started.
    GXAddLibraryStrings();
    for (std::size_t i = 0; i < choiceNames_.size(); ++i)
        choiceNames_[i] = fw::LoadString(kChoiceIds[i]);
    // The line colours keep the look the grid is drawn with; the background is the button
    // face as a system-colour word, resolved when drawn.
    AddColorProperty(52232, fw::Rgb(192, 192, 192));
    AddColorProperty(52233, fw::Rgb(0, 0, 0));
    AddColorProperty(52234, fw::Rgb(128, 128, 128));
    AddColorProperty(52236, fw::Rgb(0, 0, 0));
    AddColorProperty(52235, GXStoredColor{15, GX_COLOR_KIND_SYSTEM}.Word());
    const int inch = fw::ScreenDpi();
    m_nTopMargin = m_nBottomMargin = inch * 3 / 2;
    m_nLeftMargin = m_nRightMargin = inch;
    m_nHeaderDistance = m_nFooterDistance = inch * 4 / 10;
    InitHeaderFooter();
}

CGXProperties::~CGXProperties() = default;

CGXProperties::CGXProperties(const CGXProperties& other) : CGXProperties() {
    *this = other;
}

CGXProperties& CGXProperties::operator=(const CGXProperties& other) {
    if (this != &other)
        if (CGXAbstractGridParamCopyOperatorImp* imp = GXGetLibraryState().m_pParamCopyOperatorImp)
            imp->CopyProperties(*this, other);
    return *this;
}

void CGXProperties::InitHeaderFooter() {
    m_pHeader->SetColCount(3);
    m_pHeader->SetRowCount(10);
    CGXStyle title;
    title.SetValue(std::string_view("$R")).SetFont(CGXFont().SetWeight(700).SetSize(16));
    m_pHeader->StoreStyleAt(1, 2, &title, gxCopy, 0);
    m_pFooter->SetColCount(3);
    m_pFooter->SetRowCount(10);
    CGXStyle date;
    date.SetValue(std::string_view("$D"));
    m_pFooter->StoreStyleAt(1, 1, &date, gxCopy, 0);
    CGXStyle pages;
    pages.SetValue(std::string_view("$P/$N"));
    m_pFooter->StoreStyleAt(1, 3, &pages, gxCopy, 0);
}

// --- colours ---------------------------------------------------------------------------------

void CGXProperties::SetColor(std::size_t index, fw::ColorRef c) {
    if (index >= colors_.size())
        colors_.resize(index + 1, 0);
    if (index >= colorNames_.size())
        colorNames_.resize(index + 1);
    colors_[index] = c;
}

std::size_t CGXProperties::AddColorProperty(unsigned nameId, fw::ColorRef color) {
    std::string name = fw::LoadString(nameId);
    if (name.empty())
        name = NameWithId("COLOR", nameId);
    return AddColorName(name.c_str(), color);
}

std::size_t CGXProperties::AddColorName(const char* name, fw::ColorRef color) {
    if (name)
        for (std::size_t i = 0; i < colorNames_.size(); ++i)
            if (colorNames_[i] == name)
                return i;
    const std::size_t index = colorNames_.size();
    colorNames_.emplace_back(name ? name : "");
    if (colors_.size() <= index)
        colors_.resize(index + 1, 0);
    colors_[index] = color;
    return index;
}

const std::string& CGXProperties::GetColorName(std::size_t index) const {
    static const std::string kNone;
    return index < colorNames_.size() ? colorNames_[index] : kNone;
}

// --- user properties -------------------------------------------------------------------------

CGXProperties::UserProperty& CGXProperties::AddUserProperty(std::uint16_t id,
                                                            const CGXStyle& value) {
    auto [it, added] = m_userProperties.try_emplace(id);
    UserProperty& entry = it->second;
    if (added) {
        entry.name = fw::LoadString(id);
        if (entry.name.empty())
            entry.name = NameWithId("USERPROP", id);
    }
    entry.style = value.Clone();
    return entry;
}

const CGXStyle& CGXProperties::GetUserProperty(std::uint16_t id) const {
    auto it = m_userProperties.find(id);
    return it != m_userProperties.end() && it->second.style ? *it->second.style : *emptyStyle_;
}

CGXStyle& CGXProperties::GetUserProperty(std::uint16_t id) {
    auto it = m_userProperties.find(id);
    return it != m_userProperties.end() && it->second.style ? *it->second.style : *emptyStyle_;
}

void CGXProperties::AddDefaultUserProperties() {
    std::string choices;
    for (std::size_t i = 0; i < choiceNames_.size(); ++i)
        choices += (i ? "\n" : "") + choiceNames_[i];
    CGXStyle style;
    style.SetControl(kDropDownListControl)
        .SetChoiceList(choices)
        .SetValue(std::string_view(choiceNames_[0]));
    AddUserProperty(GX_IDS_UA_CURRENTCELL, style);
}

// --- tokens ----------------------------------------------------------------------------------

std::size_t CGXProperties::AddToken(std::string_view token) {
    m_sTokens.emplace_back(token);
    return m_sTokens.size() - 1;
}

void CGXProperties::SetTokenValue(std::size_t index, std::string_view value) {
    if (index >= m_sTokenValues.size())
        m_sTokenValues.resize(index + 1);
    m_sTokenValues[index] = value;
}

std::string CGXProperties::SubstTokenText(std::string_view text) {
    std::string rest(text);
    std::string result;
    while (!rest.empty()) {
        bool matched = false;
        for (std::size_t i = 0; i < m_sTokens.size() && !matched; ++i) {
            // An empty token would match everywhere and consume nothing.
            if (m_sTokens[i].empty() || !StartsWithNoCase(rest, m_sTokens[i]))
                continue;
            rest.erase(0, m_sTokens[i].size());
            result += GetTokenValue(i, rest);
            matched = true;
        }
        if (!matched) {
            result += rest.front();
            rest.erase(0, 1);
        }
    }
    return result;
}

std::string CGXProperties::GetTokenValue(std::size_t index, std::string& rest) {
    if (index == GX_TOKEN_DATE) {
        std::string format = GetTokenArg(rest);
        if (format.empty())
            format = "%c";
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        char buf[256];
        // strftime gives 0 when the text does not fit: the value is then empty.
        const std::size_t n = std::strftime(buf, sizeof buf, format.c_str(), &local);
        return std::string(buf, n);
    }
    return index < m_sTokenValues.size() ? m_sTokenValues[index] : std::string();
}

std::string CGXProperties::GetTokenArg(std::string& rest) {
    if (rest.empty() || rest.front() != '{')
        return {};
    const std::size_t close = rest.find('}');
    if (close == std::string::npos)
        return {};
    std::string arg = rest.substr(1, close - 1);
    rest.erase(0, close + 1);
    return arg;
}

// --- forwarding ------------------------------------------------------------------------------

void CGXProperties::Serialize(fw::Archive& ar) {
    if (CGXAbstractGridDocSerializeImp* imp = GXGetLibraryState().m_pDocSerializeImp)
        imp->SerializeProperties(*this, ar);
}

void CGXProperties::WriteProfile() const {
    if (CGXAbstractGridProfileImp* imp = GXGetLibraryState().m_pProfileImp)
        imp->WriteProperties(*this);
}

bool CGXProperties::ReadProfile() {
    CGXAbstractGridProfileImp* imp = GXGetLibraryState().m_pProfileImp;
    return imp && imp->ReadProperties(*this);
}
