#include "pdf_tools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <regex>
#include <sstream>

namespace fbc::test {

namespace {

std::string quoted(const std::string& text) {
  std::string out = "'";
  for (const char c : text) {
    out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return out + "'";
}

std::string run(const char* tool, const std::string& arguments) {
  const std::string command = quoted(tool) + " " + arguments + " 2>&1";
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot start " << tool;
    return output;
  }
  std::array<char, 4096> buffer{};
  std::size_t read = 0;
  while ((read = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
    output.append(buffer.data(), read);
  }
  const int status = ::pclose(pipe);
  if (status != 0) {
    ADD_FAILURE() << tool << " failed (" << status << "; poppler-utils comes with "
                  << "scripts/setup-deps --test): " << output;
  }
  return output;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    out.push_back(line);
  }
  return out;
}

}  // namespace

std::string pdfInfo(const std::string& path) { return run(FBC_PDFINFO, quoted(path)); }

std::string pdfText(const std::string& path, bool layout) {
  return run(FBC_PDFTOTEXT, std::string(layout ? "-layout " : "") + quoted(path) + " -");
}

std::vector<PdfFont> pdfFonts(const std::string& path) {
  // name, type (may hold blanks), encoding, emb, sub, uni, object and generation: the
  // embedding column is the fifth from the end.
  std::vector<PdfFont> fonts;
  const std::vector<std::string> all = lines(run(FBC_PDFFONTS, quoted(path)));
  for (std::size_t i = 2; i < all.size(); ++i) {
    std::istringstream words(all[i]);
    std::vector<std::string> columns;
    for (std::string word; words >> word;) {
      columns.push_back(word);
    }
    if (columns.size() < 7) {
      continue;
    }
    fonts.push_back({columns.front(), columns[columns.size() - 5] == "yes"});
  }
  return fonts;
}

std::vector<std::string> pdfImages(const std::string& path) {
  // Two header lines, then one line per image.
  std::vector<std::string> all = lines(run(FBC_PDFIMAGES, "-list " + quoted(path)));
  if (all.size() <= 2) {
    return {};
  }
  return {all.begin() + 2, all.end()};
}

std::vector<PdfWord> pdfWords(const std::string& path) {
  static const std::regex word(
      R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">(.*)</word>)re");
  std::vector<PdfWord> words;
  int page = -1;
  for (const std::string& line : lines(run(FBC_PDFTOTEXT, "-bbox " + quoted(path) + " -"))) {
    if (line.find("<page ") != std::string::npos) {
      ++page;
    }
    std::smatch m;
    if (std::regex_search(line, m, word)) {
      words.push_back({m[5].str(), std::stod(m[1].str()), std::stod(m[2].str()),
                       std::stod(m[3].str()), std::stod(m[4].str()), std::max(page, 0)});
    }
  }
  return words;
}

}  // namespace fbc::test
