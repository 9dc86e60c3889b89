// The application-wide component that does the work of every grid's print device: keeping copies
// of the printer's blocks, making the device's printer the application's, the print and print-
// setup dialogs, the printer context, and comparing printers. Dialogs go through the framework's
// print dialog (and its test hook).
#pragma once

#include "grid/core/CGXAbstractComponents.h"

class CGXPrintDeviceImp : public CGXAbstractPrintDeviceImp {
public:
    void MakeAppPrinter(CGXPrintDevice& device) override;
    int DoPrintDialog(CGXPrintDevice* device) override;
    bool OnPreparePrinting(CGXPrintDevice* device, fw::View& view, fw::PrintInfo& info) override;
    void StoreHandles(CGXPrintDevice& device, const std::vector<std::uint8_t>* names,
                      const std::vector<std::uint8_t>* mode) override;
    void StoreData(CGXPrintDevice& device, std::span<const std::uint8_t> names,
                   std::span<const std::uint8_t> mode) override;
    void FreeDevice(CGXPrintDevice& device) override;
    void CopyOut(const std::vector<std::uint8_t>* names, const std::vector<std::uint8_t>* mode,
                 std::vector<std::uint8_t>& namesOut, std::vector<std::uint8_t>& modeOut) override;
    int DoPrintSetup(CGXPrintDevice& device) override;
    fw::DeviceContext* GetPrinterDC(CGXPrintDevice& device) override;
    void DeletePrinterDC(CGXPrintDevice& device) override;
    void MakeHandles(const CGXPrintDevice& device,
                     std::unique_ptr<std::vector<std::uint8_t>>& names,
                     std::unique_ptr<std::vector<std::uint8_t>>& mode) override;
    bool IsSamePrinter(const CGXPrintDevice& device, const std::vector<std::uint8_t>* names,
                       const std::vector<std::uint8_t>* mode) override;
    bool IsSameData(const CGXPrintDevice& device, std::span<const std::uint8_t> names,
                    std::span<const std::uint8_t> mode) override;
};

void InstallPrintDeviceImp();
