#include "framework/printing/PrinterSettings.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace fw {

namespace {

constexpr std::uint16_t kModeVersion = 1;

void Put16(std::vector<std::uint8_t>& b, std::size_t at, unsigned v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
unsigned Get16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<unsigned>(b[at] | (b[at + 1] << 8));
}
std::uint32_t Get32(std::span<const std::uint8_t> b, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);
    return v;
}

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
    Put16(s.mode_, 0, kModeSize);
    Put16(s.mode_, 2, kModeVersion);
    s.mode_[4] = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    s.mode_[5] = printer.colorMode() == QPrinter::GrayScale ? 1 : 2;
    Put16(s.mode_, 6, static_cast<unsigned>(std::clamp(printer.copyCount(), 1, 9999)));
    Put32(s.mode_, 8, static_cast<std::uint32_t>(std::lround(mm.width() * 10)));
    Put32(s.mode_, 12, static_cast<std::uint32_t>(std::lround(mm.height() * 10)));
    Put16(s.mode_, 16, static_cast<unsigned>(std::clamp(printer.resolution(), 1, 65535)));
    s.mode_[18] = static_cast<std::uint8_t>(printer.duplex());
    s.mode_[19] = printer.collateCopies() ? 1 : 0;
    s.mode_[20] = printer.outputFormat() == QPrinter::PdfFormat ? 1 : 0;
    Put16(s.mode_, 22, static_cast<unsigned>(layout.pageSize().id()));
    return s;
}

std::optional<PrinterSettings> PrinterSettings::FromBlocks(std::span<const std::uint8_t> names,
                                                           std::span<const std::uint8_t> mode) {
    PrinterSettings s;
    if (names.empty() && mode.empty())
        return s;
    if (names.size() > kMaxNamesSize || !SplitNames(names))
        return std::nullopt;
    if (mode.size() != kModeSize || Get16(mode, 0) != kModeSize || Get16(mode, 2) != kModeVersion)
        return std::nullopt;
    bool sane = (mode[4] == 1 || mode[4] == 2) && (mode[5] == 1 || mode[5] == 2) &&
                Get16(mode, 6) >= 1 && Get32(mode, 8) > 0 && Get32(mode, 12) > 0 &&
                Get32(mode, 8) <= 100000 && Get32(mode, 12) <= 100000 && Get16(mode, 16) > 0 &&
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
    printer.setResolution(static_cast<int>(Get16(m, 16)));
    QPageSize size(QSizeF(Get32(m, 8) / 10.0, Get32(m, 12) / 10.0), QPageSize::Millimeter);
    printer.setPageSize(size);
    printer.setPageOrientation(m[4] == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setColorMode(m[5] == 1 ? QPrinter::GrayScale : QPrinter::Color);
    printer.setCopyCount(static_cast<int>(Get16(m, 6)));
    printer.setDuplex(static_cast<QPrinter::DuplexMode>(m[18]));
    printer.setCollateCopies(m[19] == 1);
}

}  // namespace fw
