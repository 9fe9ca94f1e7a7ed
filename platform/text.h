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

// The text without the blanks and tabs around it.
std::string_view withoutBlanks(std::string_view text) noexcept;

// How much of a person's text a message repeats: a value or a column name, and a file name or a
// parser's whole message that holds the person's text.
inline constexpr std::size_t kQuoteLimit = 60;
inline constexpr std::size_t kLongQuoteLimit = 200;

// Text a person gave, made safe for a one-line message: control characters (C0 and DEL as
// \xNN, C1 as \u{NN}), the line and paragraph separators and the bidirectional controls (as
// \u{NNNN}) and each byte that is not part of well-formed UTF-8 (as \xNN) are escaped, so that
// nothing in the text can break the line, restyle the terminal or reorder what follows; past
// `limit` characters (an escape counts as one) the rest is left out and "…" stands for it.
// Backslashes stay as typed.
std::string messageQuote(std::string_view bytes, std::size_t limit = kQuoteLimit);

}  // namespace fbc
