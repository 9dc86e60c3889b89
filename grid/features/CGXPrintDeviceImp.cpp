#include "grid/features/CGXPrintDeviceImp.h"

#include "framework/app/Application.h"
#include "framework/docview/View.h"
#include "framework/drawing/DeviceContext.h"
#include "framework/printing/PrinterSettings.h"
#include "framework/printing/Printing.h"
#include "grid/core/CGXPrintDevice.h"
#include "grid/core/GXLibraryState.h"

#include <QPrinter>

#include <algorithm>

namespace {

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

struct WaitCursor {
    WaitCursor() { fw::BeginWaitCursor(); }
    ~WaitCursor() { fw::EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

std::span<const std::uint8_t> Bytes(const std::vector<std::uint8_t>* block) {
    return block ? std::span<const std::uint8_t>(*block) : std::span<const std::uint8_t>();
}

// A block of its own for non-empty data, none for empty data.
GXGlobalBlock Copy(std::span<const std::uint8_t> data) {
    if (data.empty())
        return nullptr;
    return std::make_unique<std::vector<std::uint8_t>>(data.begin(), data.end());
}

bool SameBlock(const GXGlobalBlock& held, std::span<const std::uint8_t> given) {
    if (!held)
        return given.empty();
    return std::equal(held->begin(), held->end(), given.begin(), given.end());
}

// The device's printer as the framework's settings (empty for a device without one, or with
// blocks that describe no printer).
fw::PrinterSettings Settings(const CGXPrintDevice& device) {
    return fw::PrinterSettings::FromBlocks(Bytes(device.m_hDevNames.get()),
                                           Bytes(device.m_hDevMode.get()))
        .value_or(fw::PrinterSettings());
}

// A device without a printer takes the application's current one.
void EnsureData(CGXPrintDeviceImp& imp, CGXPrintDevice& device) {
    if (device.m_hDevNames)
        return;
    fw::PrinterSettings& app = fw::AppPrinterSettings();
    if (app.IsEmpty()) {
        QPrinter printer;
        app = fw::PrinterSettings::FromPrinter(printer);
    }
    imp.StoreData(device, app.NamesBlock(), app.ModeBlock());
}

}  // namespace

void CGXPrintDeviceImp::MakeAppPrinter(CGXPrintDevice& device) {
    fw::AppPrinterSettings() = Settings(device);
}

int CGXPrintDeviceImp::DoPrintDialog(CGXPrintDevice* device) {
    if (!device)
        return 0;
    WaitCursor wait;
    EnsureData(*this, *device);
    MakeAppPrinter(*device);
    QPrinter printer;
    fw::AppPrinterSettings().ApplyTo(printer);
    fw::PrintInfo info;
    if (!fw::RunPrintDialog(printer, info, nullptr))
        return kIdCancel;
    fw::AppPrinterSettings() = fw::PrinterSettings::FromPrinter(printer);
    const fw::PrinterSettings& chosen = fw::AppPrinterSettings();
    StoreData(*device, chosen.NamesBlock(), chosen.ModeBlock());
    return kIdOk;
}

bool CGXPrintDeviceImp::OnPreparePrinting(CGXPrintDevice* device, fw::View& view,
                                          fw::PrintInfo& info) {
    if (!device)
        return view.fw::View::OnPreparePrinting(info);
    WaitCursor wait;
    EnsureData(*this, *device);
    MakeAppPrinter(*device);
    if (!view.fw::View::OnPreparePrinting(info))
        return false;
    const fw::PrinterSettings& chosen = fw::AppPrinterSettings();
    if (!IsSameData(*device, chosen.NamesBlock(), chosen.ModeBlock()))
        StoreData(*device, chosen.NamesBlock(), chosen.ModeBlock());
    return true;
}

void CGXPrintDeviceImp::StoreHandles(CGXPrintDevice& device, const std::vector<std::uint8_t>* names,
                                     const std::vector<std::uint8_t>* mode) {
    StoreData(device, Bytes(names), Bytes(mode));
}

void CGXPrintDeviceImp::StoreData(CGXPrintDevice& device, std::span<const std::uint8_t> names,
                                  std::span<const std::uint8_t> mode) {
    // Copied first: the data may be the device's own blocks.
    GXGlobalBlock newNames = Copy(names);
    GXGlobalBlock newMode = Copy(mode);
    FreeDevice(device);
    device.m_hDevNames = std::move(newNames);
    device.m_hDevMode = std::move(newMode);
}

void CGXPrintDeviceImp::FreeDevice(CGXPrintDevice& device) {
    DeletePrinterDC(device);
    device.m_hDevNames.reset();
    device.m_hDevMode.reset();
}

void CGXPrintDeviceImp::CopyOut(const std::vector<std::uint8_t>* names,
                                const std::vector<std::uint8_t>* mode,
                                std::vector<std::uint8_t>& namesOut,
                                std::vector<std::uint8_t>& modeOut) {
    namesOut = names ? *names : std::vector<std::uint8_t>();
    modeOut = mode ? *mode : std::vector<std::uint8_t>();
}

int CGXPrintDeviceImp::DoPrintSetup(CGXPrintDevice& device) {
    WaitCursor wait;
    EnsureData(*this, device);
    QPrinter printer;
    Settings(device).ApplyTo(printer);
    fw::PrintInfo info;
    info.minPage = info.maxPage = 1;  // setup only: no page range to choose
    if (!fw::RunPrintDialog(printer, info, nullptr))
        return kIdCancel;
    const fw::PrinterSettings chosen = fw::PrinterSettings::FromPrinter(printer);
    StoreData(device, chosen.NamesBlock(), chosen.ModeBlock());
    return kIdOk;
}

fw::DeviceContext* CGXPrintDeviceImp::GetPrinterDC(CGXPrintDevice& device) {
    if (!device.m_pPrinterDC) {
        device.NeedDevice();
        device.m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        Settings(device).ApplyTo(*device.m_pPrinter);
        device.m_pPrinterDC = std::make_unique<fw::DeviceContext>(device.m_pPrinter.get());
    }
    return device.m_pPrinterDC.get();
}

void CGXPrintDeviceImp::DeletePrinterDC(CGXPrintDevice& device) {
    device.m_pPrinterDC.reset();
    device.m_pPrinter.reset();
}

void CGXPrintDeviceImp::MakeHandles(const CGXPrintDevice& device,
                                    std::unique_ptr<std::vector<std::uint8_t>>& names,
                                    std::unique_ptr<std::vector<std::uint8_t>>& mode) {
    names.reset();
    mode.reset();
    if (!device.m_hDevNames)
        return;
    names = Copy(*device.m_hDevNames);
    if (device.m_hDevMode)
        mode = Copy(*device.m_hDevMode);
}

bool CGXPrintDeviceImp::IsSamePrinter(const CGXPrintDevice& device,
                                      const std::vector<std::uint8_t>* names,
                                      const std::vector<std::uint8_t>* mode) {
    std::vector<std::uint8_t> n, m;
    CopyOut(names, mode, n, m);
    return IsSameData(device, n, m);
}

bool CGXPrintDeviceImp::IsSameData(const CGXPrintDevice& device,
                                   std::span<const std::uint8_t> names,
                                   std::span<const std::uint8_t> mode) {
    return SameBlock(device.m_hDevNames, names) && SameBlock(device.m_hDevMode, mode);
}

void InstallPrintDeviceImp() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (!state.m_pPrintDeviceImp)
        state.m_pPrintDeviceImp = state.AddOwnedObject(std::make_unique<CGXPrintDeviceImp>());
}
