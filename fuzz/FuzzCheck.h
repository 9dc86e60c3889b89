// What the fuzz targets share: a check that stops the run when a parser's own promise
// breaks (libFuzzer keeps the input), and a reader that takes a few control bytes off the
// front of an input before the rest goes to the parser.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include <stdlib.h>

// Like assert, but in every build: a broken invariant is a finding.
#define FUZZ_CHECK(condition)                                                          \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", __FILE__, __LINE__, \
                         #condition);                                                  \
            std::abort();                                                              \
        }                                                                              \
    } while (0)

// A folder of the target's own under /tmp, made on first use and removed when the run
// ends (libFuzzer leaves through exit, which runs static destructors).
class FuzzTempDir {
public:
    explicit FuzzTempDir(const char* name) {
        std::string pattern = std::string("/tmp/") + name + "-XXXXXX";
        FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
        path_ = pattern;
    }
    ~FuzzTempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    FuzzTempDir(const FuzzTempDir&) = delete;
    FuzzTempDir& operator=(const FuzzTempDir&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : rest_(data, size) {}
    // The next byte, or 0 when none is left.
    uint8_t Byte() {
        if (rest_.empty())
            return 0;
        const uint8_t b = rest_[0];
        rest_ = rest_.subspan(1);
        return b;
    }
    // Up to n bytes from the front.
    std::span<const uint8_t> Take(size_t n) {
        const size_t k = n < rest_.size() ? n : rest_.size();
        std::span<const uint8_t> out = rest_.first(k);
        rest_ = rest_.subspan(k);
        return out;
    }
    std::span<const uint8_t> Rest() const { return rest_; }
    std::string_view RestText() const {
        return {reinterpret_cast<const char*>(rest_.data()), rest_.size()};
    }

private:
    std::span<const uint8_t> rest_;
};
