// Placeholder entry point until the main window lands.
#include <cstdio>

int main() {
  std::puts("Fieldcast");
  return 0;
}
