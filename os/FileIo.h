// Whole-file reads and replace-by-rename writes for the small settings files.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace os {

enum class ReadStatus {
    Ok,
    Missing,   // no such file
    TooLarge,  // larger than the caller's limit; nothing read
    Failed,    // any other error (see the error_code)
};

// Reads the whole file into `bytes` when it is at most `maxBytes` long.
ReadStatus ReadWholeFile(const std::filesystem::path& path, size_t maxBytes, std::string& bytes,
                         std::error_code* error = nullptr);

// Replaces the file's content: writes a temporary file beside it, flushes it
// to disk and renames it over the old one, so a reader sees the old or the new
// content, never a half-written file. An existing file keeps its mode; a new one
// gets `newMode`. The folder must exist.
std::error_code ReplaceFile(const std::filesystem::path& path, std::string_view bytes,
                            mode_t newMode = 0644);

}  // namespace os
