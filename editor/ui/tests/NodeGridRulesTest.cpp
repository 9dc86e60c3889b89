// The node grid's editing rules as tables: the EDMX range arithmetic of port rows, the
// checks a typed or pasted text passes before it reaches the document, and the conversion
// into the document's form. Expected values are worked out by hand from the rules.
#include "editor/ui/NodeGridRules.h"

#include <gtest/gtest.h>

#include "editor/document/PropertyType.h"

namespace tessaly {
namespace {

using W = RoleWrite;
using R = PortRole;

struct RangeCase {
    const char* name;
    PortRole edited;
    const char* text;
    PortValues row;  // after the edited cell took the text
    bool input;
    std::vector<RoleWrite> writes;
};

class PortRangeRule : public testing::TestWithParam<RangeCase> {};

TEST_P(PortRangeRule, WritesTheDependentCells) {
    const RangeCase& c = GetParam();
    EXPECT_EQ(ApplyPortRangeRule(c.edited, c.text, c.row, c.input), c.writes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PortRangeRule,
    testing::Values(
        // A start near the top: the count shrinks so that the end is 32767.
        RangeCase{"StartNearTopShrinksCount",
                  R::EdmxStart,
                  "32500",
                  {32500, 512, 0},
                  false,
                  {{R::VPort, "0"}, {R::EdmxEnd, "32767"}, {R::EdmxChannels, "268"}}},
        RangeCase{"StartMovesEnd",
                  R::EdmxStart,
                  "1025",
                  {1025, 512, 1},
                  true,
                  {{R::VPort, "0"}, {R::EdmxEnd, "1536"}, {R::EdmxChannels, "512"}}},
        // DMX start 300 leaves 213 channels of the universe.
        RangeCase{"DmxStartLimitsCount",
                  R::DmxStart,
                  "300",
                  {1, 512, 300},
                  true,
                  {{R::VPort, "0"}, {R::EdmxEnd, "213"}, {R::EdmxChannels, "213"}}},
        // Then 400 channels move the DMX start down to 113.
        RangeCase{
            "CountMovesDmxStart",
            R::EdmxChannels,
            "400",
            {1, 400, 300},
            true,
            {{R::VPort, "0"}, {R::DmxStart, "113"}, {R::EdmxEnd, "400"}, {R::EdmxChannels, "400"}}},
        RangeCase{
            "CountKeepsDmxStartThatFits",
            R::EdmxChannels,
            "100",
            {1, 100, 5},
            true,
            {{R::VPort, "0"}, {R::DmxStart, "5"}, {R::EdmxEnd, "100"}, {R::EdmxChannels, "100"}}},
        RangeCase{"CountOnOutputHasNoDmxStart",
                  R::EdmxChannels,
                  "100",
                  {513, 100, 0},
                  false,
                  {{R::VPort, "0"}, {R::EdmxEnd, "612"}, {R::EdmxChannels, "100"}}},
        RangeCase{"DoublingOn",
                  R::DimmerDoubling,
                  "1",
                  {1, 512, 1},
                  true,
                  {{R::VPort, "0"},
                   {R::DdEdmxStart, "257"},
                   {R::DdEdmxEnd, "512"},
                   {R::EdmxEnd, "256"},
                   {R::EdmxChannels, "256"}}},
        RangeCase{"DoublingOff",
                  R::DimmerDoubling,
                  "0",
                  {1, 256, 1},
                  true,
                  {{R::VPort, "0"}, {R::EdmxEnd, "512"}, {R::EdmxChannels, "512"}}},
        // Doubling near the top: the doubled range is clamped to the last address.
        RangeCase{"DoublingNearTopClamped",
                  R::DimmerDoubling,
                  "1",
                  {32600, 168, 0},
                  false,
                  {{R::VPort, "0"},
                   {R::DdEdmxStart, "32767"},
                   {R::DdEdmxEnd, "32767"},
                   {R::EdmxEnd, "32767"},
                   {R::EdmxChannels, "168"}}},
        RangeCase{"DoubledStartSetsDoubledEnd",
                  R::DdEdmxStart,
                  "1000",
                  {1, 256, 1},
                  true,
                  {{R::VPort, "0"}, {R::DdEdmxEnd, "1255"}}},
        RangeCase{"DoubledEndClamped",
                  R::DdEdmxStart,
                  "32600",
                  {1, 256, 1},
                  true,
                  {{R::VPort, "0"}, {R::DdEdmxEnd, "32767"}}},
        // An end typed by hand is replaced by start + count - 1, the vPort kept.
        RangeCase{"EndTypedIsReplaced",
                  R::EdmxEnd,
                  "9999",
                  {513, 512, 0},
                  false,
                  {{R::EdmxEnd, "1024"}, {R::EdmxChannels, "512"}}},
        RangeCase{"DoubledEndEditedLeavesVPort",
                  R::DdEdmxEnd,
                  "700",
                  {1, 256, 1},
                  true,
                  {{R::VPort, "0"}, {R::EdmxEnd, "256"}, {R::EdmxChannels, "256"}}},
        RangeCase{"VPortIsTheFillsBusiness", R::VPort, "3", {1, 512, 1}, true, {}},
        RangeCase{"InputSettingHasNoRule", R::InputSetting, "1", {1, 512, 1}, true, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PortRoles, FromTheLastPathSegment) {
    struct {
        const char* segment;
        bool input;
        PortRole role;
    } cases[] = {
        {"DMX_Start", true, R::DmxStart},
        {"DMX_Start", false, R::None},
        {"EDMX_Start", false, R::EdmxStart},
        {"EDMX_End", true, R::EdmxEnd},
        {"EDMX_Channels", true, R::EdmxChannels},
        {"DD", false, R::DimmerDoubling},
        {"DD_EDMX_Start", true, R::DdEdmxStart},
        {"DD_EDMX_End", false, R::DdEdmxEnd},
        {"vPort", false, R::VPort},
        {"AIP", true, R::InputSetting},
        {"HLL_Time", true, R::InputSetting},
        {"AIP", false, R::None},
        {"Name", true, R::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PortRoleOf(c.segment, c.input), c.role) << c.segment << " " << c.input;
}

struct TextCase {
    const char* name;
    ColumnRule column;
    const char* text;
    CellTextError expected;
};

class CellText : public testing::TestWithParam<TextCase> {};

TEST_P(CellText, IsCheckedAgainstTheColumn) {
    EXPECT_EQ(CheckCellText(GetParam().column, GetParam().text), GetParam().expected);
}

const ColumnRule kEdmxStart{PROPERTY_UI2, 1, 32767, 40, {}};
const ColumnRule kChannels{PROPERTY_UI2, 1, 512, 40, {}};
const ColumnRule kByte{PROPERTY_UI1, 0, -1, 40, {}};
const ColumnRule kSigned{PROPERTY_I1, -10, 10, 40, {}};
const ColumnRule kSeconds{PROPERTY_TIME_MS, 1000, 60000, 40, {}};
const ColumnRule kFlag{PROPERTY_BOOLEAN, 0, -1, 40, {}};
const ColumnRule kAddress{PROPERTY_IPV4, 0, -1, 40, {}};
const ColumnRule kName{PROPERTY_STRING, 0, -1, 8, {}};
const ColumnRule kMode{PROPERTY_UI1, 0, -1, 40, {{"Off", 0}, {"Merge_HTP", 1}, {"Backup", 4}}};

INSTANTIATE_TEST_SUITE_P(
    Table, CellText,
    testing::Values(TextCase{"EdmxStartInRange", kEdmxStart, "32767", CellTextError::None},
                    TextCase{"EdmxStartZero", kEdmxStart, "0", CellTextError::OutOfRange},
                    TextCase{"EdmxStartPastTop", kEdmxStart, "32768", CellTextError::OutOfRange},
                    TextCase{"EdmxStartText", kEdmxStart, "abc", CellTextError::NotANumber},
                    TextCase{"EdmxStartTrailing", kEdmxStart, "12x", CellTextError::NotANumber},
                    TextCase{"EdmxStartEmpty", kEdmxStart, "", CellTextError::NotANumber},
                    TextCase{"ChannelsPastUniverse", kChannels, "513", CellTextError::OutOfRange},
                    TextCase{"ChannelsNegative", kChannels, "-1", CellTextError::OutOfRange},
                    TextCase{"ChannelsBlanks", kChannels, " 512 ", CellTextError::None},
                    // Without a maximum in the template the type's own range holds.
                    TextCase{"ByteTypeRange", kByte, "255", CellTextError::None},
                    TextCase{"BytePastType", kByte, "256", CellTextError::OutOfRange},
                    TextCase{"SignedLow", kSigned, "-10", CellTextError::None},
                    TextCase{"SignedPastLow", kSigned, "-11", CellTextError::OutOfRange},
                    TextCase{"HugeNumber", kByte, "99999999999999999999",
                             CellTextError::NotANumber},
                    // time_ms cells hold seconds: the template's milliseconds divided by 1000.
                    TextCase{"SecondsInRange", kSeconds, "60", CellTextError::None},
                    TextCase{"SecondsPastMax", kSeconds, "61", CellTextError::OutOfRange},
                    TextCase{"SecondsBelowMin", kSeconds, "0", CellTextError::OutOfRange},
                    TextCase{"FlagOne", kFlag, "1", CellTextError::None},
                    TextCase{"FlagEmpty", kFlag, "", CellTextError::None},
                    TextCase{"FlagTwo", kFlag, "2", CellTextError::NotAFlag},
                    TextCase{"FlagWord", kFlag, "yes", CellTextError::NotAFlag},
                    TextCase{"Address", kAddress, "10.0.0.1", CellTextError::None},
                    TextCase{"AddressOctet", kAddress, "10.0.0.256", CellTextError::BadAddress},
                    TextCase{"AddressShort", kAddress, "10.0.1", CellTextError::BadAddress},
                    TextCase{"NameFits", kName, "12345678", CellTextError::None},
                    TextCase{"NameTooLong", kName, "123456789", CellTextError::TooLong},
                    TextCase{"EnumByValue", kMode, "4", CellTextError::None},
                    TextCase{"EnumByName", kMode, "Merge_HTP", CellTextError::None},
                    TextCase{"EnumUnknownValue", kMode, "2", CellTextError::NotInList},
                    TextCase{"EnumUnknownName", kMode, "LTP", CellTextError::NotInList}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EnumValue, NamesAndValuesBecomeTheStoredValue) {
    EXPECT_EQ(EnumValueText(kMode, "Backup"), "4");
    EXPECT_EQ(EnumValueText(kMode, "1"), "1");
    EXPECT_EQ(EnumValueText(kMode, "7"), std::nullopt);
}

TEST(DocumentConversion, ByColumnType) {
    // Seconds typed, milliseconds stored; the cell keeps the seconds.
    auto seconds = ConvertForDocument(PROPERTY_TIME_MS, "3");
    ASSERT_TRUE(seconds);
    EXPECT_EQ(seconds->document, "3000");
    EXPECT_EQ(seconds->cell, "3");
    // An address is stored and shown in its own dotted form.
    auto address = ConvertForDocument(PROPERTY_IPV4, "10.1.0.99");
    ASSERT_TRUE(address);
    EXPECT_EQ(address->document, "010.001.000.099");
    EXPECT_EQ(address->cell, "010.001.000.099");
    EXPECT_FALSE(ConvertForDocument(PROPERTY_IPV4, "10.1.0"));
    // A property without a type is not written.
    EXPECT_FALSE(ConvertForDocument(PROPERTY_NONE, "5"));
    auto text = ConvertForDocument(PROPERTY_STRING, "Stage left");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->document, "Stage left");
    EXPECT_EQ(MillisecondsToSecondsText("2500"), "2");
}

TEST(PortColouring, ByDirectionAndAip) {
    using K = PortColumnKind;
    struct {
        K kind;
        bool output, aip, applies;
    } cases[] = {
        {K::AipCell, false, false, true},     {K::AipCell, true, false, false},
        {K::Output, false, false, false},     {K::Output, true, true, true},
        {K::InputSetting, false, true, true}, {K::InputSetting, true, false, false},
        {K::OtherInput, false, false, true},  {K::OtherInput, false, true, false},
        {K::OtherInput, true, false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PortCellApplies(c.kind, c.output, c.aip), c.applies)
            << static_cast<int>(c.kind) << c.output << c.aip;
}

}  // namespace
}  // namespace tessaly
