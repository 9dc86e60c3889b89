#include "framework/persist/Profile.h"

#include "os/IniFile.h"
#include "os/KeyStore.h"
#include "os/Paths.h"

#include <QCoreApplication>

namespace fw {

namespace {

std::string Hex(std::span<const std::uint8_t> bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    s.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

std::optional<std::vector<std::uint8_t>> Unhex(std::string_view s) {
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    if (s.size() % 2)
        return std::nullopt;
    std::vector<std::uint8_t> out;
    out.reserve(s.size() / 2);
    for (std::size_t i = 0; i < s.size(); i += 2) {
        int hi = digit(s[i]), lo = digit(s[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return out;
}

}  // namespace

Profile Profile::InKeyStore(std::string_view registryKey, std::string_view program,
                            std::filesystem::path storeFile) {
    Profile p;
    p.keyStore_ = true;
    p.appKey_ = "Software\\" + std::string(registryKey) + "\\" + std::string(program);
    p.file_ = storeFile.empty() ? os::KeyStore::FileFor(os::KeyRoot::User) : std::move(storeFile);
    return p;
}

Profile Profile::InIniFile(std::filesystem::path file) {
    Profile p;
    p.file_ = std::move(file);
    return p;
}

std::string Profile::SectionKey(std::string_view section) const {
    return appKey_ + "\\" + std::string(section);
}

int Profile::GetProfileInt(std::string_view section, std::string_view entry,
                           int defaultValue) const {
    if (!keyStore_)
        return os::IniFile(file_).GetInt(section, entry, defaultValue);
    std::uint32_t v = 0;
    if (os::KeyStore(file_).GetU32(SectionKey(section), entry, v) != os::KeyStatus::Ok)
        return defaultValue;
    return static_cast<int>(v);
}

std::string Profile::GetProfileString(std::string_view section, std::string_view entry,
                                      std::string_view defaultValue) const {
    if (!keyStore_)
        return os::IniFile(file_).GetString(section, entry, defaultValue);
    std::string v;
    if (os::KeyStore(file_).GetString(SectionKey(section), entry, v) != os::KeyStatus::Ok)
        return std::string(defaultValue);
    return v;
}

std::optional<std::vector<std::uint8_t>> Profile::GetProfileBinary(std::string_view section,
                                                                   std::string_view entry) const {
    if (!keyStore_) {
        auto text = os::IniFile(file_).Find(section, entry);
        if (!text)
            return std::nullopt;
        return Unhex(*text);
    }
    std::vector<std::uint8_t> v;
    if (os::KeyStore(file_).GetBinary(SectionKey(section), entry, v) != os::KeyStatus::Ok)
        return std::nullopt;
    return v;
}

bool Profile::WriteProfileInt(std::string_view section, std::string_view entry, int value) {
    if (!keyStore_)
        return os::IniFile(file_).WriteInt(section, entry, value);
    return os::KeyStore(file_).SetU32(SectionKey(section), entry,
                                      static_cast<std::uint32_t>(value)) == os::KeyStatus::Ok;
}

bool Profile::WriteProfileString(std::string_view section, const char* entry, const char* value) {
    if (!entry)
        return DeleteSection(section);
    if (!value)
        return DeleteEntry(section, entry);
    return WriteProfileString(section, std::string_view(entry), std::string_view(value));
}

bool Profile::WriteProfileString(std::string_view section, std::string_view entry,
                                 std::string_view value) {
    if (!keyStore_)
        return os::IniFile(file_).WriteString(section, entry, value);
    return os::KeyStore(file_).SetString(SectionKey(section), entry, value) == os::KeyStatus::Ok;
}

bool Profile::WriteProfileBinary(std::string_view section, std::string_view entry,
                                 std::span<const std::uint8_t> bytes) {
    if (!keyStore_)
        return os::IniFile(file_).WriteString(section, entry, Hex(bytes));
    return os::KeyStore(file_).SetBinary(SectionKey(section), entry,
                                         std::vector<std::uint8_t>(bytes.begin(), bytes.end())) ==
           os::KeyStatus::Ok;
}

bool Profile::DeleteEntry(std::string_view section, std::string_view entry) {
    if (!keyStore_)
        return os::IniFile(file_).DeleteKey(section, entry);
    os::KeyStatus s = os::KeyStore(file_).DeleteValue(SectionKey(section), entry);
    return s == os::KeyStatus::Ok || s == os::KeyStatus::NotFound;
}

bool Profile::DeleteSection(std::string_view section) {
    if (!keyStore_)
        return os::IniFile(file_).DeleteSection(section);
    os::KeyStatus s = os::KeyStore(file_).DeleteTree(SectionKey(section));
    return s == os::KeyStatus::Ok || s == os::KeyStatus::NotFound;
}

bool Profile::SectionExists(std::string_view section) const {
    if (!keyStore_)
        return !os::IniFile(file_).GetKeys(section).empty();
    return os::KeyStore(file_).KeyExists(SectionKey(section));
}

std::vector<std::string> Profile::EntryNames(std::string_view section) const {
    if (!keyStore_)
        return os::IniFile(file_).GetKeys(section);
    std::vector<std::string> names;
    os::KeyStore(file_).EnumValues(SectionKey(section), names);
    return names;
}

std::vector<std::string> Profile::SubsectionNames(std::string_view section) const {
    std::vector<std::string> names;
    if (keyStore_)
        os::KeyStore(file_).EnumSubkeys(SectionKey(section), names);
    return names;
}

// ---------------------------------------------------------------- the program's profile

namespace {
std::optional<Profile>& Current() {
    static std::optional<Profile> profile;
    return profile;
}

std::string ProgramName() {
    QString name = QCoreApplication::applicationName();
    if (!name.isEmpty())
        return name.toStdString();
    std::string stem = os::ProgramPath().stem().string();
    return stem.empty() ? std::string("ixo") : stem;
}
}  // namespace

Profile& AppProfile() {
    std::optional<Profile>& p = Current();
    if (!p) {
        std::filesystem::path dir = os::UserConfigDir();
        std::error_code ignored;  // a folder that cannot be made shows as failed writes
        if (!dir.empty())
            std::filesystem::create_directories(dir, ignored);
        p = Profile::InIniFile(dir / (ProgramName() + ".ini"));
    }
    return *p;
}

void SetRegistryKey(std::string_view registryKey, std::string_view program) {
    Current() = Profile::InKeyStore(registryKey, program);
}

void SetAppProfile(Profile profile) {
    Current() = std::move(profile);
}

}  // namespace fw
