#include "editor/ui/AipPatch.h"

#include <algorithm>
#include <charconv>

namespace tessaly {

AipPatch::Outcome AipPatch::Patch(int dmx, int edmx) {
    Outcome outcome;
    if (dmx != 0 && edmx != 0 && channels_.at(dmx - 1).size() >= kSlots) {
        outcome.result = Result::Full;
        return outcome;
    }
    if (auto owner = owners_.find(static_cast<uint16_t>(edmx)); owner != owners_.end()) {
        outcome.previousOwner = owner->second;
        auto& list = channels_.at(owner->second - 1);
        list.erase(std::remove(list.begin(), list.end(), owner->first), list.end());
        owners_.erase(owner);
    }
    if (dmx == 0) {
        outcome.result = Result::UnpatchedAddress;
        return outcome;
    }
    auto& list = channels_.at(dmx - 1);
    if (edmx == 0) {
        for (uint16_t address : list) owners_.erase(address);
        list.clear();
        outcome.result = Result::UnpatchedChannel;
        return outcome;
    }
    outcome.result = outcome.previousOwner != 0 && outcome.previousOwner != dmx ? Result::Moved
                                                                                : Result::Patched;
    owners_[static_cast<uint16_t>(edmx)] = static_cast<uint16_t>(dmx);
    list.push_back(static_cast<uint16_t>(edmx));
    std::sort(list.begin(), list.end());
    return outcome;
}

void AipPatch::Clear() {
    for (auto& list : channels_) list.clear();
    owners_.clear();
}

bool AipPatch::Load(std::string_view text) {
    if (text.empty())
        return true;
    std::vector<uint16_t> numbers;
    numbers.reserve(kChannels * kSlots);
    for (size_t pos = 0;;) {
        const size_t comma = std::min(text.find(',', pos), text.size());
        const std::string_view piece = text.substr(pos, comma - pos);
        int value = -1;
        const auto [end, error] = std::from_chars(piece.data(), piece.data() + piece.size(), value);
        if (piece.empty() || piece.size() > 5 || error != std::errc() ||
            end != piece.data() + piece.size() || piece.front() == '-' || value > kMaxAddress ||
            numbers.size() == kChannels * kSlots)
            return false;
        numbers.push_back(static_cast<uint16_t>(value));
        if (comma == text.size())
            break;
        pos = comma + 1;
    }
    if (numbers.size() != kChannels * kSlots)
        return false;
    for (int c = 0; c < kChannels; ++c) {
        for (int k = 0; k < kSlots; ++k) {
            if (const uint16_t address = numbers[static_cast<size_t>(c * kSlots + k)])
                Patch(c + 1, address);
        }
    }
    return true;
}

std::string AipPatch::Format() const {
    if (owners_.empty())
        return {};
    std::string text;
    text.reserve(kChannels * kSlots * 3);
    for (const auto& list : channels_) {
        for (int k = 0; k < kSlots; ++k) {
            if (!text.empty())
                text += ',';
            text += std::to_string(k < static_cast<int>(list.size()) ? list[k] : 0);
        }
    }
    return text;
}

std::string AipPatch::RowText(int dmx) const {
    std::string text;
    for (uint16_t address : Addresses(dmx)) {
        if (!text.empty())
            text += ", ";
        text += std::to_string(address);
    }
    return text;
}

int AipPatch::OwnerOf(int edmx) const {
    const auto owner = owners_.find(static_cast<uint16_t>(edmx));
    return owner == owners_.end() ? 0 : owner->second;
}

int AipPatch::FreeChannels() const {
    return static_cast<int>(
        std::count_if(channels_.begin(), channels_.end(), [](const auto& l) { return l.empty(); }));
}

}  // namespace tessaly
