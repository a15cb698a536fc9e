#pragma once
// WGS 84 conversions between Earth-centred coordinates and latitude,
// longitude and ellipsoidal height, for the base station and the receiver.
struct Ecef {
  double x = 0, y = 0, z = 0;  // metres
};

struct Geodetic {
  double latDeg = 0, lonDeg = 0, heightM = 0;
};

Ecef ToEcef(const Geodetic& position);
Geodetic ToGeodetic(const Ecef& position);
// Straight-line distance, metres.
double DistanceM(const Ecef& a, const Ecef& b);
