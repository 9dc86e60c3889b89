#include <gtest/gtest.h>

#include <vector>

#include "platform/VavVersionInfo.h"
#include "platform/VavVersionRegistry.h"

namespace {

VavVersionInfo Version(uint16_t major, uint16_t minor, uint16_t patch, uint16_t stage,
                       uint16_t digit, uint16_t build) {
    VavVersionInfo v;
    EXPECT_EQ(v.SetData(VavVersionData{major, minor, patch, stage, digit, build, "d", "c", "p"}),
              VAV_VERSION_OK);
    return v;
}

TEST(VavVersionInfo, FormatsNumbersAndText) {
    const VavVersionInfo suite = ProtocolSuiteVersion();
    const char* texts[] = {"4",
                           "4.0",
                           "4.0 Patch 14",
                           "4.0 Patch 14 IUO",
                           "4.0 Patch 14.0 IUO",
                           "4.0 Patch 14.0 IUO 0"};
    for (int n = 1; n <= 6; ++n) {
        std::string text;
        EXPECT_EQ(suite.FormatText(n, text), VAV_VERSION_OK);
        EXPECT_EQ(text, texts[n - 1]);
    }
    struct Case {
        VavVersionInfo v;
        int n;
        const char* numbers;
        const char* text;
    } cases[] = {
        {Version(2, 1, 3, 9, 0, 0), 4, "2.1.3.9", "2.1 Patch 3 GA"},
        {Version(1, 2, 0, 9, 0, 1), 6, "1.2.0.9.0.1", "1.2 Patch 0.0 GA 1"},
        {Version(5, 0, 7, 3, 2, 44), 6, "5.0.7.3.2.44", "5.0 Patch 7.2 Beta 3 44"},
        {Version(5, 0, 7, 8, 2, 44), 4, "5.0.7.8", "5.0 Patch 7 LA"},
    };
    for (const Case& c : cases) {
        std::string numbers, text;
        EXPECT_EQ(c.v.FormatNumbers(c.n, numbers), VAV_VERSION_OK);
        EXPECT_EQ(c.v.FormatText(c.n, text), VAV_VERSION_OK);
        EXPECT_EQ(numbers, c.numbers);
        EXPECT_EQ(text, c.text);
    }

    std::string untouched = "keep";
    EXPECT_EQ(suite.FormatNumbers(0, untouched), VAV_VERSION_BAD_ARGUMENT);
    EXPECT_EQ(suite.FormatNumbers(7, untouched), VAV_VERSION_BAD_ARGUMENT);
    EXPECT_EQ(VavVersionInfo().FormatNumbers(3, untouched), VAV_VERSION_UNREADABLE);
    EXPECT_EQ(VavVersionInfo().FormatText(3, untouched), VAV_VERSION_UNREADABLE);
    EXPECT_EQ(untouched, "keep");
}

TEST(VavVersionInfo, SetDataClamps) {
    VavVersionInfo v = Version(100, 10, 250, 12, 10, 1000);
    EXPECT_EQ(v.GetMajor(), 99);
    EXPECT_EQ(v.GetMinor(), 9);
    EXPECT_EQ(v.GetPatch(), 99);
    EXPECT_EQ(v.GetReleaseStage(), 9);
    EXPECT_EQ(v.GetPatchDigit(), 9);
    EXPECT_EQ(v.GetBuild(), 999);
    EXPECT_STREQ(v.GetProductName(), "p");
    EXPECT_EQ(VavVersionInfo().GetMajor(), 0);
    EXPECT_EQ(VavVersionInfo().GetProductName(), nullptr);
}

TEST(VavVersionInfo, WireFormByteExact) {
    VavVersionInfo v;
    v.SetData(VavVersionData{4, 2, 14, 9, 3, 0x0123, "D", "Co", "P"});
    const std::vector<uint8_t> expected = {0x04, 0x0E, 0x92, 0x03, 0x23, 0x01, 'D',
                                           0,    'C',  'o',  0,    'P',  0};
    ASSERT_EQ(v.GetWireSize(), expected.size());
    std::vector<uint8_t> buffer(20, 0xEE);
    std::span<uint8_t> cursor(buffer);
    ASSERT_TRUE(v.WriteWire(cursor));
    EXPECT_EQ(cursor.size(), 20 - expected.size());
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 13), expected);
    std::span<uint8_t> small(buffer.data(), 12);
    EXPECT_FALSE(v.WriteWire(small));

    VavVersionInfo back;
    std::span<const uint8_t> in(expected);
    ASSERT_EQ(back.ReadWire(in), VerInfoWireError::None);
    EXPECT_TRUE(in.empty());
    EXPECT_EQ(back.Data(), v.Data());
}

TEST(VavVersionInfo, ReaderStopsAtTheEndOfTheData) {
    std::vector<uint8_t> two;
    for (const VavVersionInfo& v : {Version(1, 2, 3, 4, 5, 6), ProtocolSuiteVersion()}) {
        std::vector<uint8_t> one(v.GetWireSize());
        std::span<uint8_t> c(one);
        ASSERT_TRUE(v.WriteWire(c));
        two.insert(two.end(), one.begin(), one.end());
    }
    std::span<const uint8_t> cursor(two);
    VavVersionInfo first, second;
    ASSERT_EQ(first.ReadWire(cursor), VerInfoWireError::None);
    ASSERT_EQ(second.ReadWire(cursor), VerInfoWireError::None);
    EXPECT_TRUE(cursor.empty());
    EXPECT_EQ(first.GetBuild(), 6);
    EXPECT_STREQ(second.GetProductName(), "IxoKolt Protocol Suite");

    // Every cut of the second value is refused without reading past it.
    const size_t secondStart = two.size() - ProtocolSuiteVersion().GetWireSize();
    for (size_t end = secondStart; end < two.size(); ++end) {
        std::vector<uint8_t> cut(two.begin() + secondStart, two.begin() + end);
        std::span<const uint8_t> c(cut);
        VavVersionInfo v = Version(7, 7, 7, 7, 7, 7);
        VerInfoWireError e = v.ReadWire(c);
        EXPECT_EQ(e,
                  cut.size() < 6 ? VerInfoWireError::Truncated : VerInfoWireError::UnterminatedText)
            << end;
        EXPECT_EQ(c.size(), cut.size());
        EXPECT_EQ(v.GetMajor(), 7) << "unchanged";
    }
}

TEST(VavVersionInfo, MinorAndStageShareOneByte) {
    VavVersionInfo v = Version(1, 15, 0, 15, 0, 0);  // clamped to 9 and 9
    std::vector<uint8_t> bytes(v.GetWireSize());
    std::span<uint8_t> c(bytes);
    v.WriteWire(c);
    EXPECT_EQ(bytes[2], 0x99);
    VavVersionInfo back;
    std::span<const uint8_t> in(bytes);
    back.ReadWire(in);
    EXPECT_EQ(back.GetMinor(), 9);
    EXPECT_EQ(back.GetReleaseStage(), 9);
}

TEST(VavVersionInfo, ReadsRecordsOfProgramsBuiltByTheProject) {
    VavVersionInfo own;
    ASSERT_EQ(own.LoadFromModule(), VAV_VERSION_OK);
    std::string text;
    own.FormatText(6, text);
    EXPECT_EQ(text, "4.0 Patch 14.0 IUO 0");
    EXPECT_STREQ(own.GetBuildDate(), "11 August 2006");
    EXPECT_STREQ(own.GetProductName(), "IxoKolt Protocol Suite");

    VavVersionInfo probe;
    ASSERT_EQ(probe.LoadFromModule(VERSION_PROBE), VAV_VERSION_OK);
    probe.FormatNumbers(6, text);
    EXPECT_EQ(text, "99.2.90.9.1.999") << "clamped from 120.2.90.9.1.5000";
    EXPECT_STREQ(probe.GetProductName(), "Version Probe");
    EXPECT_STREQ(probe.GetCopyright(), "Copyright test");

    VavVersionInfo none;
    EXPECT_EQ(none.LoadFromModule("/bin/sh"), VAV_VERSION_NO_RESOURCE);
    EXPECT_FALSE(none.HasData());
    EXPECT_EQ(none.LoadFromModule("/nonexistent/program"), VAV_VERSION_UNREADABLE);
}

TEST(VavVersionRegistry, StoresReplaceAndDrainToTheListener) {
    VavVersionRegistry* registry = GetVersionRegistry();
    EXPECT_EQ(registry, GetVersionRegistry());
    registry->SetComponentVersion(VAV_COMPONENT_PROGRAM, Version(1, 0, 0, 0, 0, 1));
    registry->SetComponentVersion(VAV_COMPONENT_PROGRAM, Version(1, 0, 0, 0, 0, 2));
    registry->SetComponentVersion(VAV_COMPONENT_PROTOCOL_SUITE, ProtocolSuiteVersion());
    registry->SetProtocolVersion(8, KoltPVersion(3, 1, 2));
    EXPECT_EQ(registry->GetComponentVersions().size(), 2u);
    EXPECT_EQ(registry->GetComponentVersions().at(2).GetBuild(), 2);

    VavVersionRegistry::ComponentMap mine;
    mine.emplace(40, Version(9, 9, 9, 9, 9, 9));
    EXPECT_FALSE(registry->DrainComponentVersions(mine)) << "no listener yet";
    EXPECT_TRUE(registry->ComponentVersionsChanged());
    registry->SetComponentVersionsListener(&mine);
    EXPECT_TRUE(registry->DrainComponentVersions(mine));
    EXPECT_FALSE(registry->ComponentVersionsChanged());
    EXPECT_EQ(mine.size(), 3u);
    EXPECT_FALSE(registry->DrainComponentVersions(mine)) << "nothing changed since";

    VavVersionRegistry::ProtocolMap protocols;
    registry->SetProtocolVersionsListener(&protocols);
    registry->SetProtocolVersion(9, KoltPVersion(3, 0, 8));
    EXPECT_TRUE(registry->DrainProtocolVersions(protocols));
    EXPECT_EQ(protocols.at(8), KoltPVersion(3, 1, 2));
    EXPECT_EQ(protocols.at(9).getBuild(), 8);
    DeleteVersionRegistry();
}

}  // namespace
