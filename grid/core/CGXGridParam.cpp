#include "grid/core/CGXGridParam.h"

#include "grid/core/CGXData.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXLibraryState.h"

const fw::RuntimeClass CGXGridParam::kClass{"CGXGridParam", 10, &fw::Serializable::kClass,
                                            fw::CreateInstance<CGXGridParam>};

namespace {

template <class T>
void Replace(T*& slot, bool& owned, T* p, bool mustDelete) {
    if (slot != p && owned)
        delete slot;  // the parameter object owned the old one
    slot = p;
    owned = p && mustDelete;
}

}  // namespace

CGXGridParam::CGXGridParam() : m_pAppData(&GXGetLibraryState()) {
    m_RowHeights.InitHashTable(1021);
    m_ColWidths.InitHashTable(257);
    m_RowHeights[0] = 1400;
    m_ColWidths[0] = 6000;
}

CGXGridParam::~CGXGridParam() {
    m_undoList.clear();
    m_redoList.clear();
    SetProperties(nullptr);
    SetStylesMap(nullptr);
    SetData(nullptr);
    SetPrintDevice(nullptr);
}

void CGXGridParam::Serialize(fw::Archive& ar) {
    if (CGXAbstractGridDocSerializeImp* imp = GXGetLibraryState().m_pDocSerializeImp)
        imp->SerializeParam(*this, ar);
}

CGXGridParam& CGXGridParam::operator=(const CGXGridParam& other) {
    if (this == &other)
        return *this;
    if (CGXAbstractGridParamCopyOperatorImp* imp = GXGetLibraryState().m_pParamCopyOperatorImp)
        imp->CopyParam(*this, other);
    return *this;
}

void CGXGridParam::SetProperties(CGXProperties* p, bool mustDelete) {
    Replace(m_pProperties, m_bOwnProperties, p, mustDelete);
}

void CGXGridParam::SetStylesMap(CGXStylesMap* p, bool mustDelete) {
    Replace(m_pStylesMap, m_bOwnStylesMap, p, mustDelete);
}

void CGXGridParam::SetData(CGXData* p, bool mustDelete) {
    Replace(m_pData, m_bOwnData, p, mustDelete);
}

void CGXGridParam::SetPrintDevice(CGXPrintDevice* p, bool mustDelete) {
    Replace(m_pPrintDevice, m_bOwnPrintDevice, p, mustDelete);
}

void CGXGridParam::CreateCoveredCellPool() {
    if (m_pCoveredCellPool)
        return;
    if (CGXAbstractCoveredCellPoolImp* imp = GXGetLibraryState().m_pCoveredCellPoolImp)
        m_pCoveredCellPool = imp->CreateCoveredCellPool();
}

void CGXGridParam::RebuildCoveredCellPool() {
    CGXAbstractCoveredCellPoolImp* imp = GXGetLibraryState().m_pCoveredCellPoolImp;
    if (imp && m_pCoveredCellPool)
        imp->RebuildCoveredCellPool(*m_pCoveredCellPool, m_CoveredCells);
}
