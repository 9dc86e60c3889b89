// The variant attribute and its pool: archive bytes, identity equality, pool reuse and a pool
// that cannot grow; bitmaps taken from byte arrays only when they lie whole inside the array.
#include "framework/drawing/DeviceContext.h"
#include "framework/persist/Archive.h"
#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/controls/tests/TestBitmaps.h"

#include <gtest/gtest.h>

#include <QImage>

#include <vector>

namespace {

std::vector<std::uint8_t> Stored(const fw::Serializable& attr) {
    std::vector<std::uint8_t> out;
    fw::Archive ar(fw::StoreTo{out});
    const_cast<fw::Serializable&>(attr).Serialize(ar);
    return out;
}

std::unique_ptr<CGXOleVarUserAttribute> Holding(const GXVariant& v) {
    auto a = GXCreateOleVarUserAttribute();
    EXPECT_TRUE(a->SetVariant(v));
    return a;
}

TEST(OleVarAttribute, ArchiveBytesPerType) {
    struct Case {
        const char* name;
        GXVariant value;
        std::vector<std::uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        {"empty", GXVariant(), {0x00, 0x00}},
        {"long", GXVariant::FromLong(-2), {0x03, 0x00, 0xFE, 0xFF, 0xFF, 0xFF}},
        {"bool", GXVariant::FromBool(true), {0x0B, 0x00, 0xFF, 0xFF}},
        {"double 1.0", GXVariant::FromDouble(1.0), {0x05, 0x00, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
        {"bytes",
         GXVariant::FromBytes(std::vector<std::uint8_t>{7, 8}),
         {0x11, 0x20, 2, 0, 0, 0, 7, 8}},
    };
    for (const Case& c : cases) {
        CGXOleVarUserAttribute a;
        ASSERT_TRUE(a.SetVariant(c.value));
        EXPECT_EQ(Stored(a), c.bytes) << c.name;
        CGXOleVarUserAttribute back;
        fw::Archive in(fw::LoadFrom{c.bytes});
        back.Serialize(in);
        ASSERT_NE(back.GetVariant(), nullptr) << c.name;
        EXPECT_EQ(*back.GetVariant(), c.value) << c.name;
    }
}

TEST(OleVarAttribute, WithoutAVariantStoresEmptyAndBadDataIsRefused) {
    CGXOleVarUserAttribute none;
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_EQ(Stored(none), (std::vector<std::uint8_t>{0, 0}));

    // A byte array announcing more bytes than follow, and an unknown type code.
    for (const std::vector<std::uint8_t>& bad :
         {std::vector<std::uint8_t>{0x11, 0x20, 9, 0, 0, 0, 1},
          std::vector<std::uint8_t>{0x47, 0x00}}) {
        CGXOleVarUserAttribute a;
        fw::Archive in(fw::LoadFrom{bad});
        EXPECT_THROW(a.Serialize(in), fw::ArchiveException);
        EXPECT_TRUE(a.IsEmpty());
    }
}

TEST(OleVarAttribute, EqualOnlyToItselfAndEmptyAfterAnEmptyValue) {
    auto pa = Holding(GXVariant::FromLong(5));
    auto pb = Holding(GXVariant::FromLong(5));
    CGXOleVarUserAttribute& a = *pa;
    CGXOleVarUserAttribute& b = *pb;
    EXPECT_TRUE(a.IsEqual(a));
    EXPECT_FALSE(a.IsEqual(b));
    EXPECT_FALSE(a.IsEqual(CGXUserAttribute("5")));
    EXPECT_FALSE(a.IsEmpty());
    ASSERT_TRUE(a.SetVariant(GXVariant()));
    EXPECT_TRUE(a.IsEmpty());

    auto clone = b.Clone();
    ASSERT_NE(clone, nullptr);
    const auto& c = static_cast<const CGXOleVarUserAttribute&>(*clone);
    EXPECT_EQ(*c.GetVariant(), GXVariant::FromLong(5));
    EXPECT_FALSE(c.IsEqual(b));  // a copy in a variant of its own
}

TEST(OleVarAttribute, PoolReusesReleasedVariantsAndAFullPoolLeavesTheAttributeEmpty) {
    CGXCaptiveManager& pool = CGXCaptiveManager::Instance();
    std::vector<std::unique_ptr<CGXOleVarUserAttribute>> holders;  // take what earlier tests freed
    while (pool.GetFreeCount() > 0) holders.push_back(Holding(GXVariant()));
    const GXVariant* first = Holding(GXVariant::FromText("x"))->GetVariant();
    const std::size_t size = pool.GetPoolSize();
    auto b = Holding(GXVariant::FromLong(1));
    EXPECT_EQ(b->GetVariant(), first);  // reused, and overwritten by the copy
    EXPECT_EQ(*b->GetVariant(), GXVariant::FromLong(1));
    EXPECT_EQ(pool.GetPoolSize(), size);

    pool.SetLimit(pool.GetPoolSize());
    CGXOleVarUserAttribute c;
    EXPECT_FALSE(c.SetVariant(GXVariant::FromLong(2)));
    EXPECT_EQ(c.GetVariant(), nullptr);
    EXPECT_TRUE(c.IsEmpty());
    EXPECT_EQ(Stored(c), (std::vector<std::uint8_t>{0, 0}));
    pool.SetLimit(static_cast<std::size_t>(-1));
}

TEST(VariantDib, ByteArraysGiveABitmapOnlyWhenItLiesWholeInside) {
    const std::vector<std::uint8_t> file = gxtest::BitmapFile(3, 2, 0x0000FF);
    std::vector<std::uint8_t> prefixed = {'x', 'B', 'y'};
    prefixed.insert(prefixed.end(), file.begin(), file.end());

    auto dib = GXDIBFromVariant(GXVariant::FromBytes(prefixed), false);
    ASSERT_TRUE(dib.has_value());
    EXPECT_EQ(dib->size(), file.size() - 14);
    EXPECT_EQ((*dib)[0], 40);  // the information header comes first
    auto withHeader = GXDIBFromVariant(GXVariant::FromBytes(prefixed), true);
    ASSERT_TRUE(withHeader.has_value());
    EXPECT_EQ(*withHeader, file);

    std::vector<std::uint8_t> truncated(file.begin(), file.end() - 1);
    std::vector<std::uint8_t> headerOnly(file.begin(), file.begin() + 30);
    std::vector<std::uint8_t> hugeWidth = file;
    hugeWidth[18] = 0xFF;  // width 255: rows far beyond the array
    struct Case {
        const char* name;
        GXVariant value;
    };
    for (const Case& c :
         {Case{"no signature", GXVariant::FromBytes(std::vector<std::uint8_t>{1, 2, 3})},
          Case{"not a byte array", GXVariant::FromText("BM")},
          Case{"bits cut short", GXVariant::FromBytes(truncated)},
          Case{"header cut short", GXVariant::FromBytes(headerOnly)},
          Case{"rows beyond the array", GXVariant::FromBytes(hugeWidth)}})
        EXPECT_FALSE(GXDIBFromVariant(c.value, false).has_value()) << c.name;
}

TEST(VariantDib, DrawsAlignedAndAnswersTheBitmapForCaching) {
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::white);
    fw::Rect rect{0, 0, 20, 10};
    {
        fw::DeviceContext dc(&image);
        const auto drawn =
            GXDrawVariantDIB(dc, GXVariant::FromBytes(gxtest::BitmapFile(4, 4, 0x0000FF)), rect,
                             2 /*right*/ | 8 /*bottom*/, 0);
        ASSERT_TRUE(drawn.has_value());
        EXPECT_EQ(drawn->Width(), 4);
        EXPECT_FALSE(GXDrawVariantDIB(dc, GXVariant::FromLong(1), rect, 0, 0).has_value());
        dc.Flush();
    }
    EXPECT_EQ(image.pixel(18, 8) & 0xFFFFFF, 0xFF0000u);  // red, at the bottom right
    EXPECT_EQ(image.pixel(2, 2) & 0xFFFFFF, 0xFFFFFFu);
}

}  // namespace
