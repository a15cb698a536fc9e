#include "health/GgaFix.h"

#include <cstdlib>
#include <vector>

namespace {

std::vector<std::string_view> Fields(std::string_view text) {
  std::vector<std::string_view> fields;
  size_t from = 0;
  while (true) {
    const size_t comma = text.find(',', from);
    fields.push_back(text.substr(from, comma == std::string_view::npos ? std::string_view::npos : comma - from));
    if (comma == std::string_view::npos) return fields;
    from = comma + 1;
  }
}

// A plain decimal number ("4807.038", "-1.5"); false for anything else.
bool Number(std::string_view field, double& value) {
  if (field.empty() || field.size() > 20) return false;
  const std::string text(field);
  if (text.find_first_not_of("0123456789.-+") != std::string::npos) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size();
}

// "ddmm.mmmm" (latitude) or "dddmm.mmmm" (longitude) with its hemisphere.
bool Angle(std::string_view field, std::string_view hemisphere, double& degrees) {
  double raw = 0;
  if (!Number(field, raw) || raw < 0) return false;
  const double whole = static_cast<double>(static_cast<long>(raw / 100));
  degrees = whole + (raw - whole * 100) / 60;
  if (hemisphere == "S" || hemisphere == "W") degrees = -degrees;
  else if (hemisphere != "N" && hemisphere != "E") return false;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::wstring FixQualityName(int quality) {
  static const wchar_t* const kNames[] = {L"no fix",    L"GPS",       L"DGPS",   L"PPS",       L"RTK fixed",
                                          L"RTK float", L"estimated", L"manual", L"simulation"};
  if (quality < 0 || quality > 8) return L"unknown";
  return kNames[quality];
}

bool ParseGga(std::string_view sentence, GgaFix& fix) {
  while (!sentence.empty() && (sentence.back() == '\r' || sentence.back() == '\n')) sentence.remove_suffix(1);
  if (sentence.size() < 7 || sentence[0] != '$' || sentence.substr(3, 4) != "GGA,") return false;
  const size_t star = sentence.rfind('*');
  if (star == std::string_view::npos || star + 3 != sentence.size()) return false;
  const int high = HexDigit(sentence[star + 1]), low = HexDigit(sentence[star + 2]);
  unsigned char sum = 0;
  for (size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(sentence[i]);
  if (high < 0 || low < 0 || sum != high * 16 + low) return false;
  const std::vector<std::string_view> f = Fields(sentence.substr(1, star - 1));
  if (f.size() < 15) return false;
  double value = 0;
  if (!Number(f[6], value) || value < 0 || value > 9 || value != static_cast<int>(value)) return false;
  GgaFix read;
  read.seen = true;
  read.quality = static_cast<int>(value);
  if (Number(f[7], value) && value >= 0 && value < 1000) read.satellites = static_cast<int>(value);
  if (Number(f[8], value) && value >= 0) read.hdop = value;
  if (Number(f[13], value) && value >= 0) read.correctionAgeS = value;
  double lat = 0, lon = 0, altitude = 0, separation = 0;
  if (Angle(f[2], f[3], lat) && Angle(f[4], f[5], lon) && lat >= -90 && lat <= 90 && lon >= -180 && lon <= 180 &&
      Number(f[9], altitude)) {
    if (!Number(f[11], separation)) separation = 0;  // some receivers leave it empty
    read.hasPosition = true;
    read.position = {lat, lon, altitude + separation};
  }
  fix = read;
  return true;
}

bool GgaFixReader::Feed(const char* bytes, std::size_t count, GgaFix& fix) {
  bool found = false;
  for (std::size_t i = 0; i < count; ++i) {
    const char c = bytes[i];
    if (c == '$') m_line.assign(1, c);
    else if (c == '\r' || c == '\n') {
      if (!m_line.empty() && ParseGga(m_line, fix)) found = true;
      m_line.clear();
    } else if (!m_line.empty() && m_line.size() < kMaxLine) {
      m_line.push_back(c);
    }
  }
  // A sentence is complete at its checksum: no need to wait for the line end.
  if (m_line.size() >= 4 && m_line[m_line.size() - 3] == '*' && ParseGga(m_line, fix)) {
    found = true;
    m_line.clear();
  }
  return found;
}
