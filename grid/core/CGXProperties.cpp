#include "grid/core/CGXProperties.h"

#include "grid/core/CGXData.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/GXColor.h"
#include "grid/core/GXLibraryState.h"

const fw::RuntimeClass CGXProperties::kClass{"CGXProperties", 4, &fw::Serializable::kClass,
                                             fw::CreateInstance<CGXProperties>};

CGXProperties::CGXProperties()
    : colors_{fw::Rgb(192, 192, 192), fw::Rgb(0, 0, 0), fw::Rgb(128, 128, 128), fw::Rgb(0, 0, 0)} {
    m_pHeader = std::make_unique<CGXData>();
    m_pFooter = std::make_unique<CGXData>();
}

CGXProperties::~CGXProperties() = default;

void CGXProperties::SetColor(std::size_t index, fw::ColorRef c) {
    if (index >= colors_.size())
        colors_.resize(index + 1, 0);
    colors_[index] = c;
}

void CGXProperties::Serialize(fw::Archive& ar) {
    if (CGXAbstractGridDocSerializeImp* imp = GXGetLibraryState().m_pDocSerializeImp)
        imp->SerializeProperties(*this, ar);
}

void CGXProperties::WriteProfile() const {
    if (CGXAbstractGridProfileImp* imp = GXGetLibraryState().m_pProfileImp)
        imp->WriteProperties(*this);
}

bool CGXProperties::ReadProfile() {
    CGXAbstractGridProfileImp* imp = GXGetLibraryState().m_pProfileImp;
    return imp && imp->ReadProperties(*this);
}
