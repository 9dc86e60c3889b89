// The font part of a style: two attribute words, each attribute either included or not.
//   weight code (weight / 100; 15 = not included), italic, underline and strike-out (each a
//   value and an include bit), size code (quarter points, 0..1023; 0 = not included),
//   orientation code (degrees 0..359; 0x1FF = not included), face index (0x3FF = not included).
// The logical font built from the words is shared among all fonts with the same words (see
// GetLogFont); every setter drops the font's share first.
#pragma once

#include "framework/drawing/GdiObjects.h"
#include "framework/persist/RuntimeClass.h"
#include "grid/core/GXTypes.h"

#include <cstdint>
#include <string_view>

class CGXFont : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    CGXFont() = default;  // nothing included
    CGXFont(const CGXFont& other);
    explicit CGXFont(const fw::LogFont& lf) { SetLogFont(lf); }
    CGXFont& operator=(const CGXFont& other);
    CGXFont& operator=(const fw::LogFont& lf) { return SetLogFont(lf); }
    ~CGXFont() override;

    // Through the style-serialisation component; nothing happens without it.
    void Serialize(fw::Archive& ar) override;
    // Through the profile component; nothing happens without it.
    void WriteProfile(std::string_view section, std::string_view entry) const;

    CGXFont& SetWeight(int weight);
    CGXFont& SetItalic(bool italic);
    CGXFont& SetUnderline(bool underline);
    CGXFont& SetStrikeOut(bool strikeOut);
    CGXFont& SetSize(double points);
    CGXFont& SetOrientation(int tenths);
    CGXFont& SetFaceIndex(int index);
    CGXFont& SetFaceName(std::string_view name);
    CGXFont& SetIncludeWeight(bool include);
    CGXFont& SetIncludeItalic(bool include);
    CGXFont& SetIncludeUnderline(bool include);
    CGXFont& SetIncludeStrikeOut(bool include);
    CGXFont& SetIncludeSize(bool include);
    CGXFont& SetIncludeOrientation(bool include);
    CGXFont& SetIncludeFaceName(bool include);

    bool GetIncludeWeight() const { return WeightCode() != kNoWeight; }
    bool GetIncludeItalic() const { return (w0_ & kInclItalic) != 0; }
    bool GetIncludeUnderline() const { return (w0_ & kInclUnderline) != 0; }
    bool GetIncludeStrikeOut() const { return (w0_ & kInclStrike) != 0; }
    bool GetIncludeSize() const { return SizeCode() != 0; }
    bool GetIncludeOrientation() const { return OrientationCode() != kNoOrientation; }
    bool GetIncludeFaceName() const { return FaceIndex() != kNoFace; }
    bool IsEmpty() const;  // nothing included

    int GetWeight() const { return static_cast<int>(WeightCode()) * 100; }
    bool GetItalic() const { return (w0_ & kItalic) != 0; }
    bool GetUnderline() const { return (w0_ & kUnderline) != 0; }
    bool GetStrikeOut() const { return (w0_ & kStrike) != 0; }
    double GetSize() const;                                                          // points
    int GetOrientation() const { return static_cast<int>(OrientationCode()) * 10; }  // tenths
    int GetFaceIndex() const { return static_cast<int>(FaceIndex()); }
    const char* GetFaceName() const;  // null when none is included

    // From a logical font: face (with a script suffix for character sets other than ANSI and
    // DEFAULT), size from the height at the screen's resolution, weight, orientation, italic,
    // underline and strike-out (all included).
    CGXFont& SetLogFont(const fw::LogFont& lf);
    // The logical font of the included attributes, from the data shared by equal fonts.
    const fw::LogFont& GetLogFont() const;
    // The logical font with its height scaled by percent / 100.
    fw::LogFont GetLogFontZoomed(int percent) const;

    // Arial 8 points (lfHeight -11 at the screen's resolution), weight 400.
    CGXFont& SetDefault();
    CGXFont& ChangeFont(const CGXFont& source, GXModifyType type);
    // TRUE when every attribute included in `font` is included here with the same value.
    bool IsSubSet(const CGXFont& font) const;
    // Excludes everything.
    void Reset();
    // Gives up the share of the logical font data (done by every setter).
    void ReleaseSharedData() const;

    std::uint32_t Word0() const { return w0_; }
    std::uint32_t Word1() const { return w1_; }
    bool operator==(const CGXFont& o) const { return w0_ == o.w0_ && w1_ == o.w1_; }

    static constexpr unsigned kNoWeight = 15;
    static constexpr unsigned kNoOrientation = 0x1FF;
    static constexpr unsigned kNoFace = 0x3FF;

private:
    static constexpr std::uint32_t kItalic = 1u << 4;
    static constexpr std::uint32_t kUnderline = 1u << 5;
    static constexpr std::uint32_t kStrike = 1u << 6;
    static constexpr std::uint32_t kInclItalic = 1u << 7;
    static constexpr std::uint32_t kInclUnderline = 1u << 8;
    static constexpr std::uint32_t kInclStrike = 1u << 9;

    unsigned WeightCode() const { return w0_ & 0xFu; }
    unsigned SizeCode() const { return (w0_ >> 10) & 0x3FFu; }
    unsigned OrientationCode() const { return (w0_ >> 20) & 0x1FFu; }
    unsigned FaceIndex() const { return w1_ & 0x3FFu; }
    void SetField(std::uint32_t& word, int shift, std::uint32_t mask, unsigned value);
    void SetFlag(std::uint32_t bit, std::uint32_t inclBit, bool value);
    fw::LogFont BuildLogFont() const;

    std::uint32_t w0_ = kNoWeight | (kNoOrientation << 20);
    std::uint32_t w1_ = kNoFace;
    mutable bool hasShare_ = false;  // holds a reference to the shared font data
};

// Size codes: quarter points, truncated, absolute value, capped at 1023.
unsigned GXEncodeFontSize(double points);
double GXDecodeFontSize(unsigned code);
int GXDecodeFontWeight(unsigned code);
int GXDecodeFontOrientation(unsigned code);  // tenths of a degree
