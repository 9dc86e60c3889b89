// The list of recently used files a program shows in its File menu and keeps in its profile
// (section "Recent File List", entries "File1" to "FileN", the newest first).
#pragma once

#include "framework/persist/Profile.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

class RecentFileList {
public:
    explicit RecentFileList(std::size_t capacity = 4, std::string section = "Recent File List",
                            std::string entryPrefix = "File");

    // Puts a file at the top (as an absolute, normalised path); one already listed moves up,
    // and the oldest falls off beyond the capacity.
    void Add(const std::filesystem::path& file);
    void Remove(std::size_t index);
    std::size_t Size() const { return files_.size(); }
    std::size_t Capacity() const { return capacity_; }
    const std::string& operator[](std::size_t index) const { return files_.at(index); }

    // The menu text of an entry: "&1 " and the path, shortened at the front to at most
    // `maxChars` characters, with "&" doubled so it shows as itself.
    std::string MenuText(std::size_t index, std::size_t maxChars = 40) const;

    void ReadList(const Profile& profile);
    bool WriteList(Profile& profile) const;

private:
    std::size_t capacity_;
    std::string section_;
    std::string prefix_;
    std::vector<std::string> files_;
};

}  // namespace fw
