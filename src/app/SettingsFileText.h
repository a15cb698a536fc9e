#pragma once
// The text of GNSS.ini: 18 positional lines in 5 sections. The loader
// expects the sections in the writer's order; a section header that does
// not match is tested again against the next section. Kept apart from the
// window so the fuzz target reads files exactly as the program does.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Every value the file holds; a value the loader did not find stays empty
// (the field then keeps what it had).
struct SettingsFileValues {
  std::optional<std::wstring> hostPort, userPassword;
  std::optional<int> attempts, time, output;
  std::optional<std::wstring> port, baud, dataBits, parity, stopBits;
  std::optional<std::wstring> mountPoint, network, design;
};

// Far above any real file (values are short texts), and small enough that
// a stray huge file cannot eat memory: the loader reads no further.
inline constexpr std::size_t kMaxSettingsFileBytes = 64 * 1024;

SettingsFileValues ParseSettingsFile(std::string_view text);

// The file as the writer writes it. A value that holds a control character
// is written empty: a line break inside it would add lines of its own.
// Attempts and time are written as 10 whatever `values` holds.
std::string ComposeSettingsFile(const SettingsFileValues& values);
