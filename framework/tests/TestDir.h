// A fresh folder for one test, named after the process and the test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

namespace fw {

class TestDir {
public:
    explicit TestDir(const std::string& prefix) {
        path_ = std::filesystem::temp_directory_path() /
                (prefix + std::to_string(::getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TestDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TestDir(const TestDir&) = delete;
    TestDir& operator=(const TestDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace fw
