#include "grid/features/CGXGridProfileImp.h"

#include "framework/base/Color.h"
#include "framework/persist/Profile.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/GXPenText.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kSides[] = {gxBorderTop, gxBorderLeft, gxBorderBottom, gxBorderRight};
constexpr const char* kSideKeys[] = {"Top", "Left", "Bottom", "Right"};

// Writes the value, or deletes the key when the attribute is not there.
void Put(const std::string& section, const char* key, bool included, const std::string& value) {
    fw::AppProfile().WriteProfileString(section, key, included ? value.c_str() : nullptr);
}

std::string Num(long v) {
    return std::to_string(v);
}

std::string Get(const std::string& section, const std::string& key) {
    return fw::AppProfile().GetProfileString(section, key);
}

// The decimal number at the front of a text (0 when there is none), as C's atol reads it.
long ToLong(const std::string& text) {
    return std::strtol(text.c_str(), nullptr, 10);
}

// Calls `set` with the value of a key that is there and not empty.
template <class Set>
void IfSet(const std::string& section, const char* key, Set set) {
    const std::string v = Get(section, key);
    if (!v.empty())
        set(v);
}

// A section below another: "Styles\Standard" in the key store, "Styles.Standard" in a file.
std::string Subsection(std::string_view section, std::string_view name) {
    const char joint = fw::AppProfile().UsesKeyStore() ? '\\' : '.';
    return std::string(section) + joint + std::string(name);
}

std::string KeyName(const CGXStylesMapStyleEntry& e) {
    return e.resourceId ? "#" + std::to_string(e.resourceId) : e.name;
}

// Up to `n` numbers separated by commas, blanks before each skipped; reading stops at the first
// missing comma. The count of numbers read.
int ReadCommaNumbers(const std::string& text, int* out[], int n) {
    const char* p = text.c_str();
    int read = 0;
    while (read < n) {
        while (*p == ' ') ++p;
        char* end = nullptr;
        const long v = std::strtol(p, &end, 10);
        if (end == p)
            break;
        *out[read++] = static_cast<int>(v);
        p = end;
        if (*p != ',')
            break;
        ++p;
    }
    return read;
}

}  // namespace

// --- choice lists ----------------------------------------------------------------------------

std::string CGXGridProfileImp::EncodeChoiceList(std::string_view list) {
    std::string out;
    out.reserve(list.size());
    for (char c : list) {
        if (c == '\r')
            continue;
        if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

std::string CGXGridProfileImp::DecodeChoiceList(std::string_view text) {
    // One pass from the left, so "\\n" is a backslash and an n, never a line break.
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += "\r\n";
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// --- styles ----------------------------------------------------------------------------------

void CGXGridProfileImp::WriteStyleSection(const CGXStyle& s, const std::string& sec,
                                          const CGXStylesMap* map) {
    Put(sec, "HorizontalAlignment", s.GetIncludeHorizontalAlignment(),
        Num(s.GetHorizontalAlignment()));
    Put(sec, "VerticalAlignment", s.GetIncludeVerticalAlignment(), Num(s.GetVerticalAlignment()));
    Put(sec, "ReadOnly", s.GetIncludeReadOnly(), Num(s.GetReadOnly()));
    Put(sec, "FloatCell", s.GetIncludeFloatCell(), Num(s.GetFloatCell()));
    Put(sec, "FloodCell", s.GetIncludeFloodCell(), Num(s.GetFloodCell()));
    Put(sec, "MergeCell", s.GetIncludeMergeCell(), Num(s.GetMergeCell()));
    Put(sec, "Draw3dFrame", s.GetIncludeDraw3dFrame(), Num(s.GetDraw3dFrame()));
    Put(sec, "ControlId", s.GetIncludeControl(), Num(s.GetControl()));
    Put(sec, "MaxLength", s.GetIncludeMaxLength(), Num(s.GetMaxLength()));
    Put(sec, "VerticalScrollbar", s.GetIncludeVerticalScrollbar(), Num(s.GetVerticalScrollbar()));
    std::string base;
    unsigned resourceId = 0;
    if (map && s.GetIncludeBaseStyle()) {
        const std::optional<std::string> name = map->GetStyleName(s.GetBaseStyle(), resourceId);
        base = resourceId ? "#" + std::to_string(resourceId) : name.value_or(std::string());
    }
    Put(sec, "BaseStyle", !base.empty(), base);
    // A system colour is written as the colour it has now.
    const fw::ColorRef text = s.GetTextColor();
    Put(sec, "TextColor", s.GetIncludeTextColor(),
        Num(fw::RedOf(text)) + " " + Num(fw::GreenOf(text)) + " " + Num(fw::BlueOf(text)));
    Put(sec, "WrapText", s.GetIncludeWrapText(), Num(s.GetWrapText()));
    Put(sec, "AutoSize", s.GetIncludeAutoSize(), Num(s.GetAutoSize()));
    Put(sec, "AllowEnter", s.GetIncludeAllowEnter(), Num(s.GetAllowEnter()));
    Put(sec, "Enabled", s.GetIncludeEnabled(), Num(s.GetEnabled()));
    Put(sec, "TriState", s.GetIncludeTriState(), Num(s.GetTriState()));
    Put(sec, "Value", s.GetIncludeValue(), s.GetValue());
    Put(sec, "Format", s.GetIncludeFormat(), Num(s.GetFormat()));
    Put(sec, "Places", s.GetIncludePlaces(), Num(s.GetPlaces()));
    Put(sec, "ChoicesList", s.GetIncludeChoiceList(), EncodeChoiceList(s.GetChoiceList()));
    Put(sec, "Borders", s.GetIncludeBorders(), "1");
    for (int i = 0; i < 4; ++i)
        Put(sec, kSideKeys[i], s.GetIncludeBorders() && s.HasBorder(kSides[i]),
            GXPenDescription(s.GetBorders(kSides[i])));
    if (const CGXUserAttributeMap* attributes = s.GetUserAttributeMap())
        attributes->WriteProfile(sec);
}

bool CGXGridProfileImp::ReadStyleSection(CGXStyle& s, const std::string& sec,
                                         const CGXStylesMap* map) {
    if (sec.empty())
        return false;
    s.Free();
    auto number = [&sec](const char* key, auto set) {
        IfSet(sec, key, [&set](const std::string& v) { set(ToLong(v)); });
    };
    number("HorizontalAlignment", [&s](long v) { s.SetHorizontalAlignment(unsigned(v)); });
    number("VerticalAlignment", [&s](long v) { s.SetVerticalAlignment(unsigned(v)); });
    number("ReadOnly", [&s](long v) { s.SetReadOnly(v != 0); });
    number("FloatCell", [&s](long v) { s.SetFloatCell(v != 0); });
    number("FloodCell", [&s](long v) { s.SetFloodCell(v != 0); });
    number("MergeCell", [&s](long v) { s.SetMergeCell(unsigned(v)); });
    number("Draw3dFrame", [&s](long v) { s.SetDraw3dFrame(unsigned(v)); });
    number("ControlId", [&s](long v) { s.SetControl(std::uint16_t(v)); });
    number("MaxLength", [&s](long v) { s.SetMaxLength(std::uint16_t(v)); });
    number("VerticalScrollbar", [&s](long v) { s.SetVerticalScrollbar(v != 0); });
    if (map)
        IfSet(sec, "BaseStyle", [&](const std::string& v) {
            s.SetBaseStyle(v[0] == '#' ? map->GetStyleIdFromResource(unsigned(ToLong(v.substr(1))))
                                       : map->GetStyleIdFromName(v));
        });
    IfSet(sec, "TextColor", [&s](const std::string& v) {
        int r = 0, g = 0, b = 0;
        if (std::sscanf(v.c_str(), " %d %d %d", &r, &g, &b) == 3)
            s.SetTextColor(fw::Rgb(r, g, b));
    });
    number("WrapText", [&s](long v) { s.SetWrapText(v != 0); });
    number("AutoSize", [&s](long v) { s.SetAutoSize(v != 0); });
    number("AllowEnter", [&s](long v) { s.SetAllowEnter(v != 0); });
    number("Enabled", [&s](long v) { s.SetEnabled(v != 0); });
    number("TriState", [&s](long v) { s.SetTriState(v != 0); });
    IfSet(sec, "Value", [&s](const std::string& v) { s.SetValue(v); });
    number("Format", [&s](long v) { s.SetFormat(unsigned(v)); });
    number("Places", [&s](long v) { s.SetPlaces(unsigned(v)); });
    IfSet(sec, "ChoicesList", [&s](const std::string& v) { s.SetChoiceList(DecodeChoiceList(v)); });
    if (Get(sec, "Borders") == "1")
        for (int i = 0; i < 4; ++i)
            IfSet(sec, kSideKeys[i],
                  [&](const std::string& v) { s.SetBorders(kSides[i], GXPenFromDescription(v)); });
    if (map)
        for (const auto& [id, entry] : map->GetUserAttributeEntries())
            IfSet(sec, ("UA" + std::to_string(id)).c_str(),
                  [&s, id = id](const std::string& v) { s.SetUserAttribute(id, v); });
    return true;
}

void CGXGridProfileImp::WriteStyle(const CGXStyle& style, std::string_view section,
                                   std::string_view entry) {
    if (section.empty())
        return;
    WriteStyleSection(style, entry.empty() ? std::string(section) : Subsection(section, entry),
                      nullptr);
}

bool CGXGridProfileImp::ReadStyle(CGXStyle& style, std::string_view section,
                                  std::string_view entry) {
    if (section.empty())
        return false;
    return ReadStyleSection(
        style, entry.empty() ? std::string(section) : Subsection(section, entry), nullptr);
}

void CGXGridProfileImp::WriteFont(const CGXFont&, std::string_view, std::string_view) {
    // Fonts are kept by their text form, which the font does not have yet: nothing is written.
}

// --- styles map ------------------------------------------------------------------------------

void CGXGridProfileImp::WriteStylesMap(const CGXStylesMap& map) {
    fw::Profile& profile = fw::AppProfile();
    const std::string& section = map.m_strSection;
    if (profile.UsesKeyStore()) {
        for (const std::string& sub : profile.SubsectionNames(section))
            profile.DeleteSection(Subsection(section, sub));
    }
    profile.DeleteSection(section);
    for (const auto& [id, e] : map.Styles()) {
        if (!e.style)
            continue;
        const std::string key = KeyName(e);
        if (!profile.UsesKeyStore())
            profile.WriteProfileString(section, key, std::string_view("1"));
        WriteStyleSection(*e.style, Subsection(section, key), &map);
    }
}

bool CGXGridProfileImp::ReadStylesMap(CGXStylesMap& map) {
    fw::Profile& profile = fw::AppProfile();
    // Every name of the section, however long the list.
    const std::vector<std::string> names = profile.UsesKeyStore()
                                               ? profile.SubsectionNames(map.m_strSection)
                                               : profile.EntryNames(map.m_strSection);
    if (names.empty())
        return false;
    for (const std::string& name : names) {
        std::unique_ptr<CGXStyle> style = map.CreateStyle();
        ReadStyleSection(*style, Subsection(map.m_strSection, name), &map);
        if (name[0] == '#')
            map.RegisterStyleFromResource(unsigned(ToLong(name.substr(1))), *style, false);
        else
            map.RegisterStyle(name, *style, false);
    }
    map.m_wStyleStandard = map.GetStyleIdFromResource(GX_IDS_STYLE_STANDARD);
    map.m_wStyleColHeader = map.GetStyleIdFromResource(GX_IDS_STYLE_COLHEADER);
    map.m_wStyleRowHeader = map.GetStyleIdFromResource(GX_IDS_STYLE_ROWHEADER);
    if (CGXStyle* standard = map.LookupStyle(map.m_wStyleStandard)) {
        CGXStyle defaults;
        defaults.SetDefault();
        standard->ChangeStyle(defaults, gxApplyNew);
    }
    return true;
}

// --- properties ------------------------------------------------------------------------------

void CGXGridProfileImp::WriteProperties(const CGXProperties& p) {
    fw::Profile& profile = fw::AppProfile();
    const std::string& sec = p.m_sSection;
    auto put = [&](const char* key, long v) { profile.WriteProfileString(sec, key, Num(v)); };
    // One key per named colour, the colour word as an unsigned number.
    for (std::size_t i = 0; i < p.GetColorCount(); ++i)
        if (!p.GetColorName(i).empty())
            profile.WriteProfileString(sec, p.GetColorName(i), std::to_string(p.GetColor(i)));
    put("MarkColumnHeader", p.m_bMarkColHeader);
    put("MarkRowHeader", p.m_bMarkRowHeader);
    put("3dHeader", p.Get3dButtons());
    put("HorizontalLines", p.GetDisplayHorzLines());
    put("VerticalLines", p.GetDisplayVertLines());
    for (const auto& [id, u] : p.m_userProperties)
        if (u.style && u.style->GetIncludeValue())
            profile.WriteProfileString(sec, "UP" + std::to_string(id), u.style->GetValue());
    put("Page Order", p.m_nPageOrder);
    put("Print Vertical Lines", p.GetPrintVertLines());
    put("Print Horizontal Lines", p.GetPrintHorzLines());
    put("Print Only Black&White", p.GetBlackWhite());
    put("Print Row Headers", p.m_bPrintRowHeaders);
    put("Print Column Headers", p.m_bPrintColHeaders);
    put("Center Vertical", p.m_bCenterVertical);
    put("Center Horizontal", p.m_bCenterHorizontal);
    put("Print Frame", p.m_bPrintFrame);
    profile.WriteProfileString(sec, "Margins",
                               Num(p.m_nTopMargin) + "," + Num(p.m_nLeftMargin) + "," +
                                   Num(p.m_nBottomMargin) + "," + Num(p.m_nRightMargin));
    put("Start Page Numbering", p.m_nFirstPage);
    profile.WriteProfileString(sec, "Distances",
                               Num(p.m_nHeaderDistance) + "," + Num(p.m_nFooterDistance));
}

bool CGXGridProfileImp::ReadProperties(CGXProperties& p) {
    fw::Profile& profile = fw::AppProfile();
    const std::string& sec = p.m_sSection;
    const bool exists =
        profile.UsesKeyStore() ? profile.SectionExists(sec) : !profile.EntryNames(sec).empty();
    if (!exists)
        return false;
    auto flag = [&sec](const char* key, auto set) {
        IfSet(sec, key, [&set](const std::string& v) { set(ToLong(v) != 0); });
    };
    for (std::size_t i = 0; i < p.GetColorCount(); ++i)
        if (!p.GetColorName(i).empty())
            IfSet(sec, p.GetColorName(i).c_str(), [&p, i](const std::string& v) {
                p.SetColor(i, static_cast<fw::ColorRef>(std::strtoul(v.c_str(), nullptr, 10)));
            });
    flag("MarkColumnHeader", [&p](bool b) { p.m_bMarkColHeader = b; });
    flag("MarkRowHeader", [&p](bool b) { p.m_bMarkRowHeader = b; });
    flag("3dHeader", [&p](bool b) { p.Set3dButtons(b); });
    flag("HorizontalLines", [&p](bool b) { p.SetDisplayHorzLines(b); });
    flag("VerticalLines", [&p](bool b) { p.SetDisplayVertLines(b); });
    for (auto& [id, u] : p.m_userProperties)
        if (u.style)
            u.style->SetValue(Get(sec, "UP" + std::to_string(id)));
    IfSet(sec, "Page Order", [&p](const std::string& v) { p.m_nPageOrder = int(ToLong(v)); });
    flag("Print Vertical Lines", [&p](bool b) { p.SetPrintVertLines(b); });
    flag("Print Horizontal Lines", [&p](bool b) { p.SetPrintHorzLines(b); });
    flag("Print Only Black&White", [&p](bool b) { p.SetBlackWhite(b); });
    flag("Print Row Headers", [&p](bool b) { p.m_bPrintRowHeaders = b; });
    flag("Print Column Headers", [&p](bool b) { p.m_bPrintColHeaders = b; });
    flag("Center Vertical", [&p](bool b) { p.m_bCenterVertical = b; });
    flag("Center Horizontal", [&p](bool b) { p.m_bCenterHorizontal = b; });
    flag("Print Frame", [&p](bool b) { p.m_bPrintFrame = b; });
    IfSet(sec, "Margins", [&p](const std::string& v) {
        int* margins[] = {&p.m_nTopMargin, &p.m_nLeftMargin, &p.m_nBottomMargin, &p.m_nRightMargin};
        ReadCommaNumbers(v, margins, 4);
    });
    IfSet(sec, "Start Page Numbering",
          [&p](const std::string& v) { p.m_nFirstPage = int(ToLong(v)); });
    IfSet(sec, "Distances", [&p](const std::string& v) {
        int* distances[] = {&p.m_nHeaderDistance, &p.m_nFooterDistance};
        ReadCommaNumbers(v, distances, 2);
    });
    return true;
}

void InstallProfileImp() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (!state.m_pProfileImp)
        state.m_pProfileImp = state.AddOwnedObject(std::make_unique<CGXGridProfileImp>());
}
