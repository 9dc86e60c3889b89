// The device record: the values of a new record, which setters mark it changed, and how
// names are cut.
#include <gtest/gtest.h>

#include <string>

#include "versiontool/DeviceRecord.h"

namespace {

TEST(DeviceRecordTest, NewRecordDefaults) {
    CDeviceRecord r;
    EXPECT_FALSE(r.HasLongForm());
    EXPECT_FALSE(r.IsOnline());
    EXPECT_FALSE(r.IsScheduled());
    EXPECT_EQ(r.GetDeviceType(), 0x0841);
    EXPECT_EQ(r.GetStatusInterval(), 1500u);
    EXPECT_EQ(r.GetIpAddress(), 0u);
    EXPECT_EQ(r.GetSessionValue(), 0u);
    EXPECT_EQ(r.GetAppId(), 0);
    EXPECT_EQ(r.GetMac(), VavMacAddress());
    EXPECT_EQ(r.GetName(), "");
    EXPECT_TRUE(r.GetVersions().empty());
    EXPECT_TRUE(r.GetServiceRecords().empty());
    EXPECT_FALSE(r.IsChanged());
    EXPECT_FALSE(r.IsRestarted());
}

TEST(DeviceRecordTest, WhichSettersMarkChanged) {
    struct Case {
        const char* what;
        void (*set)(CDeviceRecord&);
        bool marks;
    };
    const Case cases[] = {
        {"MAC at creation", [](CDeviceRecord& r) { r.SetMac(VavMacAddress("0:1:2:3:4:5")); }, true},
        {"device type", [](CDeviceRecord& r) { r.SetDeviceType(0x2042); }, true},
        {"IP address", [](CDeviceRecord& r) { r.SetIpAddress(0x0A000001); }, true},
        {"session", [](CDeviceRecord& r) { r.SetSessionValue(7); }, true},
        {"status interval", [](CDeviceRecord& r) { r.SetStatusInterval(1000); }, true},
        {"status word 0", [](CDeviceRecord& r) { r.SetStatusWord(0, 1); }, true},
        {"status word 4", [](CDeviceRecord& r) { r.SetStatusWord(4, 1); }, true},
        {"name", [](CDeviceRecord& r) { r.SetName(3, "abc"); }, true},
        // Equal values change nothing.
        {"same device type", [](CDeviceRecord& r) { r.SetDeviceType(0x0841); }, false},
        {"same interval", [](CDeviceRecord& r) { r.SetStatusInterval(1500); }, false},
        {"same session", [](CDeviceRecord& r) { r.SetSessionValue(0); }, false},
        // Not under the change rule.
        {"version",
         [](CDeviceRecord& r) {
             r.SetVersion({11, 4, 0, 14, 0, 0, 0});
         },
         false},
        {"service record",
         [](CDeviceRecord& r) {
             r.SetServiceRecord({8, 3, 1, 2});
         },
         false},
        {"header bytes", [](CDeviceRecord& r) { r.SetHeaderBytes(1, 2); }, false},
        {"application id", [](CDeviceRecord& r) { r.SetAppId(9); }, false},
        {"MAC bytes of a later packet",
         [](CDeviceRecord& r) {
             const uint8_t mac[6] = {9, 9, 9, 9, 9, 9};
             r.WriteMacBytes(mac);
         },
         false},
        {"empty name", [](CDeviceRecord& r) { r.SetName(0, "abc"); }, false},
        {"null name", [](CDeviceRecord& r) { r.SetName(3, nullptr); }, false},
    };
    for (const Case& c : cases) {
        CDeviceRecord r;
        c.set(r);
        EXPECT_EQ(r.IsChanged(), c.marks) << c.what;
    }
}

TEST(DeviceRecordTest, SessionSetterTellsWhetherItDiffered) {
    CDeviceRecord r;
    EXPECT_TRUE(r.SetSessionValue(5));
    EXPECT_FALSE(r.SetSessionValue(5));
    r.ClearChanged();
    EXPECT_FALSE(r.IsChanged());
}

TEST(DeviceRecordTest, NamesAreCutTo64BytesBeforeTheyAreCompared) {
    const std::string eighty(80, 'x');
    CDeviceRecord r;
    r.SetName(eighty.size(), eighty.data());
    EXPECT_EQ(r.GetName(), std::string(64, 'x'));
    r.ClearChanged();
    r.SetName(eighty.size(), eighty.data());  // the same 80 bytes again
    EXPECT_FALSE(r.IsChanged());
    r.SetName(64, eighty.data());  // equal after the cut
    EXPECT_FALSE(r.IsChanged());
    r.SetName(63, eighty.data());  // a different length
    EXPECT_TRUE(r.IsChanged());
    EXPECT_EQ(r.GetName().size(), 63u);

    // Names are bytes, not C strings: an embedded NUL is kept.
    r.SetName(3, std::string("a\0b", 3).data());
    EXPECT_EQ(r.GetName(), std::string("a\0b", 3));
}

TEST(DeviceRecordTest, VersionsReplaceByIdAndKeysOrderByMacThenApplication) {
    CDeviceRecord r;
    r.SetVersion({11, 3, 9, 0, 0, 0, 0});
    r.SetVersion({11, 4, 0, 14, 0, 0, 0});
    ASSERT_EQ(r.GetVersions().size(), 1u);
    EXPECT_EQ(r.GetVersions().at(11).major, 4);

    const DeviceKey a{VavMacAddress("0:1a:2b:3c:4d:5e"), 52};
    const DeviceKey b{VavMacAddress("0:1a:2b:3c:4d:5f"), 9};
    const DeviceKey c{VavMacAddress("0:1a:2b:3c:4d:5e"), 9};
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(c < a);
    EXPECT_FALSE(a < c);
    EXPECT_FALSE(a < a);
}

}  // namespace
