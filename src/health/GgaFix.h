#pragma once
// The receiver's side of stream health: the newest GGA sentence of any
// talker in the text the receiver sends, read by read. Lines split across
// reads are joined; a sentence with a wrong checksum is ignored.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "health/Geodesy.h"

struct GgaFix {
  bool seen = false;
  int quality = 0;     // the GGA fix quality number
  int satellites = -1;  // -1: field empty
  double hdop = -1;     // -1: field empty
  double correctionAgeS = -1;  // the age of differential data; -1: empty
  bool hasPosition = false;
  Geodetic position;  // height: altitude above the geoid + geoid separation
};

// "no fix", "GPS", "DGPS", "PPS", "RTK fixed", "RTK float", "estimated",
// "manual", "simulation"; other numbers: "unknown".
std::wstring FixQualityName(int quality);

// Reads one GGA sentence ("$xxGGA,...*hh", line end optional); false when
// it is none or its checksum is wrong.
bool ParseGga(std::string_view sentence, GgaFix& fix);

// The newest sentence across reads. Used by one thread at a time.
class GgaFixReader {
 public:
  // Answers whether a new sentence was read.
  bool Feed(const char* bytes, std::size_t count, GgaFix& fix);

 private:
  static constexpr std::size_t kMaxLine = 200;  // NMEA allows 82
  std::string m_line;
};
