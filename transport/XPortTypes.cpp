#include "transport/XPortTypes.h"

std::vector<std::uint8_t> XPortGather(const XPortBuffer* chain) {
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(XPortChainLength(chain)));
    for (const XPortBuffer* b = chain; b != nullptr; b = b->next) {
        if (b->length > 0)
            out.insert(out.end(), b->data, b->data + b->length);
    }
    return out;
}

std::uint64_t XPortChainLength(const XPortBuffer* chain) {
    std::uint64_t total = 0;
    for (const XPortBuffer* b = chain; b != nullptr; b = b->next) total += b->length;
    return total;
}
