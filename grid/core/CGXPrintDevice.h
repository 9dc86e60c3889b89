// The printer a grid prints on, kept apart from the application's default printer: the printer's
// names block and mode block (the framework's printer-settings blocks, see PrinterSettings.h)
// and a printer device context made from them on demand. The object is thin: every operation is
// carried out by the application-wide print-device component that was installed when the object
// was made, and does nothing (answering 0, FALSE or null) without one.
//
// Archive form (little-endian): u16 version 1; u32 names size, that many bytes; u32 mode size,
// that many bytes. A missing block has size 0.
#pragma once

#include "framework/persist/RuntimeClass.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class QPrinter;
namespace fw {
class DeviceContext;
}
class CGXAbstractPrintDeviceImp;

// A memory block the way the printer records are passed around: null when there is none.
using GXGlobalBlock = std::unique_ptr<std::vector<std::uint8_t>>;

class CGXPrintDevice : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    CGXPrintDevice();
    ~CGXPrintDevice() override;
    CGXPrintDevice(const CGXPrintDevice& other);
    CGXPrintDevice& operator=(const CGXPrintDevice& other);

    void Serialize(fw::Archive& ar) override;
    // Copies both blocks into blocks of this object.
    void SetDevice(const std::vector<std::uint8_t>* names, const std::vector<std::uint8_t>* mode);
    void CreateDevice(std::span<const std::uint8_t> names, std::span<const std::uint8_t> mode);
    void FreeDevice();
    // Copies of the two blocks (empty for a missing one).
    void GetDeviceBlocks(std::vector<std::uint8_t>& names, std::vector<std::uint8_t>& mode) const;
    // Without a printer yet, lets the user pick one in the print dialog.
    void NeedDevice();
    // The printer context made from the blocks, once; null without the component.
    virtual fw::DeviceContext* GetPrinterDC();
    virtual void ResetPrinterDC();
    // New copies of the two blocks.
    void GetDefaultHandles(GXGlobalBlock& names, GXGlobalBlock& mode) const;
    bool CompareDevice(const std::vector<std::uint8_t>* names,
                       const std::vector<std::uint8_t>* mode) const;
    bool CompareBlocks(std::span<const std::uint8_t> names,
                       std::span<const std::uint8_t> mode) const;

    // Kept for the component.
    GXGlobalBlock m_hDevMode;
    GXGlobalBlock m_hDevNames;
    std::unique_ptr<QPrinter> m_pPrinter;
    std::unique_ptr<fw::DeviceContext> m_pPrinterDC;
    CGXAbstractPrintDeviceImp* m_pFeature = nullptr;
};
