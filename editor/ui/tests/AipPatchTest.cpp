// The AIP patch of one port: its stored form worked out by hand (16 slots per channel, 0 in
// the unused ones), the strict reading of stored texts, moving an address between channels
// and the 16-address limit of a channel.
#include <gtest/gtest.h>

#include "editor/ui/AipPatch.h"

namespace tessaly {
namespace {

// The stored text with `first` in channel 1's first slot and 0 everywhere else.
std::string StoredWithFirst(const std::string& first, int count = 8192) {
    std::string text = first;
    for (int i = 1; i < count; ++i) text += ",0";
    return text;
}

TEST(AipPatch, FormatsSixteenSlotsPerChannel) {
    AipPatch patch;
    EXPECT_EQ(patch.Format(), "");
    patch.Patch(1, 5);
    EXPECT_EQ(patch.Format(), StoredWithFirst("5"));

    // Channel 2 gets 600 then 7: stored ascending in channel 2's slots 17 and 18; channel
    // 512's one address sits in the first of the last 16 slots.
    patch.Patch(2, 600);
    patch.Patch(2, 7);
    patch.Patch(512, 32767);
    const std::string text = patch.Format();
    std::vector<std::string> pieces;
    for (size_t pos = 0, comma = 0; comma != std::string::npos; pos = comma + 1) {
        comma = text.find(',', pos);
        pieces.push_back(text.substr(pos, comma - pos));
    }
    ASSERT_EQ(pieces.size(), 8192u);
    EXPECT_EQ(pieces[0], "5");
    EXPECT_EQ(pieces[16], "7");
    EXPECT_EQ(pieces[17], "600");
    EXPECT_EQ(pieces[18], "0");
    EXPECT_EQ(pieces[8176], "32767");
    EXPECT_EQ(pieces[8191], "0");
    EXPECT_EQ(patch.RowText(2), "7, 600");
    EXPECT_EQ(patch.FreeChannels(), 509);

    AipPatch reread;
    ASSERT_TRUE(reread.Load(text));
    EXPECT_EQ(reread.Format(), text);
}

TEST(AipPatch, ReadsOnlyWellFormedStoredTexts) {
    const std::pair<std::string, bool> cases[] = {
        {"", true},
        {StoredWithFirst("0"), true},
        {StoredWithFirst("32767"), true},
        {StoredWithFirst("32768"), false},
        {StoredWithFirst("65535"), false},
        {StoredWithFirst("-1"), false},
        {StoredWithFirst("5", 8191), false},
        {StoredWithFirst("5", 8193), false},
        {StoredWithFirst("5") + ",", false},
        {StoredWithFirst("5x"), false},
        {StoredWithFirst(" 5"), false},
        {StoredWithFirst(""), false},
        {"1,2,3", false},
    };
    for (const auto& [text, valid] : cases) {
        AipPatch patch;
        patch.Patch(3, 77);
        EXPECT_EQ(patch.Load(text), valid) << text.substr(0, 12);
        // A refused text changes nothing; a read one adds to what was there.
        EXPECT_EQ(patch.OwnerOf(77), 3) << text.substr(0, 12);
    }
}

TEST(AipPatch, MovesUnpatchesAndLimitsAChannel) {
    AipPatch patch;
    EXPECT_EQ(patch.Patch(1, 100).result, AipPatch::Result::Patched);
    const AipPatch::Outcome moved = patch.Patch(2, 100);
    EXPECT_EQ(moved.result, AipPatch::Result::Moved);
    EXPECT_EQ(moved.previousOwner, 1);
    EXPECT_EQ(patch.RowText(1), "");
    EXPECT_EQ(patch.OwnerOf(100), 2);
    EXPECT_EQ(patch.Patch(2, 100).result, AipPatch::Result::Patched);  // to its own channel

    for (int e = 1; e <= 15; ++e) patch.Patch(2, 1000 - e);
    EXPECT_EQ(patch.Addresses(2).size(), 16u);
    EXPECT_EQ(patch.Patch(2, 5).result, AipPatch::Result::Full);
    EXPECT_EQ(patch.OwnerOf(5), 0);

    EXPECT_EQ(patch.Patch(0, 100).result, AipPatch::Result::UnpatchedAddress);
    EXPECT_EQ(patch.OwnerOf(100), 0);
    EXPECT_EQ(patch.Patch(2, 0).result, AipPatch::Result::UnpatchedChannel);
    EXPECT_EQ(patch.OwnerOf(999), 0);
    EXPECT_EQ(patch.Format(), "");
}

}  // namespace
}  // namespace tessaly
