#pragma once

#include <string>
#include <string_view>

namespace fbc {

// UTF-8 <-> UTF-16 conversion for texts crossing the program's edges (files, the console,
// Qt strings go through QString directly). Invalid input sequences become U+FFFD.
std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no truncated
// sequence. Exactly the texts fromUtf8 reads without a replacement.
bool isValidUtf8(std::string_view bytes) noexcept;

}  // namespace fbc
