#include "os/KeyStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <thread>

#include "os/KeyStoreFormat.h"
#include "testsupport/TempDir.h"

namespace {

using ixo::testsupport::TempDir;
using os::KeyStatus;
using os::KeyStore;
using os::KeyValue;
using Names = std::vector<std::string>;

class KeyStoreTest : public ::testing::Test {
protected:
    TempDir dir_;
    KeyStore store_{dir_ / "sub" / "user.keys"};
};

TEST_F(KeyStoreTest, TypedValuesRoundTripCaseInsensitivelyWithEitherSeparator) {
    ASSERT_EQ(store_.SetString("SOFTWARE\\Ixo\\DEDEVEV", "localips", "10.0.0.5"), KeyStatus::Ok);
    ASSERT_EQ(store_.SetU32("software/ixo/dedevev", "Count", 0xFFFFFFFFu), KeyStatus::Ok);
    ASSERT_EQ(store_.SetBinary("Software\\Ixo\\Dedevev\\", "Blob", {0, 0xFF, '\n'}), KeyStatus::Ok);

    std::string text;
    uint32_t number = 0;
    std::vector<uint8_t> bytes;
    EXPECT_EQ(store_.GetString("software/IXO/dedevev", "LOCALIPS", text), KeyStatus::Ok);
    EXPECT_EQ(text, "10.0.0.5");
    EXPECT_EQ(store_.GetU32("\\SOFTWARE\\Ixo\\DEDEVEV", "count", number), KeyStatus::Ok);
    EXPECT_EQ(number, 0xFFFFFFFFu);
    EXPECT_EQ(store_.GetBinary("SOFTWARE\\Ixo\\DEDEVEV", "blob", bytes), KeyStatus::Ok);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0, 0xFF, '\n'}));

    EXPECT_EQ(store_.GetU32("SOFTWARE\\Ixo\\DEDEVEV", "localips", number), KeyStatus::WrongType);
    EXPECT_EQ(store_.GetString("SOFTWARE\\Ixo\\DEDEVEV", "nope", text), KeyStatus::NotFound);
    EXPECT_EQ(store_.GetString("SOFTWARE\\Nope", "localips", text), KeyStatus::NotFound);

    ASSERT_EQ(store_.SetU32("SOFTWARE\\Ixo\\DEDEVEV", "LocalIps", 7), KeyStatus::Ok);  // replaced
    Names names;
    ASSERT_EQ(store_.EnumValues("SOFTWARE\\Ixo\\DEDEVEV", names), KeyStatus::Ok);
    EXPECT_EQ(names, (Names{"localips", "Count", "Blob"}));  // spelling as first written
}

TEST_F(KeyStoreTest, EnumeratesAndDeletesSubtrees) {
    store_.CreateKey("Ixo\\Tessaly\\Settings");
    store_.SetU32("Ixo\\Tessaly\\Recent", "n", 1);
    store_.SetU32("Ixo\\Travex", "Path", 2);
    store_.SetU32("IxoOther", "x", 3);  // shares a prefix, not a parent
    Names names;
    ASSERT_EQ(store_.EnumSubkeys("ixo", names), KeyStatus::Ok);
    EXPECT_EQ(names, (Names{"Tessaly", "Travex"}));
    ASSERT_EQ(store_.EnumSubkeys("", names), KeyStatus::Ok);
    EXPECT_EQ(names, (Names{"Ixo", "IxoOther"}));
    EXPECT_EQ(store_.EnumSubkeys("Missing", names), KeyStatus::NotFound);

    EXPECT_EQ(store_.DeleteValue("Ixo\\Travex", "path"), KeyStatus::Ok);
    EXPECT_EQ(store_.DeleteValue("Ixo\\Travex", "path"), KeyStatus::NotFound);
    EXPECT_TRUE(store_.KeyExists("Ixo\\Travex"));

    EXPECT_EQ(store_.DeleteTree("IXO\\tessaly"), KeyStatus::Ok);
    EXPECT_FALSE(store_.KeyExists("Ixo\\Tessaly\\Settings"));
    EXPECT_FALSE(store_.KeyExists("Ixo\\Tessaly"));
    EXPECT_TRUE(store_.KeyExists("IxoOther"));
    EXPECT_EQ(store_.DeleteTree("Ixo\\Tessaly"), KeyStatus::NotFound);
    EXPECT_EQ(store_.DeleteTree(""), KeyStatus::BadName);
}

TEST_F(KeyStoreTest, BadNamesAreRefused) {
    const std::string tooLong(os::kMaxKeyComponent + 1, 'k');
    EXPECT_EQ(store_.SetU32(tooLong, "v", 1), KeyStatus::BadName);
    EXPECT_EQ(store_.SetU32("a\nb", "v", 1), KeyStatus::BadName);
    EXPECT_EQ(store_.SetU32("a", "v\x01", 1), KeyStatus::BadName);
    EXPECT_EQ(store_.SetString("a", "v", std::string(os::kMaxValueData + 1, 'x')),
              KeyStatus::BadName);
    EXPECT_FALSE(std::filesystem::exists(store_.File()));
}

TEST_F(KeyStoreTest, FileIsPrivateAndEscapesAwkwardTexts) {
    ASSERT_EQ(store_.SetString("Ixo", "back\\slash", "line1\nline2\\end\x7f"), KeyStatus::Ok);
    struct stat info {};
    ASSERT_EQ(stat(store_.File().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(dir_.Read("sub/user.keys"),
              "ixo-keystore\t1\n"
              "key\tIxo\n"
              "value\tback\\\\slash\ts\tline1\\nline2\\\\end\\x7f\n");
    std::string text;
    ASSERT_EQ(store_.GetString("ixo", "BACK\\SLASH", text), KeyStatus::Ok);
    EXPECT_EQ(text, "line1\nline2\\end\x7f");
}

TEST_F(KeyStoreTest, CorruptFileReadsEmptyAndIsKeptAsideOnTheNextWrite) {
    std::filesystem::create_directories(dir_ / "sub");
    dir_.Write("sub/user.keys", "ixo-keystore\t1\nvalue\tx\tu\t1\n");
    std::string text;
    Names names;
    EXPECT_EQ(store_.GetString("a", "b", text), KeyStatus::Corrupt);
    EXPECT_EQ(store_.EnumSubkeys("", names), KeyStatus::Corrupt);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(store_.DeleteValue("a", "b"), KeyStatus::NotFound);  // no write: file untouched
    EXPECT_FALSE(std::filesystem::exists(dir_ / "sub" / "user.keys.corrupt"));

    ASSERT_EQ(store_.SetU32("a", "b", 5), KeyStatus::Ok);
    EXPECT_EQ(dir_.Read("sub/user.keys.corrupt"), "ixo-keystore\t1\nvalue\tx\tu\t1\n");
    uint32_t number = 0;
    EXPECT_EQ(store_.GetU32("a", "b", number), KeyStatus::Ok);
    EXPECT_EQ(number, 5u);
}

TEST_F(KeyStoreTest, ConcurrentWritersLoseNothing) {
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w) {
        writers.emplace_back([&, w] {
            KeyStore own(store_.File());  // as another process would
            for (int i = 0; i < 20; ++i) {
                own.SetU32("k", "w" + std::to_string(w) + "-" + std::to_string(i), 1);
            }
        });
    }
    for (auto& t : writers) {
        t.join();
    }
    Names names;
    ASSERT_EQ(store_.EnumValues("k", names), KeyStatus::Ok);
    EXPECT_EQ(names.size(), 80u);
}

TEST_F(KeyStoreTest, RootsFollowTheirFolders) {
    {
        ixo::testsupport::ScopedEnv keys("IXO_KEYSTORE_DIR", nullptr);
        ixo::testsupport::ScopedEnv system("IXO_SYSTEM_DIR", "/srv/sys");
        ixo::testsupport::ScopedEnv config("XDG_CONFIG_HOME", "/home/t/cfg");
        EXPECT_EQ(KeyStore::FileFor(os::KeyRoot::Machine), "/srv/sys/machine.keys");
        EXPECT_EQ(KeyStore::FileFor(os::KeyRoot::User), "/home/t/cfg/ixo/user.keys");
    }
    ixo::testsupport::ScopedEnv keys("IXO_KEYSTORE_DIR", dir_.Path().c_str());
    KeyStore machine(os::KeyRoot::Machine);
    ASSERT_EQ(machine.SetU32("SOFTWARE", "v", 1), KeyStatus::Ok);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "machine.keys"));
    EXPECT_FALSE(KeyStore(os::KeyRoot::User).KeyExists("SOFTWARE"));
}

TEST(KeyStoreFormat, DamagedFilesAreRefusedWithTheirReason) {
    using E = os::KeyStoreParseError;
    struct Case {
        const char* bytes;
        E error;
        size_t line;
    };
    const Case cases[] = {
        {"", E::None, 0},  // an empty file is an empty store
        {"ixo-keystore\t2\n", E::BadHeader, 1},
        {"ixo-keystore\t1\nkey\n", E::BadRecord, 2},
        {"ixo-keystore\t1\nvalue\tv\tu\t1\n", E::ValueBeforeKey, 2},
        {"ixo-keystore\t1\nkey\ta\\q\n", E::BadEscape, 2},
        {"ixo-keystore\t1\nkey\ta\nvalue\tv\ts\tend\\\n", E::BadEscape, 3},
        {"ixo-keystore\t1\nkey\ta\nvalue\tv\ts\t\\x4\n", E::BadEscape, 3},
        {"ixo-keystore\t1\nkey\ta\\x01b\n", E::BadName, 2},
        {"ixo-keystore\t1\nkey\ta\nvalue\tv\tq\t1\n", E::BadType, 3},
        {"ixo-keystore\t1\nkey\ta\nvalue\tv\tu\t4294967296\n", E::BadNumber, 3},
        {"ixo-keystore\t1\nkey\ta\nvalue\tv\tu\t-1\n", E::BadNumber, 3},
        {"ixo-keystore\t1\nkey\ta\nvalue\tv\tu\t\n", E::BadNumber, 3},
        {"ixo-keystore\t1\nkey\ta\nvalue\tv\tb\t0\n", E::BadBinary, 3},
        {"ixo-keystore\t1\nkey\ta\nvalue\tv\tb\tzz\n", E::BadBinary, 3},
    };
    for (const Case& c : cases) {
        os::KeyTree tree;
        const auto result = os::ParseKeyStore(c.bytes, tree);
        if (c.line == 0) {
            EXPECT_EQ(result.error, E::None);  // empty file: empty store
            continue;
        }
        EXPECT_EQ(result.error, c.error) << c.bytes;
        EXPECT_EQ(result.line, c.line) << c.bytes;
        EXPECT_TRUE(tree.Entries().empty());
    }
}

TEST(KeyStoreFormat, WritesKeysInPathOrderWithTheirValues) {
    os::KeyTree tree;
    tree.Set({"b"}, "n", KeyValue::U32(12));
    tree.Set({"a", "c"}, "", KeyValue::Binary({0xAB, 0x01}));
    tree.Set({}, "root", KeyValue::String(""));
    const std::string bytes = os::FormatKeyStore(tree);
    EXPECT_EQ(bytes,
              "ixo-keystore\t1\n"
              "key\t\n"
              "value\troot\ts\t\n"
              "key\ta\n"
              "key\ta/c\n"
              "value\t\tb\tab01\n"
              "key\tb\n"
              "value\tn\tu\t12\n");
    os::KeyTree back;
    ASSERT_EQ(os::ParseKeyStore(bytes, back).error, os::KeyStoreParseError::None);
    EXPECT_EQ(os::FormatKeyStore(back), bytes);
}

}  // namespace
