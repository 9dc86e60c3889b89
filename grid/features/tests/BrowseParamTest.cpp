// The browsing grid's parameter object: its defaults, its archive trailer after the base
// object's data byte by byte, older and newer versions, and what a copy takes over.
#include "framework/persist/Archive.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/CGXSysColorCache.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXBrowseParam.h"
#include "grid/features/CGXGridDocSerializeImp.h"
#include "grid/features/CGXGridParamCopyOperatorImp.h"
#include "grid/features/tests/ParamArchiveFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

class BrowseParamTest : public gxtest::ParamArchiveFixture {
protected:
    // What the base part of a default browse parameter object archives to.
    static Bytes BaseBytes() {
        CGXGridParam base;
        return Store(base);
    }
    static Bytes With(std::initializer_list<std::uint8_t> trailer) {
        Bytes b = BaseBytes();
        b.insert(b.end(), trailer);
        return b;
    }
};

TEST_F(BrowseParamTest, ARunTimeCreatedObjectHasTheDefaults) {
    const fw::RuntimeClass* cls = fw::RuntimeClass::FromName("CGXBrowseParam");
    ASSERT_NE(cls, nullptr);
    EXPECT_TRUE(cls->IsDerivedFrom(CGXGridParam::kClass));
    std::unique_ptr<fw::Serializable> object = cls->CreateObject();
    auto* p = dynamic_cast<CGXBrowseParam*>(object.get());
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->m_nSettingA, 0u);
    EXPECT_EQ(p->m_nSettingB, 0u);
    EXPECT_EQ(p->m_nSettingC, 255u);
    EXPECT_EQ(p->m_nSettingD, 1u);
    EXPECT_EQ(p->m_nEnabled, 1u);
    EXPECT_EQ(p->m_nPosition1, -1);
    EXPECT_EQ(p->m_nPosition2, -1);
    EXPECT_EQ(p->m_nLimit, 2147483647);
    EXPECT_EQ(p->m_pArchivedObject, nullptr);
    EXPECT_TRUE(p->m_fieldRecords.empty());
}

TEST_F(BrowseParamTest, TheTrailerIsVersionFlagAndObjectReference) {
    CGXBrowseParam p;
    p.m_bArchivedFlag = 1;
    // version 2, flag 1, null object reference
    EXPECT_EQ(Store(p), With({0x02, 0x00, 0x01, 0x00, 0x00}));
}

TEST_F(BrowseParamTest, TheArchivedObjectRoundTripsAsItsOwnClass) {
    CGXBrowseParam p;
    p.m_bArchivedFlag = 0x5A;
    auto list = std::make_unique<CGXRangeList>();
    list->AddTail(CGXRange(2, 3, 4, 5));
    p.m_pArchivedObject = std::move(list);
    const Bytes bytes = Store(p);
    const Bytes base = BaseBytes();
    ASSERT_GT(bytes.size(), base.size() + 3);
    EXPECT_EQ(bytes[base.size()], 0x02);
    EXPECT_EQ(bytes[base.size() + 2], 0x5A);

    CGXBrowseParam q;
    Load(q, bytes);
    EXPECT_EQ(q.m_bArchivedFlag, 0x5Au);
    auto* loaded = dynamic_cast<CGXRangeList*>(q.m_pArchivedObject.get());
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->GetCount(), 1u);
    EXPECT_EQ(loaded->GetHead(), CGXRange(2, 3, 4, 5));
}

TEST_F(BrowseParamTest, VersionOneHasNoObjectAndNewerVersionsAreRefused) {
    CGXBrowseParam p;
    Load(p, With({0x01, 0x00, 0x07}));
    EXPECT_EQ(p.m_bArchivedFlag, 7u);
    EXPECT_EQ(p.m_pArchivedObject, nullptr);

    CGXBrowseParam q;
    try {
        const Bytes newer = With({0x03, 0x00, 0x00, 0x00, 0x00});
        fw::Archive ar(fw::LoadFrom{newer});
        q.Serialize(ar);
        ADD_FAILURE() << "version 3 was loaded";
    } catch (const fw::ArchiveException& e) {
        EXPECT_EQ(e.cause, fw::ArchiveCause::BadSchema);
    }
}

TEST_F(BrowseParamTest, ATruncatedTrailerIsRefused) {
    const Bytes full = With({0x02, 0x00, 0x01, 0x00, 0x00});
    for (std::size_t cut = 1; cut <= 5; ++cut) {
        const Bytes b(full.begin(), full.end() - static_cast<std::ptrdiff_t>(cut));
        CGXBrowseParam p;
        fw::Archive ar(fw::LoadFrom{b});
        EXPECT_THROW(p.Serialize(ar), fw::ArchiveException) << "cut " << cut;
    }
}

TEST_F(BrowseParamTest, CopyTakesTheSettingsAndTheLimitOnly) {
    CGXBrowseParam a;
    a.m_nSettingA = 11;
    a.m_nSettingB = 12;
    a.m_nSettingC = 13;
    a.m_nSettingD = 14;
    a.m_nLimit = 99;
    a.m_bArchivedFlag = 1;
    a.m_awFirst = {1, 2};
    a.m_nCounter1 = 5;
    a.m_nPosition1 = 3;
    a.m_pArchivedObject = std::make_unique<CGXRangeList>();
    a.m_nDefaultRowHeight = 2400;  // a base setting: the base copy takes it
    CGXBrowseParam b;
    b.CopyFrom(a);
    EXPECT_EQ(b.m_nSettingA, 11u);
    EXPECT_EQ(b.m_nSettingB, 12u);
    EXPECT_EQ(b.m_nSettingC, 13u);
    EXPECT_EQ(b.m_nSettingD, 14u);
    EXPECT_EQ(b.m_nLimit, 99);
    EXPECT_EQ(b.m_nDefaultRowHeight, 2400);
    EXPECT_EQ(b.m_bArchivedFlag, 0u);
    EXPECT_TRUE(b.m_awFirst.empty());
    EXPECT_EQ(b.m_nCounter1, 0u);
    EXPECT_EQ(b.m_nPosition1, -1);
    EXPECT_EQ(b.m_pArchivedObject, nullptr);
}

}  // namespace
