// The binary archive objects are stored to and loaded from (documents, the clipboard's private
// formats, grid settings). Little-endian throughout.
//
// Layout of the parts it writes itself:
//   string  length, then that many bytes (UTF-8). Length: one byte below 0xFF; else 0xFF and a
//           16-bit length below 0xFFFF; else 0xFF 0xFFFF and a 32-bit length. A string written
//           as 16-bit characters (0xFF 0xFFFE, then a length as above, counting characters)
//           is read too.
//   count   16-bit below 0xFFFF, else 0xFFFF and a 32-bit count.
//   object  16-bit tag: 0 for a null reference; 0xFFFF for a class not yet seen in this
//           archive, followed by its 16-bit schema, a 16-bit name length and the name; or
//           0x8000 + n for the n-th class seen (from 0). The object's own data follows. Each
//           stored object is written whole where it is referenced (objects form trees).
//
// Loading trusts nothing it reads: every length and count is checked against the bytes that
// are left before anything is allocated, and every failure throws ArchiveException with a
// cause; the object being loaded keeps what it had read so far.
#pragma once

#include "framework/persist/RuntimeClass.h"

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

enum class ArchiveCause {
    None = 0,
    Generic = 1,
    ReadOnly = 2,   // storing into a loading archive
    EndOfFile = 3,  // the data ends before what it announces
    WriteOnly = 4,  // loading from a storing archive
    BadIndex = 5,   // an object tag that names no class seen
    BadClass = 6,   // an unknown class name, or not the class expected
    BadSchema = 7,  // a schema this program does not know
    TooLarge = 8,   // a count or length beyond what the data or our limits allow
};

std::string_view ArchiveCauseText(ArchiveCause cause);

class ArchiveException : public std::runtime_error {
public:
    explicit ArchiveException(ArchiveCause cause, std::string_view detail = {});
    ArchiveCause cause;
};

// What an archive is opened on: Archive ar(fw::LoadFrom{bytes}) or Archive ar(fw::StoreTo{out}).
struct LoadFrom {
    std::span<const std::uint8_t> data;  // must outlive the archive
};
struct StoreTo {
    std::vector<std::uint8_t>& out;  // appended to
};

class Archive {
public:
    // Longest string and largest count loaded; more is refused as TooLarge.
    static constexpr std::size_t kMaxString = 64u * 1024 * 1024;
    static constexpr std::size_t kMaxDepth = 64;  // objects nested in objects

    explicit Archive(StoreTo to);
    explicit Archive(LoadFrom from);

    bool IsLoading() const { return loading_; }
    bool IsStoring() const { return !loading_; }
    // Loading: the bytes not yet read.
    std::size_t Remaining() const { return loading_ ? in_size_ - pos_ : 0; }

    // Primitives.
    Archive& operator<<(std::uint8_t v) { return PutLE(v, 1); }
    Archive& operator<<(std::int8_t v) { return PutLE(static_cast<std::uint8_t>(v), 1); }
    Archive& operator<<(std::uint16_t v) { return PutLE(v, 2); }
    Archive& operator<<(std::int16_t v) { return PutLE(static_cast<std::uint16_t>(v), 2); }
    Archive& operator<<(std::uint32_t v) { return PutLE(v, 4); }
    Archive& operator<<(std::int32_t v) { return PutLE(static_cast<std::uint32_t>(v), 4); }
    Archive& operator<<(std::uint64_t v) { return PutLE(v, 8); }
    Archive& operator<<(std::int64_t v) { return PutLE(static_cast<std::uint64_t>(v), 8); }
    Archive& operator<<(float v);
    Archive& operator<<(double v);
    Archive& operator<<(std::string_view s) {
        WriteString(s);
        return *this;
    }
    Archive& operator<<(const std::string& s) {
        WriteString(s);
        return *this;
    }
    Archive& operator<<(const char* s) {
        WriteString(s);
        return *this;
    }

    Archive& operator>>(std::uint8_t& v) {
        v = static_cast<std::uint8_t>(GetLE(1));
        return *this;
    }
    Archive& operator>>(std::int8_t& v) {
        v = static_cast<std::int8_t>(GetLE(1));
        return *this;
    }
    Archive& operator>>(std::uint16_t& v) {
        v = static_cast<std::uint16_t>(GetLE(2));
        return *this;
    }
    Archive& operator>>(std::int16_t& v) {
        v = static_cast<std::int16_t>(GetLE(2));
        return *this;
    }
    Archive& operator>>(std::uint32_t& v) {
        v = static_cast<std::uint32_t>(GetLE(4));
        return *this;
    }
    Archive& operator>>(std::int32_t& v) {
        v = static_cast<std::int32_t>(GetLE(4));
        return *this;
    }
    Archive& operator>>(std::uint64_t& v) {
        v = GetLE(8);
        return *this;
    }
    Archive& operator>>(std::int64_t& v) {
        v = static_cast<std::int64_t>(GetLE(8));
        return *this;
    }
    Archive& operator>>(float& v);
    Archive& operator>>(double& v);
    Archive& operator>>(std::string& s) {
        s = ReadString();
        return *this;
    }

    void WriteString(std::string_view s);
    std::string ReadString();
    void Write(std::span<const std::uint8_t> bytes);
    // Reads exactly bytes.size() bytes (EndOfFile when fewer are left).
    void Read(std::span<std::uint8_t> bytes);
    // Reads n bytes into a new buffer, refusing n beyond what is left.
    std::vector<std::uint8_t> ReadBytes(std::size_t n);

    void WriteCount(std::size_t n);
    // A count of elements of at least `minElementSize` bytes each, checked against the data
    // that is left (and `max`).
    std::size_t ReadCount(std::size_t minElementSize = 1, std::size_t max = SIZE_MAX);

    // Object references (null allowed).
    void WriteObject(const Serializable* object);
    // Loads an object of `expected` or a class derived from it; BadClass otherwise.
    std::unique_ptr<Serializable> ReadObject(const RuntimeClass& expected);
    template <class T>
    std::unique_ptr<T> ReadObjectAs() {
        std::unique_ptr<Serializable> o = ReadObject(T::kClass);
        return std::unique_ptr<T>(static_cast<T*>(o.release()));
    }
    // Inside Serialize while loading: the schema the object was stored with (-1 elsewhere).
    int GetObjectSchema() const { return objectSchema_; }

    // Array records: a count, then the elements.
    void WriteDWordArray(std::span<const std::uint32_t> values);
    std::vector<std::uint32_t> ReadDWordArray();
    void WriteStringArray(std::span<const std::string> values);
    std::vector<std::string> ReadStringArray();
    void WriteObjectArray(std::span<const Serializable* const> objects);
    std::vector<std::unique_ptr<Serializable>> ReadObjectArray(const RuntimeClass& expected);

    // An object the serialising code can reach (the grid passes its styles map); not owned.
    Serializable* GetContext() const { return context_; }
    Serializable* SetContext(Serializable* context);

private:
    Archive& PutLE(std::uint64_t v, int bytes);
    std::uint64_t GetLE(int bytes);
    void NeedLoading() const;
    void NeedStoring() const;
    void Need(std::size_t n) const;  // EndOfFile unless n bytes are left

    std::vector<std::uint8_t>* out_ = nullptr;
    const std::uint8_t* in_ = nullptr;
    std::size_t in_size_ = 0;
    std::size_t pos_ = 0;
    bool loading_ = false;
    std::vector<const RuntimeClass*> classes_;  // classes seen, by tag order
    std::vector<std::uint16_t> classSchemas_;   // loading: the schema each was stored with
    int objectSchema_ = -1;
    std::size_t depth_ = 0;
    Serializable* context_ = nullptr;
};

}  // namespace fw
