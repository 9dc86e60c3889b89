#include "framework/persist/Archive.h"

#include <QString>

#include <bit>
#include <cstring>
#include <map>
#include <string>

namespace fw {

// ---------------------------------------------------------------- run-time classes

namespace {
std::map<std::string_view, const RuntimeClass*>& Registry() {
    static std::map<std::string_view, const RuntimeClass*> registry;
    return registry;
}
}  // namespace

RuntimeClass::RuntimeClass(std::string_view n, std::uint16_t s, const RuntimeClass* b,
                           CreateFunction c, bool v)
    : name(n), schema(s), base(b), create(c), versionable(v) {
    Registry().emplace(name, this);  // the first of two equal names stays
}

RuntimeClass::~RuntimeClass() {
    auto it = Registry().find(name);
    if (it != Registry().end() && it->second == this)
        Registry().erase(it);
}

bool RuntimeClass::IsDerivedFrom(const RuntimeClass& other) const {
    for (const RuntimeClass* c = this; c; c = c->base)
        if (c == &other)
            return true;
    return false;
}

std::unique_ptr<Serializable> RuntimeClass::CreateObject() const {
    return create ? create() : nullptr;
}

const RuntimeClass* RuntimeClass::FromName(std::string_view n) {
    auto it = Registry().find(n);
    return it == Registry().end() ? nullptr : it->second;
}

const RuntimeClass Serializable::kClass{"Serializable", 0, nullptr, nullptr};

// ---------------------------------------------------------------- errors

std::string_view ArchiveCauseText(ArchiveCause cause) {
    switch (cause) {
        case ArchiveCause::None:
            return "no error";
        case ArchiveCause::Generic:
            return "the data cannot be read";
        case ArchiveCause::ReadOnly:
            return "the archive is open for loading";
        case ArchiveCause::EndOfFile:
            return "the data ends unexpectedly";
        case ArchiveCause::WriteOnly:
            return "the archive is open for storing";
        case ArchiveCause::BadIndex:
            return "the data refers to an object that is not there";
        case ArchiveCause::BadClass:
            return "the data holds an object of an unexpected kind";
        case ArchiveCause::BadSchema:
            return "the data was written by a newer or different version";
        case ArchiveCause::TooLarge:
            return "the data announces more than it holds";
    }
    return "unknown error";
}

ArchiveException::ArchiveException(ArchiveCause c, std::string_view detail)
    : std::runtime_error(detail.empty()
                             ? std::string(ArchiveCauseText(c))
                             : std::string(ArchiveCauseText(c)) + ": " + std::string(detail)),
      cause(c) {}

// ---------------------------------------------------------------- primitives

Archive::Archive(StoreTo to) : out_(&to.out) {}

Archive::Archive(LoadFrom from)
    : in_(from.data.data()), in_size_(from.data.size()), loading_(true) {}

void Archive::NeedLoading() const {
    if (!loading_)
        throw ArchiveException(ArchiveCause::WriteOnly);
}
void Archive::NeedStoring() const {
    if (loading_)
        throw ArchiveException(ArchiveCause::ReadOnly);
}
void Archive::Need(std::size_t n) const {
    NeedLoading();
    if (n > in_size_ - pos_)
        throw ArchiveException(ArchiveCause::EndOfFile);
}

Archive& Archive::PutLE(std::uint64_t v, int bytes) {
    NeedStoring();
    for (int i = 0; i < bytes; ++i) out_->push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return *this;
}

std::uint64_t Archive::GetLE(int bytes) {
    Need(static_cast<std::size_t>(bytes));
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<std::uint64_t>(in_[pos_ + static_cast<std::size_t>(i)]) << (8 * i);
    pos_ += static_cast<std::size_t>(bytes);
    return v;
}

Archive& Archive::operator<<(float v) {
    return PutLE(std::bit_cast<std::uint32_t>(v), 4);
}
Archive& Archive::operator<<(double v) {
    return PutLE(std::bit_cast<std::uint64_t>(v), 8);
}
Archive& Archive::operator>>(float& v) {
    v = std::bit_cast<float>(static_cast<std::uint32_t>(GetLE(4)));
    return *this;
}
Archive& Archive::operator>>(double& v) {
    v = std::bit_cast<double>(GetLE(8));
    return *this;
}

void Archive::Write(std::span<const std::uint8_t> bytes) {
    NeedStoring();
    out_->insert(out_->end(), bytes.begin(), bytes.end());
}

void Archive::Read(std::span<std::uint8_t> bytes) {
    Need(bytes.size());
    if (!bytes.empty())
        std::memcpy(bytes.data(), in_ + pos_, bytes.size());
    pos_ += bytes.size();
}

std::vector<std::uint8_t> Archive::ReadBytes(std::size_t n) {
    Need(n);
    std::vector<std::uint8_t> v(in_ + pos_, in_ + pos_ + n);
    pos_ += n;
    return v;
}

// ---------------------------------------------------------------- strings and counts

void Archive::WriteString(std::string_view s) {
    NeedStoring();
    std::size_t n = s.size();
    if (n < 0xFF) {
        *this << static_cast<std::uint8_t>(n);
    } else if (n < 0xFFFF) {
        *this << std::uint8_t{0xFF} << static_cast<std::uint16_t>(n);
    } else {
        *this << std::uint8_t{0xFF} << std::uint16_t{0xFFFF} << static_cast<std::uint32_t>(n);
    }
    Write({reinterpret_cast<const std::uint8_t*>(s.data()), n});
}

std::string Archive::ReadString() {
    bool wide = false;
    auto length = [this, &wide]() -> std::uint64_t {
        std::uint8_t b8 = 0;
        *this >> b8;
        if (b8 < 0xFF)
            return b8;
        std::uint16_t b16 = 0;
        *this >> b16;
        if (b16 == 0xFFFE && !wide)
            return UINT64_MAX;  // marks 16-bit characters
        if (b16 < 0xFFFF)
            return b16;
        std::uint32_t b32 = 0;
        *this >> b32;
        return b32;
    };
    std::uint64_t n = length();
    if (n == UINT64_MAX) {
        wide = true;
        n = length();
    }
    std::uint64_t bytes = wide ? n * 2 : n;
    if (n > kMaxString)
        throw ArchiveException(ArchiveCause::TooLarge, "string length");
    Need(static_cast<std::size_t>(bytes));
    std::string s;
    if (wide) {
        QString q(static_cast<qsizetype>(n), Qt::Uninitialized);
        for (std::size_t i = 0; i < n; ++i)
            q[static_cast<qsizetype>(i)] =
                QChar(static_cast<char16_t>(in_[pos_ + 2 * i] | (in_[pos_ + 2 * i + 1] << 8)));
        s = q.toStdString();
    } else {
        s.assign(reinterpret_cast<const char*>(in_ + pos_), static_cast<std::size_t>(n));
    }
    pos_ += static_cast<std::size_t>(bytes);
    return s;
}

void Archive::WriteCount(std::size_t n) {
    if (n < 0xFFFF) {
        *this << static_cast<std::uint16_t>(n);
    } else {
        *this << std::uint16_t{0xFFFF} << static_cast<std::uint32_t>(n);
    }
}

std::size_t Archive::ReadCount(std::size_t minElementSize, std::size_t max) {
    std::uint16_t c16 = 0;
    *this >> c16;
    std::size_t n = c16;
    if (c16 == 0xFFFF) {
        std::uint32_t c32 = 0;
        *this >> c32;
        n = c32;
    }
    if (n > max)
        throw ArchiveException(ArchiveCause::TooLarge, "count");
    if (minElementSize && n > Remaining() / minElementSize)
        throw ArchiveException(ArchiveCause::EndOfFile, "count");
    return n;
}

// ---------------------------------------------------------------- objects

namespace {
constexpr std::uint16_t kNullTag = 0;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTag = 0x8000;
constexpr std::size_t kMaxClasses = 0x7FFF;
}  // namespace

void Archive::WriteObject(const Serializable* object) {
    NeedStoring();
    if (!object) {
        *this << kNullTag;
        return;
    }
    const RuntimeClass& c = object->GetRuntimeClass();
    std::size_t index = 0;
    while (index < classes_.size() && classes_[index] != &c) ++index;
    if (index < classes_.size()) {
        *this << static_cast<std::uint16_t>(kClassTag | index);
    } else {
        if (classes_.size() >= kMaxClasses)
            throw ArchiveException(ArchiveCause::TooLarge, "classes");
        classes_.push_back(&c);
        *this << kNewClassTag << c.schema << static_cast<std::uint16_t>(c.name.size());
        Write({reinterpret_cast<const std::uint8_t*>(c.name.data()), c.name.size()});
    }
    if (depth_ >= kMaxDepth)
        throw ArchiveException(ArchiveCause::TooLarge, "objects nested too deeply");
    struct Nesting {
        std::size_t& depth;
        ~Nesting() { --depth; }
    } nesting{++depth_};
    // Serialize takes a non-const object because one function both stores and loads; storing
    // does not change it.
    const_cast<Serializable*>(object)->Serialize(*this);
}

std::unique_ptr<Serializable> Archive::ReadObject(const RuntimeClass& expected) {
    NeedLoading();
    std::uint16_t tag = 0;
    *this >> tag;
    if (tag == kNullTag)
        return nullptr;
    const RuntimeClass* c = nullptr;
    std::uint16_t schema = 0;
    if (tag == kNewClassTag) {
        std::uint16_t nameLength = 0;
        *this >> schema >> nameLength;
        std::vector<std::uint8_t> name = ReadBytes(nameLength);
        std::string_view n(reinterpret_cast<const char*>(name.data()), name.size());
        c = RuntimeClass::FromName(n);
        if (!c)
            throw ArchiveException(ArchiveCause::BadClass, n);
        if (schema != c->schema && (!c->versionable || schema > c->schema))
            throw ArchiveException(ArchiveCause::BadSchema, n);
        if (classes_.size() >= kMaxClasses)
            throw ArchiveException(ArchiveCause::TooLarge, "classes");
        classes_.push_back(c);
        classSchemas_.push_back(schema);
    } else if (tag & kClassTag) {
        std::size_t index = tag & ~kClassTag;
        if (index >= classes_.size())
            throw ArchiveException(ArchiveCause::BadIndex);
        c = classes_[index];
        schema = classSchemas_[index];
    } else {
        throw ArchiveException(ArchiveCause::BadIndex);
    }
    if (!c->IsDerivedFrom(expected))
        throw ArchiveException(ArchiveCause::BadClass, c->name);
    std::unique_ptr<Serializable> object = c->CreateObject();
    if (!object)
        throw ArchiveException(ArchiveCause::BadClass, c->name);
    if (depth_ >= kMaxDepth)
        throw ArchiveException(ArchiveCause::TooLarge, "objects nested too deeply");
    struct Nesting {
        Archive& ar;
        int outerSchema;
        ~Nesting() {
            --ar.depth_;
            ar.objectSchema_ = outerSchema;
        }
    } nesting{*this, objectSchema_};
    ++depth_;
    objectSchema_ = schema;
    object->Serialize(*this);
    return object;
}

Serializable* Archive::SetContext(Serializable* context) {
    return std::exchange(context_, context);
}

// ---------------------------------------------------------------- arrays

void Archive::WriteDWordArray(std::span<const std::uint32_t> values) {
    WriteCount(values.size());
    for (std::uint32_t v : values) *this << v;
}

std::vector<std::uint32_t> Archive::ReadDWordArray() {
    std::vector<std::uint32_t> v(ReadCount(4));
    for (auto& x : v) *this >> x;
    return v;
}

void Archive::WriteStringArray(std::span<const std::string> values) {
    WriteCount(values.size());
    for (const std::string& s : values) WriteString(s);
}

std::vector<std::string> Archive::ReadStringArray() {
    std::size_t n = ReadCount(1);
    std::vector<std::string> v;
    v.reserve(n);
    for (std::size_t i = 0; i < n; ++i) v.push_back(ReadString());
    return v;
}

void Archive::WriteObjectArray(std::span<const Serializable* const> objects) {
    WriteCount(objects.size());
    for (const Serializable* o : objects) WriteObject(o);
}

std::vector<std::unique_ptr<Serializable>> Archive::ReadObjectArray(const RuntimeClass& expected) {
    std::size_t n = ReadCount(2);
    std::vector<std::unique_ptr<Serializable>> v;
    v.reserve(n);
    for (std::size_t i = 0; i < n; ++i) v.push_back(ReadObject(expected));
    return v;
}

}  // namespace fw
