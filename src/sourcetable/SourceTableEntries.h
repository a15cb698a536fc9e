#pragma once
// The entry records of a source table: one per stream (named after the place
// of its reference station, hence "city"), per network and per caster.
// Plain values; the member order is the order the rest of the program and the
// stream details view page through.
#include <cstdint>
#include <string>

struct _CityTableEntry {
  std::wstring mountpoint;
  std::wstring identifier;
  std::wstring format;  // reclassified: "DGPS", "DGNSS", "RTK" or the field as is
  std::wstring formatDetails;
  std::wstring carrier;
  std::int32_t carrierValue = 0;
  std::wstring navSystem;
  std::wstring network;
  std::wstring country;
  std::wstring latitude;
  std::wstring longitude;
  std::wstring nmea;
  std::int32_t nmeaValue = 0;  // non-zero: the caster wants the client's position
  std::wstring solution;
  std::wstring generator;
  std::wstring comprEncryp;
  std::wstring authentication;
  std::wstring fee;
  std::wstring bitrate;
  std::wstring misc;
  std::wstring formatRaw;  // the format field unchanged
  std::wstring label;      // what the stream list shows and the look-ups match
  std::wstring registration;  // from the linked network: webReg
  std::wstring operatorName;  // from the linked network: operatorName
  std::wstring details;       // from the linked network: webNet
};

struct _NetTableEntry {
  std::wstring identifier;
  std::wstring operatorName;
  std::wstring authentication;
  std::wstring fee;
  std::wstring webNet;
  std::wstring webStr;
  std::wstring webReg;
  std::wstring misc;
};

struct _BroadcasterTableEntry {
  std::wstring host;
  std::wstring port;
  std::wstring identifier;
  std::wstring operatorName;
  std::wstring nmea;
  std::wstring country;
  std::wstring latitude;
  std::wstring longitude;
  std::wstring rest;  // fallback host, fallback port and the rest, ';' kept
};
