#include "xmldom/Document.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>

namespace xmldom {
namespace {

// Whitespace-only text is dropped (pugixml's default); comments and processing
// instructions stay, and the declaration stays so a save writes it back unchanged.
constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_comments | pugi::parse_pi;

bool HasByteOrderMark(std::string_view bytes) {
    return bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") ||
           bytes.starts_with("\xFE\xFF");
}

void LocateOffset(std::string_view text, size_t offset, LoadResult& result) {
    offset = std::min(offset, text.size());
    result.line = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++result.line;
            lineStart = i + 1;
        }
    }
    result.column = offset - lineStart + 1;
}

LoadResult Failure(LoadError error, std::string message) {
    LoadResult result;
    result.error = error;
    result.message = std::move(message);
    return result;
}

// Writes through a file descriptor in large blocks and remembers whether every byte
// went out.
class FdWriter : public pugi::xml_writer {
public:
    explicit FdWriter(int fd) : fd_(fd) { buffer_.reserve(kBlock); }
    void write(const void* data, size_t size) override {
        const char* bytes = static_cast<const char*>(data);
        if (buffer_.size() + size > kBlock)
            Flush();
        if (size >= kBlock)
            WriteAll(bytes, size);
        else
            buffer_.append(bytes, size);
    }
    // Writes what is buffered; false when any write failed.
    bool Flush() {
        WriteAll(buffer_.data(), buffer_.size());
        buffer_ = {};
        return ok_;
    }
    int error() const { return error_; }

private:
    static constexpr size_t kBlock = 1 << 20;

    void WriteAll(const char* bytes, size_t size) {
        while (size > 0 && ok_) {
            ssize_t written = ::write(fd_, bytes, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                ok_ = false;
                error_ = written < 0 ? errno : EIO;
                break;
            }
            bytes += written;
            size -= static_cast<size_t>(written);
        }
    }

    int fd_;
    std::string buffer_;
    bool ok_ = true;
    int error_ = 0;
};

std::string ErrnoText(int error) {
    return std::strerror(error);
}

// A new file beside `target`, made with mode 0666 less the umask; -1 on failure.
int CreateTemporary(const std::filesystem::path& target, std::filesystem::path& made) {
    std::random_device random;
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        made = folder / ("." + target.filename().string() + ".tmp" + std::to_string(random()));
        int fd = ::open(made.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// The whole file; false with `failure` set when it cannot be read. The buffer is not
// cleared first, as a large file fills it at once.
bool ReadFile(const std::filesystem::path& path, FileBuffer& buffer, LoadResult& failure) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        failure = errno == ENOENT ? Failure(LoadError::NotFound, "the file does not exist")
                                  : Failure(LoadError::Unreadable,
                                            "the file cannot be opened: " + ErrnoText(errno));
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    int error = ok ? 0 : EISDIR;
    size_t capacity = ok ? static_cast<size_t>(info.st_size) + 1 : 0;
    buffer.bytes.reset(new char[capacity]);
    buffer.size = 0;
    while (ok) {
        if (buffer.size == capacity) {  // the file grew meanwhile
            capacity = capacity * 2 + 65536;
            std::unique_ptr<char[]> larger(new char[capacity]);
            std::copy_n(buffer.bytes.get(), buffer.size, larger.get());
            buffer.bytes = std::move(larger);
        }
        ssize_t got = ::read(fd, buffer.bytes.get() + buffer.size, capacity - buffer.size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ok = false;
            error = errno;
        }
        if (got <= 0)
            break;
        buffer.size += static_cast<size_t>(got);
    }
    ::close(fd);
    if (!ok)
        failure = Failure(LoadError::Unreadable, "the file cannot be read: " + ErrnoText(error));
    return ok;
}

}  // namespace

Document::Document() : doc_(std::make_unique<pugi::xml_document>()) {}
Document::~Document() = default;
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;

LoadResult Document::Load(const std::filesystem::path& path) {
    LoadResult failure;
    FileBuffer buffer;
    if (!ReadFile(path, buffer, failure))
        return failure;
    // Parsed in place: the document keeps the bytes, which saves a copy of a large file.
    bool byteOrderMark = HasByteOrderMark(buffer.View());
    auto doc = std::make_unique<pugi::xml_document>();
    pugi::xml_parse_result parsed =
        doc->load_buffer_inplace(buffer.bytes.get(), buffer.size, kParseOptions);
    if (!parsed) {
        // The bytes were changed by the parse; read them again to say where it failed.
        FileBuffer again;
        ReadFile(path, again, failure);
        return Adopt(std::move(doc), parsed, again.View());
    }
    LoadResult result = Adopt(std::move(doc), parsed, {});
    if (result) {
        buffer_ = std::move(buffer);
        byteOrderMark_ = byteOrderMark;
    }
    return result;
}

LoadResult Document::LoadText(std::string_view text) {
    auto doc = std::make_unique<pugi::xml_document>();
    pugi::xml_parse_result parsed = doc->load_buffer(text.data(), text.size(), kParseOptions);
    LoadResult result = Adopt(std::move(doc), parsed, text);
    if (result) {
        buffer_ = {};
        byteOrderMark_ = HasByteOrderMark(text);
    }
    return result;
}

LoadResult Document::Adopt(std::unique_ptr<pugi::xml_document> doc,
                           const pugi::xml_parse_result& parsed, std::string_view source) {
    if (parsed.status == pugi::status_no_document_element)
        return Failure(LoadError::NoElement, "the file holds no XML element");
    if (!parsed) {
        LoadResult result = Failure(LoadError::Syntax, parsed.description());
        LocateOffset(source, static_cast<size_t>(parsed.offset), result);
        result.message +=
            " at line " + std::to_string(result.line) + ", column " + std::to_string(result.column);
        return result;
    }
    if (!doc->document_element())
        return Failure(LoadError::NoElement, "the file holds no XML element");
    doc_ = std::move(doc);
    encoding_ = parsed.encoding;
    return {};
}

SaveResult Document::Save(const std::filesystem::path& path) const {
    std::filesystem::path temporary;
    int fd = CreateTemporary(path, temporary);
    if (fd < 0)
        return {SaveError::CannotCreate, "no file can be made in the folder: " + ErrnoText(errno)};
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(fd, existing.st_mode & 07777);

    FdWriter writer(fd);
    unsigned flags = pugi::format_default | (byteOrderMark_ ? pugi::format_write_bom : 0);
    doc_->save(writer, "  ", flags, encoding_);
    bool written = writer.Flush();
    int syncError = 0;
    if (written && ::fsync(fd) != 0)
        syncError = errno;
    bool closed = ::close(fd) == 0;
    if (!written || syncError != 0 || !closed) {
        int error = !written ? writer.error() : syncError != 0 ? syncError : EIO;
        ::unlink(temporary.c_str());
        return {SaveError::WriteFailed, "the file cannot be written: " + ErrnoText(error)};
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        return {SaveError::RenameFailed, "the file cannot be replaced: " + ErrnoText(error)};
    }
    return {};
}

std::string Document::ToText() const {
    std::ostringstream out;
    doc_->save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

}  // namespace xmldom
