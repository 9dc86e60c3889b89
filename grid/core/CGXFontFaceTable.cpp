#include "grid/core/CGXFontFaceTable.h"

#include "framework/drawing/DeviceContext.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <algorithm>

namespace {

struct ScriptOfCharSet {
    std::uint8_t charSet;
    std::string_view script;
};

constexpr ScriptOfCharSet kScripts[] = {
    {0, "Western"},   {2, "Symbol"},           {77, "Mac"},           {128, "Japanese"},
    {129, "Hangul"},  {134, "CHINESE_GB2312"}, {136, "CHINESE_BIG5"}, {161, "Greek"},
    {162, "Turkish"}, {163, "Vietnamese"},     {177, "Hebrew"},       {178, "Arabic"},
    {186, "Baltic"},  {204, "Cyrillic"},       {222, "Thai"},         {238, "Central European"},
    {255, "OEM/DOS"},
};

struct WritingSystemCharSet {
    QFontDatabase::WritingSystem system;
    std::uint8_t charSet;
};

constexpr WritingSystemCharSet kWritingSystems[] = {
    {QFontDatabase::Latin, 0},
    {QFontDatabase::Greek, 161},
    {QFontDatabase::Cyrillic, 204},
    {QFontDatabase::Hebrew, 177},
    {QFontDatabase::Arabic, 178},
    {QFontDatabase::Thai, 222},
    {QFontDatabase::Vietnamese, 163},
    {QFontDatabase::SimplifiedChinese, 134},
    {QFontDatabase::TraditionalChinese, 136},
    {QFontDatabase::Japanese, 128},
    {QFontDatabase::Korean, 129},
    {QFontDatabase::Symbol, 2},
};

constexpr std::size_t kBlock = 256;
constexpr std::size_t kMaxEnumerated = 256 * kBlock;

bool ByName(const std::unique_ptr<GXFaceEntry>& a, const std::unique_ptr<GXFaceEntry>& b) {
    return a->name < b->name;
}

GXFaceEntry* FindSorted(std::vector<std::unique_ptr<GXFaceEntry>>& v, std::string_view name) {
    auto it = std::lower_bound(v.begin(), v.end(), name,
                               [](const std::unique_ptr<GXFaceEntry>& e, std::string_view n) {
                                   return std::string_view(e->name) < n;
                               });
    return it != v.end() && (*it)->name == name ? it->get() : nullptr;
}

}  // namespace

CGXFontFaceTable& CGXFontFaceTable::Instance() {
    static CGXFontFaceTable* table = [] {
        auto* t = new CGXFontFaceTable();  // lives for the process, as the fonts that use it
        t->logPixelsX = fw::ScreenDpi();
        t->logPixelsY = fw::ScreenDpi();
        t->Enumerate();
        return t;
    }();
    return *table;
}

std::string_view CGXFontFaceTable::ScriptName(std::uint8_t charSet) {
    for (const auto& s : kScripts)
        if (s.charSet == charSet)
            return s.script;
    return {};
}

void CGXFontFaceTable::Enumerate() {
    // Font enumeration needs the toolkit; without it the table only holds registered faces.
    if (!QGuiApplication::instance())
        return;
    const QStringList families = QFontDatabase::families();
    std::string previous;
    for (const QString& family : families) {
        const std::string face = family.toStdString();
        if (face.empty() || enumerated_.size() + 2 > kMaxEnumerated)
            continue;
        const std::uint8_t pitch = QFontDatabase::isFixedPitch(family) ? 0x01 : 0x02;
        if (face != previous) {
            auto e = std::make_unique<GXFaceEntry>();
            e->name = face;
            e->pitchAndFamily = pitch;
            enumerated_.push_back(std::move(e));
            previous = face;
        }
        for (const auto& ws : kWritingSystems) {
            if (!QFontDatabase::writingSystems(family).contains(ws.system))
                continue;
            auto e = std::make_unique<GXFaceEntry>();
            e->name = face + " (" + std::string(ScriptName(ws.charSet)) + ")";
            e->plainLength = face.size();
            e->pitchAndFamily = pitch;
            e->charSet = ws.charSet;
            e->plainFace = false;
            enumerated_.push_back(std::move(e));
        }
    }
    std::sort(enumerated_.begin(), enumerated_.end(), ByName);
    enumerated_.erase(std::unique(enumerated_.begin(), enumerated_.end(),
                                  [](const auto& a, const auto& b) { return a->name == b->name; }),
                      enumerated_.end());
    FindOrAddFace("Arial", 0x22, 0);
}

GXFaceEntry* CGXFontFaceTable::FindEnumerated(std::string_view name) {
    return FindSorted(enumerated_, name);
}

GXFaceEntry* CGXFontFaceTable::FindRegistered(std::string_view name) {
    return FindSorted(registered_, name);
}

int CGXFontFaceTable::GiveIndex(GXFaceEntry& entry) {
    if (entry.index < 0) {
        if (static_cast<int>(byIndex_.size()) >= kMaxFaces)
            return kNoFace;
        entry.index = static_cast<int>(byIndex_.size());
        byIndex_.push_back(&entry);
    }
    return entry.index;
}

int CGXFontFaceTable::FindOrAddFace(std::string_view name, std::uint8_t pitchAndFamily,
                                    std::uint8_t charSet) {
    if (name.empty())
        return kNoFace;
    if (GXFaceEntry* e = FindEnumerated(name))
        return GiveIndex(*e);
    if (GXFaceEntry* e = FindRegistered(name))
        return GiveIndex(*e);
    if (static_cast<int>(byIndex_.size()) >= kMaxFaces)
        return kNoFace;
    auto e = std::make_unique<GXFaceEntry>();
    e->name = std::string(name);
    e->pitchAndFamily = pitchAndFamily;
    e->charSet = charSet;
    // A "face (script)" name carries its character set in the suffix.
    for (const auto& s : kScripts) {
        const std::string suffix = " (" + std::string(s.script) + ")";
        if (e->name.size() > suffix.size() && e->name.ends_with(suffix)) {
            e->plainLength = e->name.size() - suffix.size();
            e->charSet = s.charSet;
            e->plainFace = false;
            break;
        }
    }
    GXFaceEntry& ref = *e;
    auto at = std::upper_bound(registered_.begin(), registered_.end(), e, ByName);
    registered_.insert(at, std::move(e));
    return GiveIndex(ref);
}

const GXFaceEntry* CGXFontFaceTable::GetFace(int index) const {
    if (index < 0 || index >= static_cast<int>(byIndex_.size()))
        return nullptr;
    return byIndex_[static_cast<std::size_t>(index)];
}

int GXGetFontFaceIndex(std::string_view name) {
    return CGXFontFaceTable::Instance().FindOrAddFace(name);
}

const char* GXGetFontFaceName(int index) {
    const GXFaceEntry* e = CGXFontFaceTable::Instance().GetFace(index);
    return e ? e->name.c_str() : nullptr;
}
