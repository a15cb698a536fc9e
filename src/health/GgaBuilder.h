#pragma once
// A GGA sentence for a receiver that sends none: a fixed position given by
// the user, stamped with the current UTC time, quality 1 (a plain GPS fix,
// which casters of network streams accept), a correct checksum, CR LF.
#include <ctime>
#include <string>

struct FixedPosition {
  double latDeg = 0;   // -90..90, north positive
  double lonDeg = 0;   // -180..180, east positive
  double heightM = 0;  // ellipsoidal; sent as altitude with geoid separation 0
};

// "LAT,LON,HEIGHT" in decimal degrees and metres ("52.5,13.4,35"); false
// for anything else or a value out of range.
bool ParseFixedPosition(const std::string& text, FixedPosition& position);
std::string BuildGga(const FixedPosition& position, std::time_t utc);
