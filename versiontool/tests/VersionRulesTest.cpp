// Device-type texts, the older-network-version rule, the updatable rule and the report
// an engine builds from a record.
#include <gtest/gtest.h>

#include <set>

#include "versiontool/DeviceTypes.h"
#include "versiontool/VersionRules.h"

namespace {

VavVersionInfo Version(uint16_t major, uint16_t minor, uint16_t patch) {
    VavVersionData d;
    d.major = major;
    d.minor = minor;
    d.patch = patch;
    return VavVersionInfo(d);
}

const uint16_t kKnownTypes[] = {
    0x0841, 0x0901, 0x0A02, 0x1041, 0x1082, 0x10C2, 0x1241, 0x1242, 0x1243, 0x1244, 0x1281, 0x12C2,
    0x1302, 0x1882, 0x1883, 0x1884, 0x18C2, 0x18C3, 0x18C4, 0x18C5, 0x18C6, 0x18C7, 0x18C8, 0x18C9,
    0x18CA, 0x18CB, 0x2042, 0x2043, 0x2181, 0x2184, 0x2185, 0x2186, 0x2187, 0x2188, 0x2189, 0x218A,
    0x218B, 0x218C, 0x2848, 0x28C2, 0x28C8, 0x3041, 0x3841, 0x4041, 0x4841, 0x5041, 0x51C2, 0x5841,
    0x5843, 0x60C2, 0x60C3, 0x60C4, 0x68C2, 0x68C3, 0x68C4, 0x7041,
};

TEST(VersionRulesTest, DeviceTypeNames) {
    ASSERT_EQ(std::size(kKnownTypes), 56u);
    EXPECT_EQ(KnownDeviceTypeCount(), 56);
    std::set<std::string> texts;
    std::set<std::string> starts;  // what a narrow column shows
    for (uint16_t type : kKnownTypes) {
        const std::string text = DeviceTypeName(type);
        EXPECT_EQ(text.find("Unknown"), std::string::npos) << std::hex << type;
        texts.insert(text);
        starts.insert(text.substr(0, 8));
    }
    EXPECT_EQ(texts.size(), 56u) << "every known type has a text of its own";
    EXPECT_EQ(starts.size(), 56u) << "the first eight characters tell every two types apart";
    EXPECT_EQ(DeviceTypeName(0x2185), "0x2185 Network node or gateway");
    EXPECT_EQ(DeviceTypeName(0x3841), "Class 7 network device");
    EXPECT_EQ(DeviceTypeName(0x5841), "Diagnostic tool (version tool)");
    EXPECT_EQ(DeviceTypeName(0x3041), "PC application (editor or service host)");
    EXPECT_EQ(DeviceTypeName(0x0842), "Unknown device type 2114");
    EXPECT_EQ(DeviceTypeName(0xFFFF), "Unknown device type 65535");
    EXPECT_EQ(DeviceTypeName(0x0000), "Unknown device type 0");
    EXPECT_EQ(DeviceClass(0x2185), 4);
    EXPECT_EQ(DeviceClass(0x7041), 14);
}

TEST(VersionRulesTest, OlderNetworkVersion) {
    struct Case {
        VavVersionInfo version;
        bool older;
    };
    const Case cases[] = {
        {Version(4, 0, 13), true},  {Version(4, 0, 0), true},   {Version(3, 9, 99), true},
        {Version(0, 0, 0), true},   {VavVersionInfo(), true},   {Version(4, 0, 14), false},
        {Version(4, 0, 15), false}, {Version(4, 1, 0), false},  {Version(5, 0, 0), false},
        {Version(4, 1, 13), false}, {Version(99, 0, 0), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsOlderNetworkVersion(c.version), c.older)
            << c.version.GetMajor() << "." << c.version.GetMinor() << "." << c.version.GetPatch()
            << (c.version.HasData() ? "" : " (none)");
    }
}

TEST(VersionRulesTest, UpdatableRules) {
    const VavVersionInfo v3 = Version(3, 9, 0), v4 = Version(4, 0, 0);
    for (UpdateRule rule : {UpdateRule::DeviceClass, UpdateRule::DeviceClassNodeStatus}) {
        for (uint16_t type : {0x2042, 0x2181, 0x218C, 0x2000, 0x27FF})
            EXPECT_TRUE(IsUpdatable(type, v3, rule)) << std::hex << type;
        for (uint16_t type : {0x1882, 0x3041, 0x5841, 0x1FFF, 0x2800, 0x0841})
            EXPECT_FALSE(IsUpdatable(type, v4, rule)) << std::hex << type;
    }
    // 0x2185 from node status needs network version 4; the older protocol has no exception.
    EXPECT_FALSE(IsUpdatable(0x2185, v3, UpdateRule::DeviceClassNodeStatus));
    EXPECT_FALSE(IsUpdatable(0x2185, VavVersionInfo(), UpdateRule::DeviceClassNodeStatus));
    EXPECT_TRUE(IsUpdatable(0x2185, v4, UpdateRule::DeviceClassNodeStatus));
    EXPECT_TRUE(IsUpdatable(0x2185, Version(5, 0, 0), UpdateRule::DeviceClassNodeStatus));
    EXPECT_TRUE(IsUpdatable(0x2185, v3, UpdateRule::DeviceClass));
    EXPECT_TRUE(IsUpdatable(0x2186, v3, UpdateRule::DeviceClassNodeStatus));
}

TEST(VersionRulesTest, EventFromRecord) {
    CDeviceRecord r;
    r.SetIpAddress(0x0A010203);
    r.SetAppId(9);
    r.SetDeviceType(0x2185);
    r.SetVersion({5, 1, 0, 0, 0, 0, 7});
    r.SetVersion({11, 3, 2, 1, 0, 0, 0});
    r.SetVersion({2, 2, 1, 0, 9, 0, 45});
    const char name[] = "Rack 1";
    r.SetName(6, name);
    EXPECT_FALSE(BuildDeviceEvent(r, UpdateRule::DeviceClass)) << "no long form yet";

    r.SetLongForm();
    auto e = BuildDeviceEvent(r, UpdateRule::DeviceClassNodeStatus);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name, "Rack 1");
    EXPECT_EQ(e->ipAddress, 0x0A010203u);
    EXPECT_EQ(e->appId, 9);
    EXPECT_EQ(e->netVersion.GetMajor(), 3);  // id 11
    EXPECT_EQ(e->netVersion.GetMinor(), 2);
    EXPECT_EQ(e->appVersion.GetMajor(), 2);  // id 2, the lowest other id
    EXPECT_EQ(e->appVersion.GetReleaseStage(), 9);
    EXPECT_EQ(e->appVersion.GetBuild(), 45);
    EXPECT_EQ(e->typeName, DeviceTypeName(0x2185));
    EXPECT_FALSE(e->updatable) << "0x2185 on network version 3";
    EXPECT_TRUE(BuildDeviceEvent(r, UpdateRule::DeviceClass)->updatable);

    // Versions are passed on as sent, not cut to the ranges of the program's own record.
    r.SetVersion({11, 4, 12, 200, 0, 0, 4000});
    e = BuildDeviceEvent(r, UpdateRule::DeviceClassNodeStatus);
    EXPECT_EQ(e->netVersion.GetMinor(), 12);
    EXPECT_EQ(e->netVersion.GetPatch(), 200);
    EXPECT_EQ(e->netVersion.GetBuild(), 4000);
    EXPECT_TRUE(e->updatable);

    CDeviceRecord bare;
    bare.SetLongForm();
    e = BuildDeviceEvent(bare, UpdateRule::DeviceClass);
    ASSERT_TRUE(e);
    EXPECT_FALSE(e->netVersion.HasData());
    EXPECT_FALSE(e->appVersion.HasData());
}

}  // namespace
