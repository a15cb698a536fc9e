#include "health/Geodesy.h"

#include <cmath>

namespace {

constexpr double kA = 6378137.0;
constexpr double kF = 1.0 / 298.257223563;
constexpr double kE2 = kF * (2 - kF);
constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

}  // namespace

Ecef ToEcef(const Geodetic& p) {
  const double lat = p.latDeg * kDeg, lon = p.lonDeg * kDeg;
  const double n = kA / std::sqrt(1 - kE2 * std::sin(lat) * std::sin(lat));
  return {(n + p.heightM) * std::cos(lat) * std::cos(lon), (n + p.heightM) * std::cos(lat) * std::sin(lon),
          (n * (1 - kE2) + p.heightM) * std::sin(lat)};
}

// Iterates the latitude; five rounds reach well below a millimetre.
Geodetic ToGeodetic(const Ecef& e) {
  const double p = std::hypot(e.x, e.y);
  double lat = std::atan2(e.z, p * (1 - kE2));
  double height = 0;
  for (int i = 0; i < 5; ++i) {
    const double n = kA / std::sqrt(1 - kE2 * std::sin(lat) * std::sin(lat));
    height = std::abs(std::cos(lat)) > 1e-9 ? p / std::cos(lat) - n : std::abs(e.z) - n * (1 - kE2);
    lat = std::atan2(e.z, p * (1 - kE2 * n / (n + height)));
  }
  return {lat / kDeg, std::atan2(e.y, e.x) / kDeg, height};
}

double DistanceM(const Ecef& a, const Ecef& b) { return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z)); }
