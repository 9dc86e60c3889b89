#include "framework/persist/Archive.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace fw {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A small tree: a node with a name, a number, and up to two children.
class TestNode : public Serializable {
public:
    static const RuntimeClass kClass;
    const RuntimeClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(Archive& ar) override {
        if (ar.IsStoring()) {
            ar << name << value;
            ar.WriteObject(left.get());
            ar.WriteObject(right.get());
        } else {
            loadedSchema = ar.GetObjectSchema();
            ar >> name >> value;
            left = ar.ReadObjectAs<TestNode>();
            right = ar.ReadObjectAs<TestNode>();
        }
    }
    std::string name;
    std::int32_t value = 0;
    std::unique_ptr<TestNode> left, right;
    int loadedSchema = -1;
};
const RuntimeClass TestNode::kClass{"TestNode", 3, &Serializable::kClass, CreateInstance<TestNode>};

class TestLeaf : public TestNode {
public:
    static const RuntimeClass kClass;
    const RuntimeClass& GetRuntimeClass() const override { return kClass; }
};
const RuntimeClass TestLeaf::kClass{"TestLeaf", 1, &TestNode::kClass, CreateInstance<TestLeaf>};

class Unrelated : public Serializable {
public:
    static const RuntimeClass kClass;
    const RuntimeClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(Archive&) override {}
};
const RuntimeClass Unrelated::kClass{"Unrelated", 1, &Serializable::kClass,
                                     CreateInstance<Unrelated>, false};

TEST(Archive, WritesPrimitivesStringsAndCountsLittleEndian) {
    Bytes out;
    Archive ar{StoreTo{out}};
    ar << std::uint8_t{0xAB} << std::uint16_t{0x1234} << std::uint32_t{0x89ABCDEF}
       << std::int32_t{-2} << std::string("ab");
    ar.WriteCount(3);
    ar.WriteCount(70000);
    const Bytes want = {0xAB, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x89, 0xFE, 0xFF, 0xFF, 0xFF,
                        0x02, 'a',  'b',  0x03, 0x00, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00};
    EXPECT_EQ(out, want);

    // Length forms of longer strings: 0xFF and a 16-bit length, then 0xFF 0xFFFF and 32 bits.
    Bytes s1, s2;
    Archive a1{StoreTo{s1}}, a2{StoreTo{s2}};
    a1 << std::string(300, 'x');
    a2 << std::string(70000, 'y');
    EXPECT_EQ((Bytes{s1.begin(), s1.begin() + 3}), (Bytes{0xFF, 0x2C, 0x01}));
    EXPECT_EQ((Bytes{s2.begin(), s2.begin() + 7}),
              (Bytes{0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}));
    std::string r1, r2;
    Archive l1{LoadFrom{s1}}, l2{LoadFrom{s2}};
    l1 >> r1;
    l2 >> r2;
    EXPECT_EQ(r1, std::string(300, 'x'));
    EXPECT_EQ(r2, std::string(70000, 'y'));

    // A string of 16-bit characters is read as UTF-8.
    const Bytes wide = {0xFF, 0xFE, 0xFF, 0x02, 'h', 0x00, 0xE9, 0x00};
    Archive lw{LoadFrom{wide}};
    EXPECT_EQ(lw.ReadString(), "h\xC3\xA9");
}

Bytes StoreTree() {
    TestNode root;
    root.name = "root";
    root.value = 7;
    root.left = std::make_unique<TestLeaf>();
    root.left->name = "leaf";
    root.right = std::make_unique<TestNode>();
    root.right->value = -1;
    Bytes out;
    Archive ar{StoreTo{out}};
    ar.WriteObject(&root);
    ar.WriteObject(nullptr);
    return out;
}

TEST(Archive, ObjectTreesRoundTripWithClassTagsAndSchemas) {
    Bytes data = StoreTree();
    // The first object carries its class: new-class tag, schema, name.
    const Bytes head = {0xFF, 0xFF, 0x03, 0x00, 0x08, 0x00, 'T', 'e', 's', 't', 'N', 'o', 'd', 'e'};
    EXPECT_EQ((Bytes{data.begin(), data.begin() + 14}), head);

    Archive ar{LoadFrom{data}};
    std::unique_ptr<TestNode> root = ar.ReadObjectAs<TestNode>();
    ASSERT_TRUE(root);
    EXPECT_EQ(root->name, "root");
    EXPECT_EQ(root->value, 7);
    EXPECT_EQ(root->loadedSchema, 3);
    ASSERT_TRUE(root->left);
    EXPECT_TRUE(root->left->IsKindOf(TestLeaf::kClass));
    EXPECT_EQ(root->left->name, "leaf");
    ASSERT_TRUE(root->right);
    EXPECT_EQ(&root->right->GetRuntimeClass(), &TestNode::kClass);  // second use: a class tag
    EXPECT_EQ(root->right->value, -1);
    EXPECT_FALSE(ar.ReadObject(Serializable::kClass));
    EXPECT_EQ(ar.Remaining(), 0u);
    EXPECT_EQ(ar.GetObjectSchema(), -1);
    EXPECT_EQ(RuntimeClass::FromName("TestLeaf"), &TestLeaf::kClass);
}

TEST(Archive, TruncatedDataIsRefusedAtEveryLength) {
    Bytes data = StoreTree();
    for (std::size_t n = 0; n + 2 < data.size(); ++n) {  // the last 2 bytes are the null tag
        Bytes cut(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n));
        Archive ar{LoadFrom{cut}};
        try {
            ar.ReadObject(TestNode::kClass);
            FAIL() << "loaded from " << n << " bytes";
        } catch (const ArchiveException& e) {
            EXPECT_EQ(e.cause, ArchiveCause::EndOfFile) << n;
        }
    }
}

ArchiveCause LoadCause(const Bytes& data, const RuntimeClass& expected = TestNode::kClass) {
    Archive ar{LoadFrom{data}};
    try {
        ar.ReadObject(expected);
    } catch (const ArchiveException& e) {
        return e.cause;
    }
    return ArchiveCause::None;
}

TEST(Archive, LyingOrForeignDataIsRefusedWithItsCause) {
    Bytes tree = StoreTree();
    Bytes newer = tree;
    newer[2] = 4;  // schema 4 of a class this program knows as 3
    EXPECT_EQ(LoadCause(newer), ArchiveCause::BadSchema);
    Bytes older = tree;
    older[2] = 2;  // older schemas of a versionable class load
    EXPECT_EQ(LoadCause(older), ArchiveCause::None);

    Bytes unknown = tree;
    unknown[6] = 'X';  // "XestNode"
    EXPECT_EQ(LoadCause(unknown), ArchiveCause::BadClass);
    EXPECT_EQ(LoadCause(tree, Unrelated::kClass), ArchiveCause::BadClass);
    EXPECT_EQ(LoadCause(tree, TestLeaf::kClass), ArchiveCause::BadClass);  // a base is not a leaf
    EXPECT_EQ(LoadCause({0x05, 0x80}), ArchiveCause::BadIndex);            // class 5 never seen
    EXPECT_EQ(LoadCause({0x07, 0x00}), ArchiveCause::BadIndex);            // back references
    EXPECT_EQ(LoadCause({0xFF, 0xFF, 0x01, 0x00, 0xF0, 0xFF, 'U'}), ArchiveCause::EndOfFile);

    Bytes unversioned;
    {
        Archive ar{StoreTo{unversioned}};
        Unrelated u;
        ar.WriteObject(&u);
    }
    unversioned[2] = 0;  // a class that is not versionable needs its exact schema
    EXPECT_EQ(LoadCause(unversioned, Unrelated::kClass), ArchiveCause::BadSchema);

    // Lengths and counts beyond the data fail before anything is allocated.
    Bytes hugeString = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 'a'};
    Archive s{LoadFrom{hugeString}};
    EXPECT_THROW(s.ReadString(), ArchiveException);
    Bytes hugeCount = {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40, 1, 2, 3, 4};
    Archive c{LoadFrom{hugeCount}};
    try {
        c.ReadDWordArray();
        FAIL();
    } catch (const ArchiveException& e) {
        EXPECT_EQ(e.cause, ArchiveCause::EndOfFile);
    }
    Archive b{LoadFrom{hugeCount}};
    EXPECT_THROW(b.ReadBytes(11), ArchiveException);
}

TEST(Archive, DamagedDataLoadsOrFailsCleanly) {
    const Bytes good = StoreTree();
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 rng(seed);
    for (int round = 0; round < 3000; ++round) {
        Bytes data = good;
        int changes = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < changes; ++i)
            data[rng() % data.size()] = static_cast<std::uint8_t>(rng());
        Archive ar{LoadFrom{data}};
        try {
            ar.ReadObject(Serializable::kClass);
        } catch (const ArchiveException&) {
        }
    }
}

TEST(Archive, DeepNestingIsRefused) {
    // Each level: a class tag for TestNode, empty name, value 0, then the left child.
    Bytes data = {0xFF, 0xFF, 0x03, 0x00, 0x08, 0x00, 'T', 'e', 's', 't',
                  'N',  'o',  'd',  'e',  0,    0,    0,   0,   0};
    for (int i = 0; i < 200; ++i) data.insert(data.end(), {0x00, 0x80, 0, 0, 0, 0, 0});
    EXPECT_EQ(LoadCause(data), ArchiveCause::TooLarge);
}

TEST(Archive, ArraysAndContextRoundTrip) {
    Bytes out;
    {
        Archive ar{StoreTo{out}};
        const std::uint32_t dwords[] = {1, 0xFFFFFFFF};
        ar.WriteDWordArray(dwords);
        const std::string strings[] = {"a", ""};
        ar.WriteStringArray(strings);
        TestNode n;
        const Serializable* objects[] = {&n, nullptr};
        ar.WriteObjectArray(objects);
        EXPECT_THROW(ar.ReadString(), ArchiveException);  // a storing archive does not load
    }
    Archive ar{LoadFrom{out}};
    EXPECT_EQ(ar.ReadDWordArray(), (std::vector<std::uint32_t>{1, 0xFFFFFFFF}));
    EXPECT_EQ(ar.ReadStringArray(), (std::vector<std::string>{"a", ""}));
    auto objects = ar.ReadObjectArray(TestNode::kClass);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_TRUE(objects[0]);
    EXPECT_FALSE(objects[1]);
    TestNode context;
    EXPECT_EQ(ar.SetContext(&context), nullptr);
    EXPECT_EQ(ar.GetContext(), &context);
}

}  // namespace
}  // namespace fw
