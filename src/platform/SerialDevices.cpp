#include "platform/SerialDevices.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "platform/Text.h"

namespace platform {
namespace {

// USB adapters and USB receivers first: on a field computer the receiver is
// nearly always one of those, while ttyS/ttyAMA are built-in ports.
constexpr std::string_view kFamilies[] = {"ttyUSB", "ttyACM", "ttyAMA", "ttyS"};

// Largest port number a name may carry; keeps the parse free of overflow.
constexpr int kMaxPortNumber = 999;

std::string EnvironmentName(int portNumber) {
  return "FIELDCAST_COM" + std::to_string(portNumber);
}

// The path from FIELDCAST_COMn, or empty when the variable is unset or empty.
std::string EnvironmentPath(int portNumber) {
  const char* value = std::getenv(EnvironmentName(portNumber).c_str());
  return value == nullptr ? std::string() : std::string(value);
}

// -1 unless `text` is all decimal digits (and not too long to be an index).
long DeviceIndex(std::string_view text) {
  if (text.empty() || text.size() > 6) return -1;
  long index = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    index = index * 10 + (c - '0');
  }
  return index;
}

// The kernel creates every ttyS node whether or not a UART sits behind it;
// such empty nodes report port type 0. When the type cannot be read the node
// counts as present, and opening it will tell.
bool HasUart(const SerialDeviceRoots& roots, const std::string& name) {
  std::ifstream type(roots.sysTtyDirectory + "/" + name + "/type");
  int value = -1;
  if (!(type >> value)) return true;
  return value != 0;
}

std::vector<std::string> FamilyMembers(const SerialDeviceRoots& roots, std::string_view family) {
  std::vector<std::pair<long, std::string>> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(roots.devDirectory, error)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, family.size(), family) != 0) continue;
    const long index = DeviceIndex(std::string_view(name).substr(family.size()));
    if (index < 0) continue;
    if (family == "ttyS" && !HasUart(roots, name)) continue;
    found.emplace_back(index, name);
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> paths;
  for (const auto& item : found) paths.push_back(roots.devDirectory + "/" + item.second);
  return paths;
}

}  // namespace

std::vector<std::string> PresentSerialDevices(const SerialDeviceRoots& roots) {
  std::vector<std::string> devices;
  for (std::string_view family : kFamilies) {
    const auto members = FamilyMembers(roots, family);
    devices.insert(devices.end(), members.begin(), members.end());
  }
  return devices;
}

std::string SerialDevicePath(int portNumber, const SerialDeviceRoots& roots) {
  if (portNumber < 1 || portNumber > kMaxPortNumber) return {};
  std::string path = EnvironmentPath(portNumber);
  if (!path.empty()) return path;
  const auto devices = PresentSerialDevices(roots);
  const auto index = static_cast<size_t>(portNumber - 1);
  return index < devices.size() ? devices[index] : std::string();
}

int SerialPortNumber(std::wstring_view name) {
  if (name.size() < 4) return 0;
  std::wstring prefix(name.substr(0, 3));
  for (auto& c : prefix) c = static_cast<wchar_t>(std::towupper(c));
  if (prefix != L"COM") return 0;
  std::wstring_view digits = name.substr(3);
  if (!digits.empty() && digits.back() == L':') digits.remove_suffix(1);
  if (digits.empty() || digits.size() > 3) return 0;
  int number = 0;
  for (wchar_t c : digits) {
    if (c < L'0' || c > L'9') return 0;
    number = number * 10 + (c - L'0');
  }
  return number >= 1 && number <= kMaxPortNumber ? number : 0;
}

std::string ResolveSerialDevice(std::wstring_view name, const SerialDeviceRoots& roots) {
  if (!name.empty() && name.front() == L'/') return NarrowLocal(name);
  return SerialDevicePath(SerialPortNumber(name), roots);
}

std::string SerialPortMapping(const SerialDeviceRoots& roots) {
  const auto devices = PresentSerialDevices(roots);
  std::string text;
  for (int n = kFirstSerialPort; n <= kLastSerialPort; ++n) {
    text += "COM" + std::to_string(n) + ": ";
    const std::string fromEnvironment = EnvironmentPath(n);
    const auto index = static_cast<size_t>(n - 1);
    if (!fromEnvironment.empty()) {
      text += fromEnvironment + " (" + EnvironmentName(n) + ")";
    } else if (index < devices.size()) {
      text += devices[index];
    } else {
      text += "-";
    }
    text += '\n';
  }
  return text;
}

void PrintSerialPortMapping() {
  const std::string text = SerialPortMapping();
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

}  // namespace platform
