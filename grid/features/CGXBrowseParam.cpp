#include "grid/features/CGXBrowseParam.h"

#include "framework/persist/Archive.h"

#include "grid/core/CGXGridCore.h"

const fw::RuntimeClass CGXBrowseParam::kClass{"CGXBrowseParam", 1, &CGXGridParam::kClass,
                                              fw::CreateInstance<CGXBrowseParam>};

void CGXBrowseParam::Serialize(fw::Archive& ar) {
    CGXGridParam::Serialize(ar);
    if (ar.IsStoring()) {
        ar << kVersion << static_cast<std::uint8_t>(m_bArchivedFlag);
        ar.WriteObject(m_pArchivedObject.get());
        return;
    }
    std::uint16_t version = 0;
    ar >> version;
    if (version > kVersion)
        throw fw::ArchiveException(fw::ArchiveCause::BadSchema, "CGXBrowseParam");
    std::uint8_t flag = 0;
    ar >> flag;
    m_bArchivedFlag = flag;
    if (version >= 2)
        m_pArchivedObject = ar.ReadObject(fw::Serializable::kClass);
}

void CGXBrowseParam::CopyFrom(const CGXBrowseParam& other) {
    if (&other == this)
        return;
    CGXGridParam::operator=(other);
    m_nSettingA = other.m_nSettingA;
    m_nSettingB = other.m_nSettingB;
    m_nSettingC = other.m_nSettingC;
    m_nSettingD = other.m_nSettingD;
    m_nLimit = other.m_nLimit;
}

std::int16_t CGXBrowseParam::GetFieldFromCol(CGXGridCore& grid, ROWCOL col) {
    return static_cast<std::int16_t>(col - grid.GetHeaderCols() - 1);
}
