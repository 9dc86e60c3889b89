#include "framework/persist/RecentFileList.h"

#include <algorithm>

namespace fw {

RecentFileList::RecentFileList(std::size_t capacity, std::string section, std::string entryPrefix)
    : capacity_(std::max<std::size_t>(1, capacity)),
      section_(std::move(section)),
      prefix_(std::move(entryPrefix)) {}

void RecentFileList::Add(const std::filesystem::path& file) {
    if (file.empty())
        return;
    std::error_code ignored;
    std::filesystem::path full = std::filesystem::absolute(file, ignored);
    std::string name = (full.empty() ? file : full).lexically_normal().string();
    files_.erase(std::remove(files_.begin(), files_.end(), name), files_.end());
    files_.insert(files_.begin(), name);
    if (files_.size() > capacity_)
        files_.resize(capacity_);
}

void RecentFileList::Remove(std::size_t index) {
    if (index < files_.size())
        files_.erase(files_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::string RecentFileList::MenuText(std::size_t index, std::size_t maxChars) const {
    if (index >= files_.size())
        return {};
    std::string path = files_[index];
    if (path.size() > maxChars && maxChars > 3) {
        // Keep the end: the file name matters most.
        path = "..." + path.substr(path.size() - (maxChars - 3));
    }
    std::string text = "&" + std::to_string(index + 1) + " ";
    for (char c : path) {
        if (c == '&')
            text += '&';
        text += c;
    }
    return text;
}

void RecentFileList::ReadList(const Profile& profile) {
    files_.clear();
    for (std::size_t i = 0; i < capacity_; ++i) {
        std::string f = profile.GetProfileString(section_, prefix_ + std::to_string(i + 1));
        if (!f.empty() && std::find(files_.begin(), files_.end(), f) == files_.end())
            files_.push_back(f);
    }
}

bool RecentFileList::WriteList(Profile& profile) const {
    bool ok = true;
    for (std::size_t i = 0; i < capacity_; ++i) {
        std::string entry = prefix_ + std::to_string(i + 1);
        ok &= i < files_.size() ? profile.WriteProfileString(section_, entry, files_[i])
                                : profile.DeleteEntry(section_, entry);
    }
    return ok;
}

}  // namespace fw
