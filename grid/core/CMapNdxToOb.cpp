#include "grid/core/CMapNdxToOb.h"

#include "framework/persist/Archive.h"

#include <memory>

const fw::RuntimeClass CMapNdxToOb::kClass{"CMapNdxToOb", 1, &fw::Serializable::kClass,
                                           fw::CreateInstance<CMapNdxToOb>};

void CMapNdxToOb::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        if (map_.GetCount() > 0xFFFF)
            throw fw::ArchiveException(fw::ArchiveCause::TooLarge, "more than 65535 entries");
        ar << static_cast<std::uint16_t>(map_.GetCount());
        map_.ForEach([&ar](const GXCellIndex& k, fw::Serializable* v) {
            ar << k.first << k.second;
            ar.WriteObject(v);
        });
        return;
    }
    std::uint16_t count = 0;
    ar >> count;
    for (std::uint16_t i = 0; i < count; ++i) {
        GXCellIndex k;
        ar >> k.first >> k.second;
        std::unique_ptr<fw::Serializable> object = ar.ReadObject(fw::Serializable::kClass);
        map_[k] = object.release();
    }
}

void GXDeleteMapObjects(CMapNdxToOb& map) {
    GXPOSITION pos = map.GetStartPosition();
    while (pos) {
        GXCellIndex key;
        fw::Serializable* object = nullptr;
        map.GetNextAssoc(pos, key, object);
        std::unique_ptr<fw::Serializable>{object};
    }
    map.RemoveAll();
}
