// A grid's print device: its archive record byte by byte, loading that refuses what the bytes do
// not hold, comparing printers, the print dialog and the cached printer context.
#include "FeatureFixture.h"

#include "framework/docview/View.h"
#include "framework/persist/Archive.h"
#include "framework/printing/PrinterSettings.h"
#include "framework/printing/Printing.h"
#include "grid/core/CGXPrintDevice.h"
#include "grid/core/GXLibraryState.h"

#include <QPrinter>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Store(CGXPrintDevice& device) {
    Bytes out;
    fw::Archive ar(fw::StoreTo{out});
    device.Serialize(ar);
    return out;
}

void Load(CGXPrintDevice& device, const Bytes& bytes) {
    fw::Archive ar(fw::LoadFrom{bytes});
    device.Serialize(ar);
}

fw::PrinterSettings PdfSettings(QPageLayout::Orientation orientation) {
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(GRID_FEATURES_BUILD_DIR "/print-device.pdf");
    printer.setPageOrientation(orientation);
    return fw::PrinterSettings::FromPrinter(printer);
}

class PrintDeviceTest : public FeatureFixture {
protected:
    void TearDown() override {
        fw::SetPrintDialogHook(nullptr);
        fw::AppPrinterSettings() = {};
        FeatureFixture::TearDown();
    }
};

TEST_F(PrintDeviceTest, ArchiveRecordIsVersionThenEachBlockWithItsSize) {
    CGXPrintDevice none;
    EXPECT_EQ(Store(none), (Bytes{1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    CGXPrintDevice loaded;
    loaded.CreateDevice(Bytes{7}, Bytes{});
    Load(loaded, Store(none));
    EXPECT_TRUE(loaded.CompareBlocks({}, {})) << "loading an empty record leaves no printer";

    CGXPrintDevice device;
    device.CreateDevice(Bytes{1, 2, 3}, Bytes{9, 8});
    const Bytes record = Store(device);
    EXPECT_EQ(record, (Bytes{1, 0, 3, 0, 0, 0, 1, 2, 3, 2, 0, 0, 0, 9, 8}));
    CGXPrintDevice copy;
    Load(copy, record);
    EXPECT_TRUE(copy.CompareBlocks(Bytes{1, 2, 3}, Bytes{9, 8}));
}

TEST_F(PrintDeviceTest, LoadingRefusesOtherVersionsAndSizesBeyondTheBytes) {
    const Bytes good{1, 0, 3, 0, 0, 0, 1, 2, 3, 2, 0, 0, 0, 9, 8};
    for (std::size_t n = 0; n < good.size(); ++n) {
        CGXPrintDevice device;
        EXPECT_THROW(Load(device, Bytes(good.begin(), good.begin() + n)), fw::ArchiveException)
            << n << " bytes";
    }
    struct Case {
        const char* name;
        Bytes bytes;
        fw::ArchiveCause cause;
    };
    const Case cases[] = {
        {"version 2", {2, 0, 0, 0, 0, 0, 0, 0, 0, 0}, fw::ArchiveCause::BadSchema},
        {"version 0", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, fw::ArchiveCause::BadSchema},
        {"names claim 4 GB", {1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2}, fw::ArchiveCause::EndOfFile},
        {"mode claims more than is left",
         {1, 0, 0, 0, 0, 0, 5, 0, 0, 0, 1},
         fw::ArchiveCause::EndOfFile},
    };
    for (const Case& c : cases) {
        CGXPrintDevice device;
        device.CreateDevice(Bytes{4, 4}, Bytes{});
        try {
            Load(device, c.bytes);
            ADD_FAILURE() << c.name << ": loaded";
        } catch (const fw::ArchiveException& e) {
            EXPECT_EQ(e.cause, c.cause) << c.name;
        }
        EXPECT_TRUE(device.CompareBlocks(Bytes{4, 4}, {})) << c.name << ": printer kept";
    }
}

TEST_F(PrintDeviceTest, BlocksCompareBySizeAndBytesAndAMissingBlockEqualsOnlyAnEmptyOne) {
    CGXPrintDevice none;
    EXPECT_TRUE(none.CompareBlocks({}, {}));
    EXPECT_FALSE(none.CompareBlocks(Bytes{1}, {}));
    EXPECT_FALSE(none.CompareBlocks({}, Bytes{1}));

    CGXPrintDevice device;
    device.CreateDevice(Bytes{1, 2, 3}, Bytes{});
    struct Case {
        Bytes names, mode;
        bool same;
    };
    const Case cases[] = {
        {{1, 2, 3}, {}, true},  {{1, 2}, {}, false},     {{1, 2, 3, 4}, {}, false},
        {{1, 2, 4}, {}, false}, {{1, 2, 3}, {0}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(device.CompareBlocks(c.names, c.mode), c.same);
        EXPECT_EQ(device.CompareDevice(&c.names, c.mode.empty() ? nullptr : &c.mode), c.same);
    }
    GXGlobalBlock names, mode;
    device.GetDefaultHandles(names, mode);
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, (Bytes{1, 2, 3}));
    EXPECT_FALSE(mode);
    none.GetDefaultHandles(names, mode);
    EXPECT_FALSE(names);
}

TEST_F(PrintDeviceTest, AssignmentCopiesTheBlocksAndSelfAssignmentChangesNothing) {
    CGXPrintDevice a;
    a.CreateDevice(Bytes{5, 6}, Bytes{7});
    CGXPrintDevice& self = a;
    a = self;
    EXPECT_TRUE(a.CompareBlocks(Bytes{5, 6}, Bytes{7}));
    CGXPrintDevice b;
    b = a;
    a.FreeDevice();
    EXPECT_TRUE(b.CompareBlocks(Bytes{5, 6}, Bytes{7}));
    EXPECT_TRUE(a.CompareBlocks({}, {}));
}

TEST_F(PrintDeviceTest, CancellingThePrintDialogKeepsThePrinterAndOkTakesTheChosenOne) {
    const fw::PrinterSettings portrait = PdfSettings(QPageLayout::Portrait);
    CGXPrintDevice device;
    device.CreateDevice(portrait.NamesBlock(), portrait.ModeBlock());
    bool accept = false;
    int asked = 0;
    fw::SetPrintDialogHook([&](QPrinter& printer, fw::PrintInfo&, QWidget*) {
        ++asked;
        printer.setPageOrientation(QPageLayout::Landscape);
        return accept;
    });
    EXPECT_EQ(device.m_pFeature->DoPrintDialog(&device), 2);
    EXPECT_TRUE(device.CompareBlocks(portrait.NamesBlock(), portrait.ModeBlock()));
    accept = true;
    EXPECT_EQ(device.m_pFeature->DoPrintDialog(&device), 1);
    const fw::PrinterSettings landscape = PdfSettings(QPageLayout::Landscape);
    EXPECT_TRUE(device.CompareBlocks(landscape.NamesBlock(), landscape.ModeBlock()));
    EXPECT_EQ(fw::AppPrinterSettings(), landscape) << "the dialog's printer is the application's";
    EXPECT_EQ(device.m_pFeature->DoPrintDialog(nullptr), 0);
    EXPECT_EQ(asked, 2);
}

TEST_F(PrintDeviceTest, ThePrinterContextIsMadeOnceAndAskedForThroughTheDialogOnlyWithoutPrinter) {
    int asked = 0;
    fw::SetPrintDialogHook([&](QPrinter& printer, fw::PrintInfo&, QWidget*) {
        ++asked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(GRID_FEATURES_BUILD_DIR "/print-device.pdf");
        return true;
    });
    CGXPrintDevice device;
    fw::DeviceContext* dc = device.GetPrinterDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_TRUE(dc->IsPrinting());
    EXPECT_EQ(device.GetPrinterDC(), dc);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(device.CompareBlocks({}, {}));
    device.ResetPrinterDC();
    EXPECT_NE(device.GetPrinterDC(), nullptr);
    EXPECT_EQ(asked, 1) << "the device keeps the printer it was given";
}

TEST_F(PrintDeviceTest, WithoutTheComponentEveryOperationDoesNothing) {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    CGXAbstractPrintDeviceImp* installed = state.m_pPrintDeviceImp;
    state.m_pPrintDeviceImp = nullptr;
    CGXPrintDevice device;
    state.m_pPrintDeviceImp = installed;
    device.CreateDevice(Bytes{1}, Bytes{2});
    EXPECT_FALSE(device.CompareBlocks({}, {}));
    EXPECT_EQ(device.GetPrinterDC(), nullptr);
    EXPECT_EQ(Store(device), (Bytes{1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(PrintDeviceTest, CopyingAParameterObjectCopiesItsPrintDevice) {
    auto device = std::make_unique<CGXPrintDevice>();
    device->CreateDevice(Bytes{3, 1}, Bytes{4});
    Param().SetPrintDevice(device.release(), true);
    CGXGridParam copy;
    copy = Param();
    ASSERT_NE(copy.GetPrintDevice(), nullptr);
    EXPECT_NE(copy.GetPrintDevice(), Param().GetPrintDevice());
    EXPECT_TRUE(copy.GetPrintDevice()->CompareBlocks(Bytes{3, 1}, Bytes{4}));
}

}  // namespace
