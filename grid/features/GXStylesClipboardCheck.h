// The styles clipboard reader over raw bytes, with nothing but standard types in its interface
// (the fuzz target calls it): reads the format and throws the styles away. TRUE when the
// bytes are a well-formed styles archive; then `cells` is rows times columns.
#pragma once

#include <cstddef>
#include <cstdint>

bool GXCheckStylesClipboard(const std::uint8_t* data, std::size_t size, std::uint32_t& rows,
                            std::uint32_t& cols, std::size_t& cells);
