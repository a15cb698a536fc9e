#include "health/HealthTexts.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/Text.h"

namespace {

std::string Fixed(double value, int decimals) {
  if (!std::isfinite(value)) return "null";
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Seconds(double s) { return Fixed(s, s < 10 ? 1 : 0); }


// A JSON string: quotes, backslashes and control characters escaped; the
// caster's texts may hold anything.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Optional(const std::optional<double>& value, int decimals) {
  return value ? Fixed(*value, decimals) : "null";
}

bool Stale(const HealthSnapshot& s) {
  if (!s.connected) return false;
  if (s.ageS) return *s.ageS > StreamHealth::kStaleAfterS;
  return s.connectedMs > StreamHealth::kStaleAfterS * 1000 && !s.notRtcm3;
}

std::string FixText(const HealthSnapshot& s) {
  if (!s.receiver.seen) return "no receiver data";
  std::string text = platform::EncodeUtf8(FixQualityName(s.receiver.quality));
  if (s.receiver.satellites >= 0) text += ", " + std::to_string(s.receiver.satellites) + " sats";
  return text;
}

std::string StationText(const HealthSnapshot& s) {
  if (!s.station.known) return "";
  std::string text = "base " + std::to_string(s.station.id);
  if (s.baselineKm) text += " at " + Fixed(*s.baselineKm, *s.baselineKm < 100 ? 1 : 0) + " km";
  return text;
}

// "the stream is RTCM 2, not RTCM 3"
std::string ForeignText(const HealthSnapshot& s) {
  switch (s.foreign) {
    case RtcmWatch::Foreign::Rtcm2: return "the stream is RTCM 2, not RTCM 3";
    case RtcmWatch::Foreign::Text: return "the stream is text, not RTCM 3";
    case RtcmWatch::Foreign::Unknown: break;
  }
  return "the stream is not RTCM 3";
}

// The page's text box is 37 columns wide beside its scroll bar; the edit
// control would cut a long line anywhere, so lines break between words.
constexpr size_t kPageColumns = 37;

std::vector<std::string> Wrapped(const std::string& text) {
  std::vector<std::string> lines;
  std::string rest = text;
  while (platform::DecodeExternal(rest).size() > kPageColumns) {
    size_t cut = rest.rfind(' ', kPageColumns);
    if (cut == std::string::npos || cut == 0) cut = kPageColumns;  // one long word
    lines.push_back(rest.substr(0, cut));
    rest = "  " + rest.substr(rest[cut] == ' ' ? cut + 1 : cut);
  }
  lines.push_back(rest);
  return lines;
}

}  // namespace

std::string HealthWarnings(const HealthSnapshot& s) {
  std::string text;
  if (Stale(s)) {
    text += s.ageS ? "No corrections for " + Seconds(*s.ageS) + " s although the stream is connected."
                   : "No corrections yet although the stream is connected.";
  }
  if (s.unusedCorrectionsS >= StreamHealth::kUnusedAfterS) {
    if (!text.empty()) text += ' ';
    text += "The receiver does not use the corrections: check its input port and baud rate.";
  }
  return text;
}

std::string HealthLine(const HealthSnapshot& s) {
  std::string line = "health: " + FixText(s) + ", ";
  if (s.notRtcm3) line += ForeignText(s);
  else if (!s.ageS) line += "no corrections yet";
  else
    line += "corrections " + Seconds(*s.ageS) + " s old, " + std::to_string(s.messages.size()) + " types, " +
            std::to_string(s.badFrames) + " bad";
  const std::string station = StationText(s);
  if (!station.empty()) line += ", " + station;
  const std::string warnings = HealthWarnings(s);
  if (!warnings.empty()) line += ". " + warnings;
  return line;
}

std::wstring HealthPageText(const HealthSnapshot& s, const std::wstring& status) {
  std::string t;
  auto line = [&t](const std::string& text) {
    for (const std::string& piece : Wrapped(text)) {
      if (!t.empty()) t += "\r\n";
      t += piece;
    }
  };
  const std::string warnings = HealthWarnings(s);
  if (!warnings.empty()) line("! " + warnings);
  line(platform::EncodeUtf8(status));
  line("Caster: " + (s.caster.empty() ? std::string("-") : s.caster));
  line("Stream: " + (s.mountPoint.empty() ? std::string("-") : s.mountPoint));
  line("Connected: " + (s.connected ? std::to_string(s.connectedMs / 1000) + " s" : std::string("no")));
  line("Bytes: " + std::to_string(s.bytes) + ", " + Fixed(s.bytesPerSecond, 0) + " B/s");
  if (s.notRtcm3) {
    std::string text = ForeignText(s);
    text[0] = 'T';
    line(text);
  }
  else line("Frames: " + std::to_string(s.frames) + " good, " + std::to_string(s.badFrames) + " bad");
  line("Corrections age: " + (s.ageS ? Seconds(*s.ageS) + " s" : std::string("-")));
  for (const auto& m : s.messages)
    line("  " + std::to_string(m.type) + ": " + std::to_string(m.count) + " (" + Fixed(m.perSecond, 2) + "/s)");
  if (s.station.known) {
    const Geodetic g = ToGeodetic(s.station.ecef);
    line("Base " + std::to_string(s.station.id) + " (" + std::to_string(s.station.messageType) + ")");
    line("  X " + Fixed(s.station.ecef.x, 3) + " m");
    line("  Y " + Fixed(s.station.ecef.y, 3) + " m");
    line("  Z " + Fixed(s.station.ecef.z, 3) + " m");
    line("  " + Fixed(g.latDeg, 7) + " " + Fixed(g.lonDeg, 7) + " " + Fixed(g.heightM, 2) + " m");
    if (s.station.messageType == 1006) line("  antenna height " + Fixed(s.station.antennaHeightM, 4) + " m");
  } else {
    line("Base: -");
  }
  line("Baseline: " + (s.baselineKm ? Fixed(*s.baselineKm, 3) + " km" : std::string("-")));
  line("Receiver: " + FixText(s));
  if (s.receiver.seen) {
    line("  HDOP " + (s.receiver.hdop >= 0 ? Fixed(s.receiver.hdop, 1) : std::string("-")) + ", diff. age " +
         (s.receiver.correctionAgeS >= 0 ? Seconds(s.receiver.correctionAgeS) + " s" : std::string("-")));
    if (s.receiver.hasPosition)
      line("  " + Fixed(s.receiver.position.latDeg, 7) + " " + Fixed(s.receiver.position.lonDeg, 7) + " " +
           Fixed(s.receiver.position.heightM, 2) + " m");
  }
  line("GGA uploads: " + std::to_string(s.ggaUploads));
  if (!s.recordingProblem.empty()) line(s.recordingProblem);
  // The caster's names and the status came as UTF-8; the rest is ASCII.
  return platform::DecodeExternal(t);
}

std::string HealthJson(const HealthSnapshot& s, const std::string& status) {
  std::string messages;
  for (const auto& m : s.messages) {
    if (!messages.empty()) messages += ", ";
    messages += "\"" + std::to_string(m.type) + "\": " + std::to_string(m.count);
  }
  const std::string stationId = s.station.known ? std::to_string(s.station.id) : "null";
  const std::string ecef = s.station.known ? "[" + Fixed(s.station.ecef.x, 4) + ", " + Fixed(s.station.ecef.y, 4) +
                                                 ", " + Fixed(s.station.ecef.z, 4) + "]"
                                           : "null";
  const GgaFix& r = s.receiver;
  auto ifSeen = [&r](const std::string& value) { return r.seen ? value : std::string("null"); };
  auto ifPosition = [&r](double value, int decimals) { return r.hasPosition ? Fixed(value, decimals) : std::string("null"); };
  std::string json = "{\n";
  json += "  \"status\": " + Quoted(status) + ",\n";
  json += "  \"stream\": {\"caster\": " + Quoted(s.caster) + ", \"mount_point\": " + Quoted(s.mountPoint) +
          ", \"bytes\": " + std::to_string(s.bytes) + ", \"connected_s\": " +
          (s.connected ? std::to_string(s.connectedMs / 1000) : std::string("null")) + "},\n";
  json += "  \"rtcm\": {\"frames\": " + std::to_string(s.frames) + ", \"bad_frames\": " + std::to_string(s.badFrames) +
          ", \"rtcm3\": " + (s.notRtcm3 ? "false" : "true") + ", \"messages\": {" + messages +
          "}, \"station_id\": " + stationId + ", \"station_ecef_m\": " + ecef + ", \"age_s\": " + Optional(s.ageS, 1) +
          "},\n";
  json += "  \"receiver\": {\"fix_quality\": " + ifSeen(std::to_string(r.quality)) +
          ", \"fix\": " + ifSeen(Quoted(platform::EncodeUtf8(FixQualityName(r.quality)))) +
          ", \"satellites\": " + (r.seen && r.satellites >= 0 ? std::to_string(r.satellites) : "null") +
          ", \"hdop\": " + (r.seen && r.hdop >= 0 ? Fixed(r.hdop, 1) : "null") +
          ", \"lat\": " + ifPosition(r.position.latDeg, 8) + ", \"lon\": " + ifPosition(r.position.lonDeg, 8) +
          ", \"height_m\": " + ifPosition(r.position.heightM, 3) + ", \"baseline_km\": " + Optional(s.baselineKm, 3) +
          "},\n";
  json += "  \"gga_uploads\": " + std::to_string(s.ggaUploads) + ",\n";
  json += "  \"warnings\": " + Quoted(HealthWarnings(s)) + "\n}\n";
  return json;
}
