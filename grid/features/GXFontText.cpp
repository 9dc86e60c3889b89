#include "grid/features/GXFontText.h"

#include "grid/core/GXNumberText.h"

#include <vector>

namespace {

std::vector<std::string_view> SplitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        fields.push_back(text.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos)
            return fields;
        start = comma + 1;
    }
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

}  // namespace

std::string GXFontDescription(const CGXFont& font) {
    std::string out;
    if (font.GetIncludeFaceName() && font.GetFaceName())
        out += font.GetFaceName();
    out += ',';
    if (font.GetIncludeSize())
        out += std::to_string(static_cast<int>(font.GetSize()));
    out += ',';
    if (font.GetIncludeWeight())
        out += std::to_string(font.GetWeight());
    out += ',';
    if (font.GetIncludeItalic())
        out += font.GetItalic() ? '1' : '0';
    out += ',';
    if (font.GetIncludeUnderline())
        out += font.GetUnderline() ? '1' : '0';
    out += ',';
    if (font.GetIncludeStrikeOut())
        out += font.GetStrikeOut() ? '1' : '0';
    out += ',';
    if (font.GetIncludeOrientation())
        out += std::to_string(font.GetOrientation());
    return out;
}

void GXFontSetDescription(CGXFont& font, std::string_view text) {
    font.Reset();
    const std::vector<std::string_view> f = SplitFields(text);
    auto field = [&f](std::size_t i) { return i < f.size() ? Trimmed(f[i]) : std::string_view{}; };
    if (!f[0].empty())
        font.SetFaceName(f[0]);
    if (auto s = field(1); !s.empty())
        font.SetSize(GXAtof(s));
    if (auto s = field(2); !s.empty())
        font.SetWeight(static_cast<int>(GXAtol(s)));
    if (auto s = field(3); !s.empty())
        font.SetItalic(GXAtol(s) != 0);
    if (auto s = field(4); !s.empty())
        font.SetUnderline(GXAtol(s) != 0);
    if (auto s = field(5); !s.empty())
        font.SetStrikeOut(GXAtol(s) != 0);
    if (auto s = field(6); !s.empty())
        font.SetOrientation(static_cast<int>(GXAtol(s)));
}

CGXFont GXFontFromDescription(std::string_view text) {
    CGXFont font;
    GXFontSetDescription(font, text);
    return font;
}
