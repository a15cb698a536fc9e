#pragma once
// Reading the main window's figures off a captured terminal screen.
#include <string>

namespace testing_support {

// The number after "Bytes:" on the screen, in bytes ("1.234k" is 1234);
// -1 when the screen shows none.
inline long long ShownBytes(const std::string& screen) {
  const size_t label = screen.find("Bytes:");
  if (label == std::string::npos) return -1;
  const std::string line = screen.substr(label + 6, screen.find('\n', label) - label - 6);
  const size_t digits = line.find_first_of("0123456789");
  if (digits == std::string::npos) return -1;
  const double value = std::stod(line.substr(digits));
  const char unit = line.find('M') != std::string::npos ? 'M' : line.find('k') != std::string::npos ? 'k' : ' ';
  return static_cast<long long>(value * (unit == 'M' ? 1e6 : unit == 'k' ? 1e3 : 1));
}

}  // namespace testing_support
