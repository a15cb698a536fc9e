#include "app/StartLine.h"

#include "app/FailureReason.h"
#include "platform/Text.h"

namespace {

// The caster chose the mount point and a file may hold anything: neither
// reaches a log as control characters.
std::string Printable(const std::wstring& text) { return FirstReplyLine(platform::EncodeUtf8(text)); }

std::string Framing(const StartFacts& facts) {
  static constexpr char kParity[] = {'N', 'O', 'E'};
  const char parity = facts.parity >= 0 && facts.parity <= 2 ? kParity[facts.parity] : '?';
  const char* stop = facts.stopBits == 1 ? "1.5" : facts.stopBits == 2 ? "2" : "1";
  return std::to_string(facts.baud) + " " + std::to_string(facts.dataBits) + parity + stop;
}

}  // namespace

std::string StartLineText(const StartFacts& facts) {
  const std::string from = " from " + Printable(facts.caster);
  std::string line = facts.mountPoint.empty() ? "fieldcast: fetching the source table" + from
                                              : "fieldcast: streaming " + Printable(facts.mountPoint) + from;
  if (facts.mountPoint.empty()) return line;
  if (!facts.toPort) return line + " to no port (output None: received and counted only)";
  const std::string port = "COM" + std::to_string(facts.portNumber);
  const std::string device = facts.device.empty() ? "no device" : FirstReplyLine(facts.device);
  return line + " to " + port + " (" + device + ", " + Framing(facts) + ")";
}
