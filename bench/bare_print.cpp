// The reference for bench/startup-cli.sh: a C++ program that prints one line and exits, linked
// like flyback-calc against the C++ library only.
#include <iostream>

int main() {
  std::cout << "{\"bare\": true}\n";
  return 0;
}
