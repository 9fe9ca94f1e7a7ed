#pragma once

namespace fbc {

// Maps the Windows Japanese font names the window and its pictures ask for ("ＭＳ ゴシック",
// "ＭＳ Ｐゴシック" and their Latin spellings) onto the installed IPA and Noto faces, which
// Debian's fontconfig does not alias. Call once after the GUI application exists.
void installJapaneseFontSubstitutions();

}  // namespace fbc
