#include "framework/printing/PrinterSettings.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <algorithm>
#include <cmath>

#include "os/ByteOrder.h"

namespace fw {

namespace {

constexpr std::uint16_t kModeVersion = 1;

// The three zero-ended texts of a names block; nothing when it is not exactly that.
std::optional<std::vector<std::string>> SplitNames(std::span<const std::uint8_t> names) {
    std::vector<std::string> parts;
    std::string cur;
    for (std::uint8_t c : names) {
        if (c == 0) {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += static_cast<char>(c);
        }
    }
    if (!cur.empty() || parts.size() != 3)
        return std::nullopt;
    return parts;
}

}  // namespace

PrinterSettings PrinterSettings::FromPrinter(const QPrinter& printer) {
    PrinterSettings s;
    for (const QString& text :
         {QStringLiteral("ixo"), printer.printerName(), printer.outputFileName()}) {
        QByteArray utf8 = text.toUtf8();
        s.names_.insert(s.names_.end(), utf8.begin(), utf8.end());
        s.names_.push_back(0);
    }
    s.mode_.assign(kModeSize, 0);
    QPageLayout layout = printer.pageLayout();
    QSizeF mm = layout.pageSize().size(QPageSize::Millimeter);  // portrait size of the paper
    os::PutLe16(s.mode_.data(), kModeSize);
    os::PutLe16(s.mode_.data() + 2, kModeVersion);
    s.mode_[4] = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    s.mode_[5] = printer.colorMode() == QPrinter::GrayScale ? 1 : 2;
    os::PutLe16(s.mode_.data() + 6,
                static_cast<std::uint16_t>(std::clamp(printer.copyCount(), 1, 9999)));
    os::PutLe32(s.mode_.data() + 8, static_cast<std::uint32_t>(std::lround(mm.width() * 10)));
    os::PutLe32(s.mode_.data() + 12, static_cast<std::uint32_t>(std::lround(mm.height() * 10)));
    os::PutLe16(s.mode_.data() + 16,
                static_cast<std::uint16_t>(std::clamp(printer.resolution(), 1, 65535)));
    s.mode_[18] = static_cast<std::uint8_t>(printer.duplex());
    s.mode_[19] = printer.collateCopies() ? 1 : 0;
    s.mode_[20] = printer.outputFormat() == QPrinter::PdfFormat ? 1 : 0;
    os::PutLe16(s.mode_.data() + 22, static_cast<std::uint16_t>(layout.pageSize().id()));
    return s;
}

std::optional<PrinterSettings> PrinterSettings::FromBlocks(std::span<const std::uint8_t> names,
                                                           std::span<const std::uint8_t> mode) {
    PrinterSettings s;
    if (names.empty() && mode.empty())
        return s;
    if (names.size() > kMaxNamesSize || !SplitNames(names))
        return std::nullopt;
    if (mode.size() != kModeSize || os::GetLe16(mode.data()) != kModeSize ||
        os::GetLe16(mode.data() + 2) != kModeVersion)
        return std::nullopt;
    bool sane = (mode[4] == 1 || mode[4] == 2) && (mode[5] == 1 || mode[5] == 2) &&
                os::GetLe16(mode.data() + 6) >= 1 && os::GetLe32(mode.data() + 8) > 0 &&
                os::GetLe32(mode.data() + 12) > 0 && os::GetLe32(mode.data() + 8) <= 100000 &&
                os::GetLe32(mode.data() + 12) <= 100000 && os::GetLe16(mode.data() + 16) > 0 &&
                mode[18] <= 3 && mode[19] <= 1 && mode[20] <= 1;
    if (!sane)
        return std::nullopt;
    s.names_.assign(names.begin(), names.end());
    s.mode_.assign(mode.begin(), mode.end());
    return s;
}

std::string PrinterSettings::PrinterName() const {
    auto parts = SplitNames(names_);
    return parts ? (*parts)[1] : std::string();
}

std::string PrinterSettings::OutputFileName() const {
    auto parts = SplitNames(names_);
    return parts ? (*parts)[2] : std::string();
}

void PrinterSettings::ApplyTo(QPrinter& printer) const {
    if (IsEmpty())
        return;
    std::span<const std::uint8_t> m = mode_;
    if (m[20] == 1) {
        printer.setOutputFormat(QPrinter::PdfFormat);
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(QString::fromStdString(PrinterName()));
    }
    printer.setOutputFileName(QString::fromStdString(OutputFileName()));
    printer.setResolution(static_cast<int>(os::GetLe16(m.data() + 16)));
    QPageSize size(QSizeF(os::GetLe32(m.data() + 8) / 10.0, os::GetLe32(m.data() + 12) / 10.0),
                   QPageSize::Millimeter);
    printer.setPageSize(size);
    printer.setPageOrientation(m[4] == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setColorMode(m[5] == 1 ? QPrinter::GrayScale : QPrinter::Color);
    printer.setCopyCount(static_cast<int>(os::GetLe16(m.data() + 6)));
    printer.setDuplex(static_cast<QPrinter::DuplexMode>(m[18]));
    printer.setCollateCopies(m[19] == 1);
}

}  // namespace fw
