#include "app/FailureReason.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "platform/SerialDevices.h"
#include "platform/Trace.h"

namespace {

std::atomic<bool> g_toStandardError{false};
constexpr size_t kMaxReplyLine = 100;

}  // namespace

void SetFailureReasonsToStandardError(bool on) { g_toStandardError = on; }

void ReportFailureReason(std::string_view text) {
  const std::string line = "reason: " + std::string(text) + "\n";
  platform::Trace(line);
  if (g_toStandardError) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
  }
}

// An IPv6 address goes in brackets so that its port stays readable.
std::string CasterAddress(const std::string& host, int port) {
  return (host.find(':') != std::string::npos ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string CasterNamed(const std::string& host, int port) { return "caster " + CasterAddress(host, port); }

std::string SystemReason(int error) {
  if (error == 0) return "closed by the caster";
  char buffer[128];
  // The GNU strerror_r answers a pointer that need not be the buffer.
  return strerror_r(error, buffer, sizeof buffer);
}

std::string FirstReplyLine(std::string_view block) {
  block = block.substr(0, block.find_first_of("\r\n"));
  std::string line;
  for (const char c : block) {
    if (line.size() >= kMaxReplyLine) {
      line += "...";
      break;
    }
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      line += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      line += escaped;
    }
  }
  return line;
}

std::string PortDevice(int portNumber) {
  const std::string path = platform::SerialDevicePath(portNumber);
  const std::string port = "COM" + std::to_string(portNumber);
  return path.empty() ? port + " has no device" : port + " is " + path;
}
