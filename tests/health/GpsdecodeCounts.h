#pragma once
// What the independent decoder (gpsdecode, Debian gpsd-clients) finds in a
// capture: frames per RTCM 3 message type, and the last 1005/1006 station.
#include <cstdio>
#include <map>
#include <string>

struct DecodedCapture {
  std::map<int, unsigned long> counts;
  int stationId = -1;
  double x = 0, y = 0, z = 0;
};

inline DecodedCapture RunGpsdecode(const std::string& path) {
  DecodedCapture decoded;
  FILE* pipe = popen(("gpsdecode < '" + path + "'").c_str(), "r");
  if (pipe == nullptr) return decoded;
  char line[8192];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    const std::string text = line;
    if (text.find("\"class\":\"RTCM3\"") == std::string::npos) continue;
    const size_t type = text.find("\"type\":");
    if (type == std::string::npos) continue;
    const int t = std::stoi(text.substr(type + 7));
    ++decoded.counts[t];
    if (t == 1005 || t == 1006) {
      auto number = [&text](const char* key) {
        const size_t at = text.find(key);
        return at == std::string::npos ? 0.0 : std::stod(text.substr(at + std::string(key).size()));
      };
      decoded.stationId = static_cast<int>(number("\"station_id\":"));
      decoded.x = number("\"x\":");
      decoded.y = number("\"y\":");
      decoded.z = number("\"z\":");
    }
  }
  pclose(pipe);
  return decoded;
}
