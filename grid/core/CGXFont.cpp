#include "grid/core/CGXFont.h"

#include "framework/persist/Archive.h"
#include "grid/core/CGXFontFaceTable.h"
#include "grid/core/GXLibraryState.h"

#include <cmath>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

const fw::RuntimeClass CGXFont::kClass{"CGXFont", 2, &fw::Serializable::kClass,
                                       fw::CreateInstance<CGXFont>};

namespace {

// The logical fonts shared by all fonts with the same attribute words.
struct FontData {
    int references = 0;
    fw::LogFont logFont;
    bool built = false;
};

struct SharedFontData {
    std::mutex lock;
    std::unordered_map<std::uint64_t, FontData> map;
};

SharedFontData& Shared() {
    static SharedFontData* data = new SharedFontData();  // fonts live until process exit
    return *data;
}

std::uint64_t KeyOf(std::uint32_t w0, std::uint32_t w1) {
    return (static_cast<std::uint64_t>(w1) << 32) | w0;
}

int MulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

}  // namespace

unsigned GXEncodeFontSize(double points) {
    const double q = std::fabs(points) * 4.0;
    if (!(q < 1023.0))  // also NaN
        return std::isnan(q) ? 0u : 1023u;
    return static_cast<unsigned>(q);
}

double GXDecodeFontSize(unsigned code) {
    return code * 0.25;
}

int GXDecodeFontWeight(unsigned code) {
    return static_cast<int>(code) * 100;
}

int GXDecodeFontOrientation(unsigned code) {
    return static_cast<int>(code) * 10;
}

CGXFont::CGXFont(const CGXFont& other) : fw::Serializable(), w0_(other.w0_), w1_(other.w1_) {
    if (other.hasShare_) {
        SharedFontData& s = Shared();
        std::lock_guard guard(s.lock);
        ++s.map[KeyOf(w0_, w1_)].references;
        hasShare_ = true;
    }
}

CGXFont& CGXFont::operator=(const CGXFont& other) {
    if (w0_ == other.w0_ && w1_ == other.w1_)
        return *this;
    ReleaseSharedData();
    w0_ = other.w0_;
    w1_ = other.w1_;
    return *this;
}

CGXFont::~CGXFont() {
    ReleaseSharedData();
}

void CGXFont::ReleaseSharedData() const {
    if (!hasShare_)
        return;
    SharedFontData& s = Shared();
    std::lock_guard guard(s.lock);
    auto it = s.map.find(KeyOf(w0_, w1_));
    if (it != s.map.end() && --it->second.references <= 0)
        s.map.erase(it);
    hasShare_ = false;
}

void CGXFont::Serialize(fw::Archive& ar) {
    if (CGXAbstractStyleSerializeImp* imp = GXGetLibraryState().m_pStyleSerializeImp)
        imp->SerializeFont(*this, ar);
}

void CGXFont::WriteProfile(std::string_view section, std::string_view entry) const {
    if (CGXAbstractGridProfileImp* imp = GXGetLibraryState().m_pProfileImp)
        imp->WriteFont(*this, section, entry);
}

void CGXFont::SetField(std::uint32_t& word, int shift, std::uint32_t mask, unsigned value) {
    ReleaseSharedData();
    word = (word & ~(mask << shift)) | ((value & mask) << shift);
}

void CGXFont::SetFlag(std::uint32_t bit, std::uint32_t inclBit, bool value) {
    ReleaseSharedData();
    w0_ = (w0_ & ~bit) | (value ? bit : 0u) | inclBit;
}

CGXFont& CGXFont::SetWeight(int weight) {
    const int code = std::clamp(std::abs(weight) / 100, 0, 14);
    SetField(w0_, 0, 0xF, static_cast<unsigned>(code));
    return *this;
}

CGXFont& CGXFont::SetItalic(bool italic) {
    SetFlag(kItalic, kInclItalic, italic);
    return *this;
}

CGXFont& CGXFont::SetUnderline(bool underline) {
    SetFlag(kUnderline, kInclUnderline, underline);
    return *this;
}

CGXFont& CGXFont::SetStrikeOut(bool strikeOut) {
    SetFlag(kStrike, kInclStrike, strikeOut);
    return *this;
}

CGXFont& CGXFont::SetSize(double points) {
    SetField(w0_, 10, 0x3FF, GXEncodeFontSize(points));
    return *this;
}

CGXFont& CGXFont::SetOrientation(int tenths) {
    // Any angle is taken modulo a full turn, so no angle reads as "not included".
    int t = tenths % 3600;
    if (t < 0)
        t += 3600;
    SetField(w0_, 20, 0x1FF, static_cast<unsigned>(t / 10));
    return *this;
}

CGXFont& CGXFont::SetFaceIndex(int index) {
    const unsigned i =
        index < 0 || index > static_cast<int>(kNoFace) ? kNoFace : static_cast<unsigned>(index);
    SetField(w1_, 0, 0x3FF, i);
    return *this;
}

CGXFont& CGXFont::SetFaceName(std::string_view name) {
    return SetFaceIndex(GXGetFontFaceIndex(name));
}

CGXFont& CGXFont::SetIncludeWeight(bool include) {
    if (!include)
        SetField(w0_, 0, 0xF, kNoWeight);
    return *this;
}

CGXFont& CGXFont::SetIncludeItalic(bool include) {
    ReleaseSharedData();
    w0_ = include ? (w0_ | kInclItalic) : (w0_ & ~(kInclItalic | kItalic));
    return *this;
}

CGXFont& CGXFont::SetIncludeUnderline(bool include) {
    ReleaseSharedData();
    w0_ = include ? (w0_ | kInclUnderline) : (w0_ & ~(kInclUnderline | kUnderline));
    return *this;
}

CGXFont& CGXFont::SetIncludeStrikeOut(bool include) {
    ReleaseSharedData();
    w0_ = include ? (w0_ | kInclStrike) : (w0_ & ~(kInclStrike | kStrike));
    return *this;
}

CGXFont& CGXFont::SetIncludeSize(bool include) {
    if (!include)
        SetField(w0_, 10, 0x3FF, 0);
    return *this;
}

CGXFont& CGXFont::SetIncludeOrientation(bool include) {
    if (!include)
        SetField(w0_, 20, 0x1FF, kNoOrientation);
    return *this;
}

CGXFont& CGXFont::SetIncludeFaceName(bool include) {
    if (!include)
        SetField(w1_, 0, 0x3FF, kNoFace);
    return *this;
}

bool CGXFont::IsEmpty() const {
    return !GetIncludeWeight() && !GetIncludeItalic() && !GetIncludeUnderline() &&
           !GetIncludeStrikeOut() && !GetIncludeSize() && !GetIncludeOrientation() &&
           !GetIncludeFaceName();
}

double CGXFont::GetSize() const {
    return GXDecodeFontSize(SizeCode());
}

const char* CGXFont::GetFaceName() const {
    return GetIncludeFaceName() ? GXGetFontFaceName(GetFaceIndex()) : nullptr;
}

CGXFont& CGXFont::SetLogFont(const fw::LogFont& lf) {
    std::string face = lf.faceName;
    if (lf.charSet != fw::ANSI_CHARSET && lf.charSet != fw::DEFAULT_CHARSET) {
        const std::string_view script = CGXFontFaceTable::ScriptName(lf.charSet);
        if (!script.empty() && !face.empty())
            face += " (" + std::string(script) + ")";
    }
    const CGXFontFaceTable& table = CGXFontFaceTable::Instance();
    SetFaceIndex(CGXFontFaceTable::Instance().FindOrAddFace(face));
    SetField(w0_, 10, 0x3FF,
             lf.height ? std::min(1023u, static_cast<unsigned>(std::abs(
                                             MulDiv(std::abs(lf.height), 288, table.logPixelsY))))
                       : 0u);
    SetWeight(lf.weight);
    SetOrientation(lf.orientation);
    SetItalic(lf.italic);
    SetUnderline(lf.underline);
    SetStrikeOut(lf.strikeOut);
    return *this;
}

fw::LogFont CGXFont::BuildLogFont() const {
    fw::LogFont lf;
    lf.weight = 0;
    lf.charSet = fw::DEFAULT_CHARSET;
    lf.italic = GetIncludeItalic() && GetItalic();
    lf.underline = GetIncludeUnderline() && GetUnderline();
    lf.strikeOut = GetIncludeStrikeOut() && GetStrikeOut();
    const CGXFontFaceTable& table = CGXFontFaceTable::Instance();
    if (GetIncludeSize())
        lf.height = -MulDiv(static_cast<int>(SizeCode()), table.logPixelsY, 288);
    if (GetIncludeWeight())
        lf.weight = GetWeight();
    if (GetIncludeOrientation())
        lf.escapement = lf.orientation = GetOrientation();
    if (const GXFaceEntry* e = GetIncludeFaceName() ? table.GetFace(GetFaceIndex()) : nullptr) {
        lf.faceName = std::string(e->PlainName());
        lf.charSet = e->charSet;
        lf.pitchAndFamily =
            static_cast<std::uint8_t>(e->pitchAndFamily + (lf.orientation > 0 ? 4 : 0));
    }
    return lf;
}

const fw::LogFont& CGXFont::GetLogFont() const {
    SharedFontData& s = Shared();
    std::lock_guard guard(s.lock);
    FontData& d = s.map[KeyOf(w0_, w1_)];
    if (!hasShare_) {
        ++d.references;
        hasShare_ = true;
    }
    if (!d.built) {
        d.logFont = BuildLogFont();
        d.built = true;
    }
    return d.logFont;
}

fw::LogFont CGXFont::GetLogFontZoomed(int percent) const {
    fw::LogFont lf = GetLogFont();
    lf.height = static_cast<int>(static_cast<long long>(lf.height) * percent / 100);
    return lf;
}

CGXFont& CGXFont::SetDefault() {
    fw::LogFont lf;
    lf.faceName = "Arial";
    lf.height = -11;
    lf.weight = fw::FW_NORMAL;
    lf.pitchAndFamily = 0x22;
    lf.charSet = fw::DEFAULT_CHARSET;
    return SetLogFont(lf);
}

CGXFont& CGXFont::ChangeFont(const CGXFont& src, GXModifyType type) {
    if (type == gxCopy)
        return *this = src;
    const bool exclude = type == gxExclude;
    const bool override = type == gxOverride;
    auto take = [&](bool srcHas, bool ownHas, auto set, auto clear) {
        if (!srcHas)
            return;
        if (exclude)
            clear();
        else if (override || !ownHas)
            set();
    };
    take(
        src.GetIncludeWeight(), GetIncludeWeight(), [&] { SetWeight(src.GetWeight()); },
        [&] { SetIncludeWeight(false); });
    take(
        src.GetIncludeItalic(), GetIncludeItalic(), [&] { SetItalic(src.GetItalic()); },
        [&] { SetIncludeItalic(false); });
    take(
        src.GetIncludeUnderline(), GetIncludeUnderline(), [&] { SetUnderline(src.GetUnderline()); },
        [&] { SetIncludeUnderline(false); });
    take(
        src.GetIncludeStrikeOut(), GetIncludeStrikeOut(), [&] { SetStrikeOut(src.GetStrikeOut()); },
        [&] { SetIncludeStrikeOut(false); });
    take(
        src.GetIncludeSize(), GetIncludeSize(), [&] { SetField(w0_, 10, 0x3FF, src.SizeCode()); },
        [&] { SetIncludeSize(false); });
    take(
        src.GetIncludeOrientation(), GetIncludeOrientation(),
        [&] { SetField(w0_, 20, 0x1FF, src.OrientationCode()); },
        [&] { SetIncludeOrientation(false); });
    take(
        src.GetIncludeFaceName(), GetIncludeFaceName(), [&] { SetFaceIndex(src.GetFaceIndex()); },
        [&] { SetIncludeFaceName(false); });
    return *this;
}

bool CGXFont::IsSubSet(const CGXFont& f) const {
    if (f.GetIncludeWeight() && (!GetIncludeWeight() || GetWeight() != f.GetWeight()))
        return false;
    if (f.GetIncludeItalic() && (!GetIncludeItalic() || GetItalic() != f.GetItalic()))
        return false;
    if (f.GetIncludeUnderline() && (!GetIncludeUnderline() || GetUnderline() != f.GetUnderline()))
        return false;
    if (f.GetIncludeStrikeOut() && (!GetIncludeStrikeOut() || GetStrikeOut() != f.GetStrikeOut()))
        return false;
    if (f.GetIncludeSize() && (!GetIncludeSize() || GetSize() != f.GetSize()))
        return false;
    if (f.GetIncludeOrientation() &&
        (!GetIncludeOrientation() || GetOrientation() != f.GetOrientation()))
        return false;
    if (f.GetIncludeFaceName() && (!GetIncludeFaceName() || GetFaceIndex() != f.GetFaceIndex()))
        return false;
    return true;
}

void CGXFont::Reset() {
    ReleaseSharedData();
    w0_ = kNoWeight | (kNoOrientation << 20);
    w1_ = kNoFace;
}
