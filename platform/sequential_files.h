#pragma once

#include <string_view>

#include "value.h"

namespace fbc {

// Sequential text files reached by file number, as the library's record procedures use them.
// The table of open files belongs to the process, not to any caller: a number opened by one
// piece of code stays open for all until someone closes it. Like the rest of the runtime it is
// meant for the one user-interface thread.
//
// Encoding. Lines are written in UTF-8. A file is read as UTF-8 (a leading byte-order mark is
// skipped) when its bytes are valid UTF-8, otherwise as Shift-JIS (code page 932), so that
// record files made by older Windows tools still load. Appending to a non-empty file that is
// not valid UTF-8 keeps it in code page 932, so that one file never mixes the two encodings.
//
// Errors. 52 for a file number outside 1..511, an empty name or one holding a NUL, a name too
// long for the system, or a number not open in the mode an operation needs; 53 for a missing
// file opened for input; 55 for a number already open; 62 for input past the end of the data;
// 75 for a path that cannot be opened (a folder, no permission); 76 for a missing folder; 57
// for a write that fails; 5 for a character that a code page 932 file cannot hold.

enum class FileMode {
  Input,   // the whole file is read when it is opened
  Append,  // created when missing; lines go to its end
};

// Lowest and highest file number.
inline constexpr int kFirstFileNumber = 1;
inline constexpr int kLastFileNumber = 511;

// `path` is used as it stands: absolute, or relative to the current working directory.
void openFile(int number, std::u16string_view path, FileMode mode);

bool isFileOpen(int number) noexcept;

// Delimited-field input: the next field of a file open for input.
// - Blanks (space, tab) before a field are skipped; at the start of a line, and at the start of
//   the file, empty lines are skipped too.
// - A field ends at a comma or at a line end (CR LF, LF or CR alone); the comma or line end is
//   consumed. Line ends are not record boundaries: the reader just takes the next field.
// - A field in double quotes is the text between them, without them, and may hold commas and
//   line ends; a doubled quote inside stands for one quote. Anything after the closing quote up
//   to the field's end is ignored. A quoted field is always a text, "" the empty text.
// - An unquoted field loses its trailing blanks. Empty, it is an empty value (also after a
//   comma at the very end of the data). A decimal number (optional sign, digits with an
//   optional point, an optional exponent: "12", "-3.5", ".5", "1E-05") arrives as a number:
//   an integer without point or exponent as a 16-bit integer when it fits, else a 32-bit
//   integer when it fits, every other number as a 64-bit float. Anything else arrives as text.
// - Error 62 when no field is left, or the data ends inside a quoted field.
Value inputField(int number);

// True when no field is left: only blanks and line ends remain, and the last field did not end
// with a comma (a comma promises one more, possibly empty, field).
bool endOfFile(int number);

// Writes `line` and CR LF to a file open for append. The line goes out in one piece; when the
// write fails the file is cut back to its previous length before error 57 is raised.
void printLine(int number, std::u16string_view line);

// Closing a number that is not open does nothing.
void closeFile(int number) noexcept;
void closeAllFiles() noexcept;

}  // namespace fbc
