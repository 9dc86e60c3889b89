#include "editor/ui/NodeGridRules.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "editor/document/IPAddress.h"
#include "editor/document/PropertyType.h"

namespace tessaly {
namespace {

struct Bounds {
    int64_t low;
    int64_t high;
};

std::optional<Bounds> TypeBounds(uint32_t type) {
    switch (type) {
        case PROPERTY_UI1:
            return Bounds{0, 255};
        case PROPERTY_UI2:
            return Bounds{0, 65535};
        case PROPERTY_UI4:
            return Bounds{0, 4294967295LL};
        case PROPERTY_I1:
            return Bounds{-128, 127};
        case PROPERTY_I2:
            return Bounds{-32768, 32767};
        case PROPERTY_I4:
            return Bounds{std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
        case PROPERTY_TIME_MS:
            return Bounds{0, 4294967295LL / 1000};
        default:
            return std::nullopt;
    }
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// A whole decimal integer (optional sign); nullopt for anything else or one too long.
std::optional<int64_t> ParseInteger(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    int64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string Text(int64_t value) {
    return std::to_string(std::max<int64_t>(value, 0));
}

}  // namespace

uint32_t ReadUnsigned(std::string_view text) {
    text = Trim(text);
    uint64_t value = 0;
    size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<uint64_t>(text[i] - '0');
        if (value > 0xFFFFFFFFULL)
            return 0xFFFFFFFFU;
    }
    return static_cast<uint32_t>(value);
}

CellTextError CheckCellText(const ColumnRule& column, std::string_view text) {
    if (!column.enumItems.empty())
        return EnumValueText(column, text) ? CellTextError::None : CellTextError::NotInList;
    switch (column.type) {
        case PROPERTY_BOOLEAN: {
            std::string_view t = Trim(text);
            return t.empty() || t == "0" || t == "1" ? CellTextError::None
                                                     : CellTextError::NotAFlag;
        }
        case PROPERTY_IPV4:
            return CIPAddress::Parse(text).error == IpParseError::None ? CellTextError::None
                                                                       : CellTextError::BadAddress;
        case PROPERTY_STRING:
        case PROPERTY_MAC:
        case PROPERTY_VERSTR:
        case PROPERTY_VERNUMSTR:
            return text.size() <= column.maxLength ? CellTextError::None : CellTextError::TooLong;
        default:
            break;
    }
    std::optional<Bounds> bounds = TypeBounds(column.type);
    if (!bounds)
        return CellTextError::None;
    std::optional<int64_t> value = ParseInteger(text);
    if (!value)
        return CellTextError::NotANumber;
    int64_t low = column.minimum;
    int64_t high = column.maximum;
    if (column.type == PROPERTY_TIME_MS) {
        low /= 1000;
        high = high < 0 ? high : high / 1000;
    }
    if (*value < bounds->low || *value > bounds->high || *value < low)
        return CellTextError::OutOfRange;
    if (column.maximum >= column.minimum && *value > high)
        return CellTextError::OutOfRange;
    return CellTextError::None;
}

std::optional<std::string> EnumValueText(const ColumnRule& column, std::string_view text) {
    std::string_view t = Trim(text);
    for (const auto& [name, value] : column.enumItems) {
        if (t == name)
            return std::to_string(value);
    }
    if (std::optional<int64_t> number = ParseInteger(t)) {
        for (const auto& item : column.enumItems) {
            if (static_cast<int64_t>(item.second) == *number)
                return std::to_string(item.second);
        }
    }
    return std::nullopt;
}

std::optional<DocumentText> ConvertForDocument(uint32_t type, std::string_view text) {
    switch (type) {
        case PROPERTY_NONE:
            return std::nullopt;
        case PROPERTY_TIME_MS: {
            uint64_t ms = static_cast<uint64_t>(ReadUnsigned(text)) * 1000;
            return DocumentText{std::to_string(ms), std::string(text)};
        }
        case PROPERTY_IPV4: {
            CIPAddress address;
            if (!address.SetText(text))
                return std::nullopt;
            return DocumentText{address.GetString(), address.GetString()};
        }
        default:
            return DocumentText{std::string(text), std::string(text)};
    }
}

std::string MillisecondsToSecondsText(std::string_view documentText) {
    return std::to_string(ReadUnsigned(documentText) / 1000);
}

PortRole PortRoleOf(std::string_view segment, bool inputPort) {
    if (segment == "EDMX_Start")
        return PortRole::EdmxStart;
    if (segment == "EDMX_End")
        return PortRole::EdmxEnd;
    if (segment == "EDMX_Channels")
        return PortRole::EdmxChannels;
    if (segment == "DD")
        return PortRole::DimmerDoubling;
    if (segment == "DD_EDMX_Start")
        return PortRole::DdEdmxStart;
    if (segment == "DD_EDMX_End")
        return PortRole::DdEdmxEnd;
    if (segment == "vPort")
        return PortRole::VPort;
    if (inputPort) {
        if (segment == "DMX_Start")
            return PortRole::DmxStart;
        if (segment == "AIP" || segment == "HLLF" || segment == "HLL_Time" ||
            segment == "Port_Priority" || segment == "Line_Termination")
            return PortRole::InputSetting;
    }
    return PortRole::None;
}

std::vector<RoleWrite> ApplyPortRangeRule(PortRole edited, std::string_view newText,
                                          const PortValues& row, bool hasDmxStart) {
    std::vector<RoleWrite> writes;
    switch (edited) {
        case PortRole::DmxStart:
        case PortRole::EdmxStart:
        case PortRole::EdmxChannels:
        case PortRole::DimmerDoubling:
        case PortRole::DdEdmxStart:
        case PortRole::DdEdmxEnd:
            writes.push_back({PortRole::VPort, "0"});
            break;
        case PortRole::EdmxEnd:
            break;
        default:
            return writes;  // the vPort (filled afterwards) and columns of no role
    }
    const int64_t newValue = ReadUnsigned(newText);
    const int64_t top = kMaxEdmxAddress;
    if (edited == PortRole::DdEdmxStart) {
        writes.push_back({PortRole::DdEdmxEnd, Text(std::min(newValue + 255, top))});
        return writes;
    }
    int64_t start = row.edmxStart;
    int64_t count = row.channels;
    int64_t dmx = hasDmxStart ? row.dmxStart : 0;
    switch (edited) {
        case PortRole::DimmerDoubling:
            if (Trim(newText) == "1") {
                count = 256;
                // A port near the top of the EDMX space would double past its end.
                writes.push_back({PortRole::DdEdmxStart, Text(std::min(start + 256, top))});
                writes.push_back({PortRole::DdEdmxEnd, Text(std::min(start + 511, top))});
            } else {
                count = 512;
            }
            break;
        case PortRole::EdmxStart:
            start = newValue;
            break;
        case PortRole::EdmxChannels:
            count = newValue;
            if (hasDmxStart) {
                if (dmx != 0 && dmx >= 513 - count)
                    dmx = std::max<int64_t>(513 - count, 1);
                writes.push_back({PortRole::DmxStart, Text(dmx)});
            }
            break;
        case PortRole::DmxStart:
            if (count >= 513 - newValue)
                count = std::max<int64_t>(513 - newValue, 0);
            break;
        default:
            break;
    }
    if (count >= top + 1 - start)
        count = std::max<int64_t>(top + 1 - start, 0);
    writes.push_back({PortRole::EdmxEnd, Text(std::min(start + count - 1, top))});
    writes.push_back({PortRole::EdmxChannels, Text(count)});
    return writes;
}

bool PortCellApplies(PortColumnKind kind, bool output, bool aip) {
    switch (kind) {
        case PortColumnKind::Output:
            return output;
        case PortColumnKind::AipCell:
        case PortColumnKind::InputSetting:
            return !output;
        case PortColumnKind::OtherInput:
            return !output && !aip;
    }
    return false;
}

}  // namespace tessaly
