// The key store's file: UTF-8 text, one record a line, fields split by a tab.
//
//   ixo-keystore<TAB>1                      first line: format and version
//   key<TAB>SOFTWARE/Ixo/DEDEVEV             a key (components joined by '/')
//   value<TAB>localips<TAB>s<TAB>10.0.0.5    a value of the key above:
//                                            s text, u decimal u32, b hex bytes
//
// Key components, value names and texts are escaped: "\\" for a backslash,
// "\t", "\n", "\r", and "\xHH" for any other byte below 0x20 or 0x7F (key
// components hold no separator of their own). A file that breaks any rule is refused
// whole, with the line that broke it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "os/KeyTree.h"

namespace os {

enum class KeyStoreParseError {
    None,
    BadHeader,       // first line is not "ixo-keystore<TAB>1"
    BadRecord,       // a line that is neither a key nor a value record
    ValueBeforeKey,  // a value record with no key record above it
    BadEscape,       // a broken "\" sequence
    BadName,         // a key or value name out of bounds
    BadType,         // a type letter other than s, u, b
    BadNumber,       // a u32 that is not 1-10 decimal digits within range
    BadBinary,       // odd length or a non-hex digit
};

struct KeyStoreParseResult {
    KeyStoreParseError error = KeyStoreParseError::None;
    size_t line = 0;  // 1-based line of the error
};

// Fills `tree` from the file's bytes; on error `tree` is left empty.
KeyStoreParseResult ParseKeyStore(std::string_view bytes, KeyTree& tree);
std::string FormatKeyStore(const KeyTree& tree);
const char* ToString(KeyStoreParseError error);

}  // namespace os
