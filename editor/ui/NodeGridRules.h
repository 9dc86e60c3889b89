// The node grid's editing rules without the grid: what a typed or pasted text must be to
// reach the document, how a text is turned into the document's form, the EDMX range
// arithmetic of a port row, and which port cells apply to a port's direction. The grid
// view (CTessalyView) reads its cells, calls these and writes back what they answer, so
// each rule is tested as a table here, whatever the cell controls look like.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaly {

// What a node grid column holds, as far as the rules need it.
struct ColumnRule {
    uint32_t type = 0;  // PropertyType code (0: a property without a type)
    int32_t minimum = 0;
    int32_t maximum = -1;  // below minimum: no bound of the template's own
    uint16_t maxLength = 40;
    // The enumeration's items (name, value) when the column shows a list.
    std::vector<std::pair<std::string, uint32_t>> enumItems;
};

// Why a text was refused, so a message can say so.
enum class CellTextError : uint8_t {
    None,
    NotANumber,  // a numeric column given something else
    OutOfRange,  // below the minimum, above the maximum, or outside the type's own range
    BadAddress,  // an IPv4 column given a text that is no address
    TooLong,     // longer than the column's maximum length
    NotInList,   // an enumeration column given neither an item's name nor its value
    NotAFlag,    // a check box given something other than "0", "1" or ""
};

// Checks a text for a cell of the column as it would arrive from typing or a paste. Numeric
// columns take a decimal integer inside both the type's range and the template's bounds
// (time_ms columns show seconds: bounds divided by 1000). Read-only and float columns take
// anything (the grid does not offer them for editing).
CellTextError CheckCellText(const ColumnRule& column, std::string_view text);

// A pasted enumeration text as the column stores it: an item's value as "%u", given the
// value or the item's name. Nullopt when the text names no item.
std::optional<std::string> EnumValueText(const ColumnRule& column, std::string_view text);

// The text for the document and the text the cell keeps after a successful write.
struct DocumentText {
    std::string document;
    std::string cell;
};
// time_ms: seconds typed, milliseconds stored ("%lu" of seconds * 1000); IPv4: the
// address's own dotted form in both; other types unchanged. Nullopt when the text cannot be
// written (no type, or an IPv4 text that is no address).
std::optional<DocumentText> ConvertForDocument(uint32_t type, std::string_view text);

// A time_ms value of the document as the cell shows it: whole seconds.
std::string MillisecondsToSecondsText(std::string_view documentText);

// ---- Port rows --------------------------------------------------------------------------

enum class PortRole : uint8_t {
    None,
    DmxStart,
    EdmxStart,
    EdmxEnd,
    EdmxChannels,
    DimmerDoubling,
    DdEdmxStart,
    DdEdmxEnd,
    VPort,
    InputSetting,  // AIP, HLLF, HLL_Time, Port_Priority, Line_Termination (input ports only)
};

// The role of a port column from the last segment of its path; input ports have a DMX start
// and the input settings, output ports neither.
PortRole PortRoleOf(std::string_view lastSegment, bool inputPort);

// The highest EDMX address; no EDMX end (plain or doubled) is written above it.
inline constexpr uint32_t kMaxEdmxAddress = 32767;

// The row's values the range rule reads (unsigned decimal texts of its cells).
struct PortValues {
    uint32_t edmxStart = 0;
    uint32_t channels = 0;
    uint32_t dmxStart = 0;  // 0 when the port kind has no DMX start
};

struct RoleWrite {
    PortRole role;
    std::string text;
    bool operator==(const RoleWrite&) const = default;
};

// The cells the range rule writes after the cell of `edited` took `newText`, in order.
std::vector<RoleWrite> ApplyPortRangeRule(PortRole edited, std::string_view newText,
                                          const PortValues& row, bool hasDmxStart);

// Reads a cell text as the rules do: an unsigned decimal number, 0 when it is none.
uint32_t ReadUnsigned(std::string_view text);

// Whether a port cell is editable (white) or does not apply (grey) for the port's direction.
enum class PortColumnKind : uint8_t { AipCell, Output, InputSetting, OtherInput };
bool PortCellApplies(PortColumnKind kind, bool output, bool aip);

}  // namespace tessaly
