// An XML document held in memory, loaded from and saved to a file whole.
//
// Loading drops text nodes that hold only blanks (the indentation between elements),
// so a walk over children meets elements; comments and processing instructions are
// kept, so a file written by hand keeps them when it is saved again. A file keeps its
// encoding (UTF-8, UTF-16 or Latin-1, with or without a byte-order mark).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "xmldom/Node.h"

namespace xmldom {

enum class LoadError : uint8_t {
    None,
    NotFound,    // no such file
    Unreadable,  // cannot be opened or read
    Syntax,      // not well-formed XML
    NoElement,   // well-formed but without a top-level element
};

struct LoadResult {
    LoadError error = LoadError::None;
    size_t line = 0;      // where a syntax error lies, from 1
    size_t column = 0;    // from 1
    std::string message;  // a readable reason, "" on success

    explicit operator bool() const { return error == LoadError::None; }
};

enum class SaveError : uint8_t {
    None,
    CannotCreate,  // no temporary file could be made beside the target
    WriteFailed,   // writing or flushing the temporary file failed
    RenameFailed,  // the temporary file could not take the target's place
};

struct SaveResult {
    SaveError error = SaveError::None;
    std::string message;

    explicit operator bool() const { return error == SaveError::None; }
};

// The bytes of a file as read.
struct FileBuffer {
    std::unique_ptr<char[]> bytes;
    size_t size = 0;

    std::string_view View() const { return {bytes.get(), size}; }
};

class Document {
public:
    Document();
    ~Document();
    Document(Document&&) noexcept;
    Document& operator=(Document&&) noexcept;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // On success the content is replaced and every earlier handle dangles; on failure
    // the document keeps what it held.
    LoadResult Load(const std::filesystem::path& path);
    LoadResult LoadText(std::string_view text);

    // Writes the whole document to a new file beside `path` and renames it over `path`,
    // so a failure never leaves a half-written file in its place. A file that existed
    // keeps its permission bits.
    SaveResult Save(const std::filesystem::path& path) const;
    std::string ToText() const;

    // The document node, parent of the top-level nodes.
    Node Root() const { return Node(*doc_); }
    // The first top-level element, and the first one with the name.
    Node DocumentElement() const { return Node(doc_->document_element()); }
    Node TopLevel(std::string_view name) const { return Root().ChildElement(name); }

private:
    LoadResult Adopt(std::unique_ptr<pugi::xml_document> doc, const pugi::xml_parse_result& parsed,
                     std::string_view source);

    std::unique_ptr<pugi::xml_document> doc_;
    FileBuffer buffer_;  // the loaded file, which the document's strings point into
    pugi::xml_encoding encoding_ = pugi::encoding_utf8;
    bool byteOrderMark_ = false;
};

}  // namespace xmldom
