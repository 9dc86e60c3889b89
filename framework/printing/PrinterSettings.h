// The printer a document prints on, with its settings, as an opaque record: two byte blocks
// that can be compared, copied and saved (in an archive or the profile) and applied to a
// QPrinter again.
//
// Names block: three UTF-8 texts, each ended by a zero byte: the driver ("ixo"), the printer
// name (empty: print to a PDF file) and the output file name.
// Mode block, little-endian, 28 bytes:
//   0 u16 block size (28)     2 u16 version (1)
//   4 u8  orientation (1 portrait, 2 landscape)
//   5 u8  colour (1 black and white, 2 colour)
//   6 u16 copies
//   8 u32 paper width, 12 u32 paper height, in tenths of a millimetre
//  16 u16 resolution in dots per inch
//  18 u8  duplex (0 none, 1 long side, 2 short side, 3 printer's choice)
//  19 u8  collate (0, 1)
//  20 u8  output (0 the printer, 1 a PDF file)
//  21 u8  0
//  22 u16 the paper size's number (QPageSize::PageSizeId; informative)
//  24 u32 0
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

class QPrinter;

namespace fw {

class PrinterSettings {
public:
    static constexpr std::size_t kModeSize = 28;
    static constexpr std::size_t kMaxNamesSize = 4096;

    PrinterSettings() = default;
    // The settings a printer has now.
    static PrinterSettings FromPrinter(const QPrinter& printer);
    // Settings from stored blocks; nothing when a block is malformed (both empty: no printer).
    static std::optional<PrinterSettings> FromBlocks(std::span<const std::uint8_t> names,
                                                     std::span<const std::uint8_t> mode);

    // No printer chosen yet.
    bool IsEmpty() const { return names_.empty() && mode_.empty(); }
    const std::vector<std::uint8_t>& NamesBlock() const { return names_; }
    const std::vector<std::uint8_t>& ModeBlock() const { return mode_; }
    // The same printer with the same settings: both blocks equal byte for byte.
    friend bool operator==(const PrinterSettings&, const PrinterSettings&) = default;

    // Sets the printer up so; nothing for empty settings.
    void ApplyTo(QPrinter& printer) const;

    std::string PrinterName() const;
    std::string OutputFileName() const;

private:
    std::vector<std::uint8_t> names_;
    std::vector<std::uint8_t> mode_;
};

}  // namespace fw
