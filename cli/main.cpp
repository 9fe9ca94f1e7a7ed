#include <iostream>

int main() {
  std::cout << "flyback-calc\n";
  return 0;
}
