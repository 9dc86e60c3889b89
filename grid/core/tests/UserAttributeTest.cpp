#include "framework/persist/Archive.h"
#include "framework/persist/Profile.h"
#include "grid/core/CGXNumberFormattingImp.h"
#include "grid/core/CGXUserAttributeMap.h"
#include "grid/core/GXLibraryState.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

namespace {

std::vector<std::uint8_t> Store(fw::Serializable& o) {
    std::vector<std::uint8_t> out;
    fw::Archive ar(fw::StoreTo{out});
    o.Serialize(ar);
    return out;
}

TEST(UserAttribute, KindsAndTextForms) {
    InstallNumberFormattingImp();  // needed for the number test
    const struct {
        const char* text;
        CGXUserAttribute::Kind kind;
        const char* back;
    } cases[] = {
        {"", CGXUserAttribute::kEmpty, ""},
        {"12", CGXUserAttribute::kDouble, "12"},
        {"12.0", CGXUserAttribute::kShortText, "12.0"},  // prints back as 12
        {"1.50", CGXUserAttribute::kShortText, "1.50"},
        {"1e3", CGXUserAttribute::kShortText, "1e3"},
        {"-0.25", CGXUserAttribute::kDouble, "-0.25"},
        {"8bytes!!", CGXUserAttribute::kShortText, "8bytes!!"},
        {"nine byte", CGXUserAttribute::kLongText, "nine byte"},
        {"\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4", CGXUserAttribute::kShortText,
         "\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4"},  // 8 bytes in 4 characters
    };
    for (const auto& c : cases) {
        CGXUserAttribute a;
        a.SetValue(c.text);
        EXPECT_EQ(a.GetKind(), c.kind) << c.text;
        EXPECT_EQ(a.GetValue(), c.back) << c.text;
    }
    EXPECT_EQ(CGXUserAttribute(std::uint32_t{4000000000u}).GetValue(), "4000000000");
    EXPECT_EQ(CGXUserAttribute(std::int32_t{-5}).GetValue(), "-5");
    EXPECT_EQ(CGXUserAttribute(std::int32_t{-5}).GetDoubleValue(), -5.0);
    EXPECT_EQ(CGXUserAttribute::FromDouble(2.5).GetLongValue(), 2);
    EXPECT_EQ(CGXUserAttribute::FromDouble(1e300).GetLongValue(), 0);  // out of range
    EXPECT_EQ(CGXUserAttribute::FromBytes(0x1234, 0xABCDEF01).GetValue(), "00001234abcdef01");
    EXPECT_EQ(CGXUserAttribute("").GetKind(), CGXUserAttribute::kShortText);
    EXPECT_EQ(CGXUserAttribute(" 42abc").GetLongValue(), 42);
    EXPECT_EQ(CGXUserAttribute("3.5x").GetDoubleValue(), 3.5);
}

TEST(UserAttribute, Equality) {
    CGXUserAttribute a("x"), b("x"), c("y");
    EXPECT_TRUE(a.IsEqual(b));
    EXPECT_FALSE(a.IsEqual(c));
    b.m_nId = 7;
    EXPECT_FALSE(a.IsEqual(b));  // the id counts
    CGXEllipseUserAttribute e1(3), e2(3);
    e2.m_nId = 9;
    EXPECT_TRUE(e1.IsEqual(e2));  // ellipsis attributes compare their values only
    EXPECT_TRUE(e1.IsEmpty());
    EXPECT_EQ(e1.GetDoubleValue(), 3.0);
}

TEST(UserAttributeMap, MergeByModifyType) {
    CGXUserAttributeMap target;
    target.SetAttribute(1, CGXUserAttribute("a"));
    target.SetAttribute(2, CGXUserAttribute("b"));
    CGXUserAttributeMap source;
    source.SetAttribute(3, CGXUserAttribute("y"));
    source.SetAttribute(2, CGXUserAttribute("x"));
    CGXUserAttributeMap m = target;
    m.ChangeMap(source, gxApplyNew);
    ASSERT_EQ(m.GetCount(), 3);
    EXPECT_EQ(m.GetAttribute(2)->GetValue(), "b");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(m.GetAt(i).m_nId, i + 1);  // sorted by id
    m.ChangeMap(source, gxExclude);
    EXPECT_EQ(m.GetCount(), 1);
    EXPECT_EQ(m.FindIndex(2), -1);
}

// Ids of both maps interleave; the merged map keeps id order and takes the source's value on a
// shared id only when it overrides.
TEST(UserAttributeMap, MergeInterleavesIds) {
    const struct {
        GXModifyType type;
        const char* shared;
    } cases[] = {{gxOverride, "s4"}, {gxApplyNew, "t4"}};
    for (const auto& c : cases) {
        CGXUserAttributeMap m;
        for (int id : {6, 1, 4}) m.SetAttribute(id, CGXUserAttribute("t" + std::to_string(id)));
        CGXUserAttributeMap source;
        for (int id : {7, 4, 2})
            source.SetAttribute(id, CGXUserAttribute("s" + std::to_string(id)));
        m.ChangeMap(source, c.type);
        const int ids[] = {1, 2, 4, 6, 7};
        const char* values[] = {"t1", "s2", c.shared, "t6", "s7"};
        ASSERT_EQ(m.GetCount(), 5) << c.type;
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(m.GetAt(i).m_nId, ids[i]) << c.type;
            EXPECT_EQ(m.GetAt(i).GetValue(), values[i]) << c.type;
        }
        EXPECT_EQ(source.GetCount(), 3);
        EXPECT_EQ(source.GetAttribute(4)->GetValue(), "s4");
    }
}

// A copy shares its original's list until either changes: every way of changing one leaves
// the other as it was.
TEST(UserAttributeMap, ChangingACopyLeavesTheOriginal) {
    CGXUserAttributeMap other;
    other.SetAttribute(2, CGXUserAttribute("o2"));
    other.SetAttribute(5, CGXUserAttribute("o5"));
    const struct {
        const char* what;
        std::function<void(CGXUserAttributeMap&)> change;
    } cases[] = {
        {"set", [](CGXUserAttributeMap& m) { m.SetAttribute(2, CGXUserAttribute("new")); }},
        {"add", [](CGXUserAttributeMap& m) { m.SetAttribute(9, CGXUserAttribute("new")); }},
        {"remove", [](CGXUserAttributeMap& m) { m.RemoveAttribute(1); }},
        {"remove all", [](CGXUserAttributeMap& m) { m.RemoveAll(); }},
        {"override", [&](CGXUserAttributeMap& m) { m.ChangeMap(other, gxOverride); }},
        {"apply new", [&](CGXUserAttributeMap& m) { m.ChangeMap(other, gxApplyNew); }},
        {"exclude", [&](CGXUserAttributeMap& m) { m.ChangeMap(other, gxExclude); }},
        {"copy", [&](CGXUserAttributeMap& m) { m.ChangeMap(other, gxCopy); }},
        {"exclude itself", [](CGXUserAttributeMap& m) { m.ChangeMap(m, gxExclude); }},
    };
    for (const auto& c : cases) {
        CGXUserAttributeMap original;
        for (int id : {1, 2, 3})
            original.SetAttribute(id, CGXUserAttribute("v" + std::to_string(id)));
        for (bool changeOriginal : {false, true}) {
            CGXUserAttributeMap copy = original;
            CGXUserAttributeMap& changed = changeOriginal ? original : copy;
            const CGXUserAttributeMap& kept = changeOriginal ? copy : original;
            c.change(changed);
            ASSERT_EQ(kept.GetCount(), 3) << c.what << changeOriginal;
            for (int id : {1, 2, 3})
                EXPECT_EQ(kept.GetAttribute(id)->GetValue(), "v" + std::to_string(id)) << c.what;
            EXPECT_EQ(other.GetCount(), 2) << c.what;
        }
    }
}

TEST(UserAttributeMap, ArchiveBytesAndRoundTrip) {
    CGXUserAttributeMap map;
    map.SetAttributePtr(51011, std::make_unique<CGXUserAttribute>(std::uint32_t{5}));
    map.SetAttributePtr(51022, std::make_unique<CGXUserAttribute>("a long tip"));
    map.SetAttributePtr(9, std::make_unique<CGXEllipseUserAttribute>(0x1234));
    const std::vector<std::uint8_t> bytes = Store(map);

    std::vector<std::uint8_t> expect = {0x03, 0x00};  // three attributes
    auto add = [&](std::initializer_list<std::uint8_t> b) { expect.insert(expect.end(), b); };
    auto addName = [&](const char* n) { expect.insert(expect.end(), n, n + std::strlen(n)); };
    // id 9 first (sorted): a new class, schema 1, its name, the value as a word, the id.
    add({0xFF, 0xFF, 0x01, 0x00, 23, 0x00});
    addName("CGXEllipseUserAttribute");
    add({0x34, 0x12, 0x09, 0x00});
    // 51011: a new class, kind 1 and eight value bytes, id 0xC743.
    add({0xFF, 0xFF, 0x01, 0x00, 16, 0x00});
    addName("CGXUserAttribute");
    add({0x01, 0x05, 0, 0, 0, 0, 0, 0, 0, 0x43, 0xC7});
    // 51022: the second class seen again (0x8001), kind 4, the text, id 0xC74E.
    add({0x01, 0x80, 0x04, 10});
    addName("a long tip");
    add({0x4E, 0xC7});
    EXPECT_EQ(bytes, expect);

    CGXUserAttributeMap back;
    fw::Archive in(fw::LoadFrom{bytes});
    back.Serialize(in);
    ASSERT_EQ(back.GetCount(), 3);
    EXPECT_EQ(back.GetAttribute(51022)->GetValue(), "a long tip");
    EXPECT_EQ(back.GetAttribute(51011)->GetDWordValue(), 5u);
    EXPECT_EQ(back.GetAttribute(9)->GetLongValue(), 0x1234);
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(UserAttributeMap, TruncatedOrForgedArchivesAreRefused) {
    CGXUserAttributeMap map;
    map.SetAttribute(1, CGXUserAttribute::FromDouble(0.5));
    map.SetAttribute(2, CGXUserAttribute("short"));
    const std::vector<std::uint8_t> bytes = Store(map);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        CGXUserAttributeMap back;
        std::span<const std::uint8_t> part(bytes.data(), n);
        fw::Archive in(fw::LoadFrom{part});
        EXPECT_THROW(back.Serialize(in), fw::ArchiveException) << n;
    }
    // A count far beyond the bytes that follow.
    std::vector<std::uint8_t> forged = {0xFF, 0xFF, 0x00, 0x00};
    CGXUserAttributeMap back;
    fw::Archive in(fw::LoadFrom{forged});
    EXPECT_THROW(back.Serialize(in), fw::ArchiveException);
    // An unknown value kind.
    std::vector<std::uint8_t> kind = bytes;
    kind[2 + 6 + 16] = 9;  // the first attribute's kind byte
    CGXUserAttributeMap back2;
    fw::Archive in2(fw::LoadFrom{kind});
    EXPECT_THROW(back2.Serialize(in2), fw::ArchiveException);
}

TEST(UserAttributeMap, ProfileEntries) {
    const auto file =
        std::filesystem::temp_directory_path() / ("grid_ua_" + std::to_string(::getpid()) + ".ini");
    std::filesystem::remove(file);
    fw::SetAppProfile(fw::Profile::InIniFile(file));
    CGXUserAttributeMap map;
    map.SetAttribute(51013, CGXUserAttribute("Too large"));
    map.SetAttribute(51011, CGXUserAttribute(std::int32_t{-3}));
    map.WriteProfile("Cell");
    EXPECT_EQ(fw::AppProfile().GetProfileString("Cell", "UA51013"), "Too large");
    EXPECT_EQ(fw::AppProfile().GetProfileString("Cell", "UA51011"), "-3");
    std::filesystem::remove(file);
}

}  // namespace
