// The image files the TFTP server has open: up to 32 records shared by the sessions,
// each read by block offset. Thread-safe: the address server looks up image versions
// from its callback task while the TFTP thread serves.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "addrserver/ImageVersion.h"

namespace addrserver {

constexpr uint32_t kTftpMaxBlocks = 65535;

class TftpFiles {
public:
    static constexpr size_t kCapacity = 32;

    enum class OpenResult { kOk, kNotFound, kTableFull, kTooLarge };

    explicit TftpFiles(std::string directory = {});
    ~TftpFiles();
    TftpFiles(const TftpFiles&) = delete;
    TftpFiles& operator=(const TftpFiles&) = delete;

    // Forgets every record (closing its file) and serves from `directory` from now on.
    void Reset(const std::string& directory);
    const std::string& Directory() const { return directory_; }
    // True when `name` is a regular file in the directory.
    bool Exists(const std::string& name) const;

    // Opens `name` (a base name) or reuses its record, counting one more user.
    // `isNew` tells whether the record was (re)opened by this call.
    OpenResult Acquire(const std::string& name, uint32_t now, int& record, bool& isNew);
    // One user fewer; the file is closed when none is left.
    void Release(int record);
    // Reads up to out.size() bytes at offset; the byte count, or -1 on a read error.
    ssize_t Read(int record, uint64_t offset, std::span<uint8_t> out, uint32_t now);
    std::string Name(int record) const;
    // The image version of `name` among the records, when one holds it.
    std::optional<ImageVersion> VersionOf(const std::string& name) const;
    size_t OpenCount() const;

private:
    struct Record {
        std::string name;
        int fd = -1;
        ImageVersion version;  // stays empty: images carry no version header we read
        int users = 0;
        uint32_t lastUse = 0;
    };
    int PickRecordLocked(const std::string& name) const;
    void CloseLocked(Record& r);

    std::string directory_;
    mutable std::mutex mutex_;
    std::vector<Record> records_;
};

}  // namespace addrserver
