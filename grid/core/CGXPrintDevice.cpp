#include "grid/core/CGXPrintDevice.h"

#include "framework/drawing/DeviceContext.h"
#include "framework/persist/Archive.h"
#include "grid/core/CGXAbstractComponents.h"
#include "grid/core/GXLibraryState.h"

#include <QPrinter>

const fw::RuntimeClass CGXPrintDevice::kClass{"CGXPrintDevice", 1, &fw::Serializable::kClass,
                                              fw::CreateInstance<CGXPrintDevice>};

namespace {
constexpr std::uint16_t kVersion = 1;
}

CGXPrintDevice::CGXPrintDevice() : m_pFeature(GXGetLibraryState().m_pPrintDeviceImp) {}

// The blocks and the printer context free themselves (also after the component is gone).
CGXPrintDevice::~CGXPrintDevice() = default;

CGXPrintDevice::CGXPrintDevice(const CGXPrintDevice& other) : CGXPrintDevice() {
    *this = other;
}

CGXPrintDevice& CGXPrintDevice::operator=(const CGXPrintDevice& other) {
    if (this != &other)
        SetDevice(other.m_hDevNames.get(), other.m_hDevMode.get());
    return *this;
}

void CGXPrintDevice::SetDevice(const std::vector<std::uint8_t>* names,
                               const std::vector<std::uint8_t>* mode) {
    if (m_pFeature)
        m_pFeature->StoreHandles(*this, names, mode);
}

void CGXPrintDevice::CreateDevice(std::span<const std::uint8_t> names,
                                  std::span<const std::uint8_t> mode) {
    if (m_pFeature)
        m_pFeature->StoreData(*this, names, mode);
}

void CGXPrintDevice::FreeDevice() {
    if (m_pFeature)
        m_pFeature->FreeDevice(*this);
}

void CGXPrintDevice::GetDeviceBlocks(std::vector<std::uint8_t>& names,
                                     std::vector<std::uint8_t>& mode) const {
    names.clear();
    mode.clear();
    if (m_pFeature)
        m_pFeature->CopyOut(m_hDevNames.get(), m_hDevMode.get(), names, mode);
}

void CGXPrintDevice::NeedDevice() {
    if (m_pFeature && !m_hDevNames)
        m_pFeature->DoPrintDialog(this);
}

fw::DeviceContext* CGXPrintDevice::GetPrinterDC() {
    return m_pFeature ? m_pFeature->GetPrinterDC(*this) : nullptr;
}

void CGXPrintDevice::ResetPrinterDC() {
    if (m_pFeature)
        m_pFeature->DeletePrinterDC(*this);
    m_pPrinterDC.reset();
}

void CGXPrintDevice::GetDefaultHandles(GXGlobalBlock& names, GXGlobalBlock& mode) const {
    if (m_pFeature)
        m_pFeature->MakeHandles(*this, names, mode);
}

bool CGXPrintDevice::CompareDevice(const std::vector<std::uint8_t>* names,
                                   const std::vector<std::uint8_t>* mode) const {
    return m_pFeature && m_pFeature->IsSamePrinter(*this, names, mode);
}

bool CGXPrintDevice::CompareBlocks(std::span<const std::uint8_t> names,
                                   std::span<const std::uint8_t> mode) const {
    return m_pFeature && m_pFeature->IsSameData(*this, names, mode);
}

void CGXPrintDevice::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        std::vector<std::uint8_t> names, mode;
        GetDeviceBlocks(names, mode);
        ar << kVersion;
        ar << static_cast<std::uint32_t>(names.size());
        ar.Write(names);
        ar << static_cast<std::uint32_t>(mode.size());
        ar.Write(mode);
        return;
    }
    std::uint16_t version = 0;
    ar >> version;
    if (version != kVersion)
        throw fw::ArchiveException(fw::ArchiveCause::BadSchema, "CGXPrintDevice");
    // The sizes are checked against the bytes left before anything is allocated.
    std::uint32_t size = 0;
    ar >> size;
    const std::vector<std::uint8_t> names = ar.ReadBytes(size);
    ar >> size;
    const std::vector<std::uint8_t> mode = ar.ReadBytes(size);
    CreateDevice(names, mode);
}
