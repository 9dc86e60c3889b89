#include "addrserver/ImageVersion.h"

#include "addrserver/Report.h"

namespace addrserver {

ImageVersion ImageVersion::FromRecord(uint8_t major, uint8_t minor, uint8_t patch, uint8_t stage,
                                      uint8_t patchDigit, uint16_t build) {
    return ImageVersion{6, major, minor, patch, stage, patchDigit, build};
}

std::string ImageVersion::Text() const {
    if (length == 6)
        return Format("%u.%u.%u.%u.%u.%u", major, minor, patch, stage, patchDigit, build);
    if (length == 3)
        return Format("%u.%u.%u", major, minor, patch);
    return "Invalid Version Length";
}

bool ImageVersion::DiffersFrom(const ImageVersion& o) const {
    if (major != o.major || minor != o.minor || patch != o.patch)
        return true;
    return length == 6 && (stage != o.stage || patchDigit != o.patchDigit || build != o.build);
}

}  // namespace addrserver
