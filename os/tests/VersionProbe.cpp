// Prints its own version record, one field a line; exit code 0 when complete.
#include <cstdio>

#include "os/VersionRecord.h"

int main() {
    os::VersionRecord record;
    const os::VersionStatus status = os::OwnVersionRecord(record);
    std::printf("%u.%u.%u.%u.%u.%u\n%s\n%s\n%s\n", record.major, record.minor, record.patch,
                record.stage, record.patchDigit, record.build,
                record.buildDate.value_or("").c_str(), record.copyright.value_or("").c_str(),
                record.productName.value_or("").c_str());
    return status == os::VersionStatus::Ok ? 0 : 1;
}
