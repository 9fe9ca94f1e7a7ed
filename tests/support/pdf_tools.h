#pragma once

#include <string>
#include <vector>

namespace fbc::test {

// Reading a PDF back with poppler-utils (installed by scripts/setup-deps --test), so that tests
// see the document as a viewer does. Each returns the tool's standard output; a tool that is
// missing or fails makes the calling test fail.
struct PdfFont {
  std::string name;
  bool embedded = false;
};

std::string pdfInfo(const std::string& path);
// Text in reading order; with `layout`, lines as they stand on the page.
std::string pdfText(const std::string& path, bool layout = false);
std::vector<PdfFont> pdfFonts(const std::string& path);
// One entry per raster image the document holds.
std::vector<std::string> pdfImages(const std::string& path);

// Each word of the text with its box on the page, in points from the top-left corner (the
// document's own characters, as pdftotext -bbox writes them: &amp; &lt; &gt; stay escaped).
struct PdfWord {
  std::string text;
  double xMin = 0;
  double yMin = 0;
  double xMax = 0;
  double yMax = 0;
  int page = 0;  // 0 the first
};
std::vector<PdfWord> pdfWords(const std::string& path);

}  // namespace fbc::test
