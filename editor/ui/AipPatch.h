// The AIP patch of one DMX input port: for each of the 512 DMX channels the EDMX addresses
// (1 to 32767) it feeds, ascending, at most 16 of them; an address is fed by at most one
// channel. Its stored form is the empty text (nothing patched) or exactly 8192 numbers joined
// by ",": 16 slots per channel, channels 1 to 512 in order, each channel's addresses ascending
// and 0 in the slots left over.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

class AipPatch {
public:
    static constexpr int kChannels = 512;
    static constexpr int kSlots = 16;
    static constexpr int kMaxAddress = 32767;

    // What a patch step did, for the status line.
    enum class Result {
        Patched,           // the address now belongs to the channel (it had no other owner)
        Moved,             // the address moved here from `previousOwner`
        Full,              // the channel already holds kSlots addresses; nothing changed
        UnpatchedAddress,  // channel 0: the address belongs to no channel now
        UnpatchedChannel,  // address 0: the channel holds no address now
    };
    struct Outcome {
        Result result = Result::Patched;
        int previousOwner = 0;  // the channel the address belonged to before; 0 for none
    };

    // Patches `edmx` to DMX channel `dmx` (moving it from its previous channel); channel 0
    // unpatches the address, address 0 unpatches the channel. dmx 0..512, edmx 0..32767.
    Outcome Patch(int dmx, int edmx);
    void Clear();

    // Reads a stored text into this patch (adding to what it holds). The empty text adds
    // nothing. Any other text must hold exactly 8192 decimal numbers, each 0 (an empty slot)
    // or 1 to 32767; otherwise nothing changes and the answer is false.
    bool Load(std::string_view text);
    // The stored form: "" when no channel holds an address.
    std::string Format() const;

    const std::vector<uint16_t>& Addresses(int dmx) const { return channels_.at(dmx - 1); }
    // The channel's addresses as its list row shows them: "5, 7, 513".
    std::string RowText(int dmx) const;
    // The channel that feeds the address; 0 for none.
    int OwnerOf(int edmx) const;
    // Channels that hold no address.
    int FreeChannels() const;

private:
    std::array<std::vector<uint16_t>, kChannels> channels_;
    std::map<uint16_t, uint16_t> owners_;
};

}  // namespace tessaly
