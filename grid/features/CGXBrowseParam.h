// The parameter object of a browsing grid (rows from a record source): the grid parameter
// object with the browsing grid's settings, the per-field records and the objects a browsing
// grid attaches. Copied with CopyFrom and archived after the base object's data as
//   u16 version (2), u8 archived flag, and from version 2 on the archived object (an object
//   reference, null allowed).
// A version above 2 is refused with the archive error BadSchema.
#pragma once

#include "grid/core/CGXGridParam.h"

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CGXBrowseParam : public CGXGridParam {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }
    static constexpr std::uint16_t kVersion = 2;

    // One field of the record source: a value, its name and an object the grid attaches.
    struct FieldRecord {
        std::uint32_t value = 0;
        std::string name;
        std::unique_ptr<CGXOwnedObject> object;
    };

    CGXBrowseParam() = default;
    void Serialize(fw::Archive& ar) override;
    // The base object's copy, then settings A to D and the limit; nothing else.
    virtual void CopyFrom(const CGXBrowseParam& other);

    // The meanings of these settings rest with the browsing grid.
    std::uint32_t m_nSettingA = 0;
    std::uint32_t m_nSettingB = 0;
    std::uint32_t m_nSettingC = 255;
    std::uint32_t m_nSettingD = 1;
    std::uint32_t m_nWord1 = 0, m_nWord2 = 0;
    std::uint32_t m_bArchivedFlag = 0;  // an 8-bit value in the archive
    std::vector<std::uint32_t> m_awFirst;
    std::vector<std::uint32_t> m_awSecond;
    std::vector<FieldRecord> m_fieldRecords;  // empty until a browsing grid fills it
    std::uint32_t m_nCounter1 = 0, m_nCounter2 = 0, m_nCounter3 = 0;
    std::unique_ptr<CGXOwnedObject> m_pAttached;
    std::uint32_t m_nEnabled = 1;
    std::int32_t m_nPosition1 = -1, m_nPosition2 = -1;
    std::int32_t m_nLimit = INT_MAX;
    std::unique_ptr<fw::Serializable> m_pArchivedObject;

    // The zero-based field of a grid column: the column less the header columns, less 1, as a
    // 16-bit value.
    static std::int16_t GetFieldFromCol(CGXGridCore& grid, ROWCOL col);
};
