#include <clocale>
#include <locale>

#include <gtest/gtest.h>

// Pins the locale so that number text is the same on every machine.
int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "C");
  std::locale::global(std::locale::classic());
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
