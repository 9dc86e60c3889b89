#include "grid/core/CGXCollMapDWordToString.h"

#include "framework/persist/Archive.h"

const fw::RuntimeClass CGXCollMapDWordToString::kClass{"CGXCollMapDWordToString", 1,
                                                       &fw::Serializable::kClass,
                                                       fw::CreateInstance<CGXCollMapDWordToString>};

void CGXCollMapDWordToString::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        if (map_.GetCount() > 0xFFFF)
            throw fw::ArchiveException(fw::ArchiveCause::TooLarge, "more than 65535 entries");
        ar << static_cast<std::uint16_t>(map_.GetCount());
        map_.ForEach([&ar](std::uint32_t k, const std::string& v) { ar << k << v; });
        return;
    }
    std::uint16_t count = 0;
    ar >> count;
    for (std::uint16_t i = 0; i < count; ++i) {
        std::uint32_t k = 0;
        std::string v;
        ar >> k >> v;
        map_[k] = std::move(v);
    }
}
