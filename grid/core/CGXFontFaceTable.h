// The process-wide table of font faces. A font stores a 10-bit face index instead of its face
// name; this table gives each face name its index, the first time it is asked for. The faces
// the toolkit knows are enumerated when the table is built ("Arial" is registered first and
// so has index 0); faces registered later are kept beside them. At most 1023 indices (0..1022)
// are given; 1023 means "no face".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct GXFaceEntry {
    std::string name;             // the face, or "face (script)" for a face in one character set
    std::size_t plainLength = 0;  // length of the plain face name when `name` has a script suffix
    std::uint8_t pitchAndFamily = 0;
    std::uint8_t charSet = 1;  // DEFAULT_CHARSET
    int index = -1;            // the face index once one is given
    int fontType = 0;
    bool plainFace = true;

    // The face name without its script suffix.
    std::string_view PlainName() const {
        return plainLength ? std::string_view(name).substr(0, plainLength) : std::string_view(name);
    }
};

class CGXFontFaceTable {
public:
    static constexpr int kNoFace = 1023;
    static constexpr int kMaxFaces = 1023;

    // The process-wide table, built on first use from the toolkit's font families.
    static CGXFontFaceTable& Instance();

    // An empty table (no enumeration); `enumerate` fills it from the toolkit's font families.
    CGXFontFaceTable() = default;
    void Enumerate();

    // The index of a face, registering it when unknown; kNoFace for an empty name or when every
    // index is taken.
    int FindOrAddFace(std::string_view name, std::uint8_t pitchAndFamily = 0,
                      std::uint8_t charSet = 1);
    // The entry of a face index, or null.
    const GXFaceEntry* GetFace(int index) const;
    int GetFaceCount() const { return static_cast<int>(byIndex_.size()); }

    // The script name of a Windows character set ("Western", "Greek", ...); empty when unknown.
    static std::string_view ScriptName(std::uint8_t charSet);

    int logPixelsX = 96;
    int logPixelsY = 96;

private:
    GXFaceEntry* FindEnumerated(std::string_view name);
    GXFaceEntry* FindRegistered(std::string_view name);
    int GiveIndex(GXFaceEntry& entry);

    std::vector<std::unique_ptr<GXFaceEntry>> enumerated_;  // sorted by name
    std::vector<std::unique_ptr<GXFaceEntry>> registered_;  // sorted by name
    std::vector<GXFaceEntry*> byIndex_;
};

// The face index of a name in the process-wide table (registering it), and the name of an index
// (null for an index out of range).
int GXGetFontFaceIndex(std::string_view name);
const char* GXGetFontFaceName(int index);
