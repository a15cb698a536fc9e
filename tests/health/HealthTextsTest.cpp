// The health line, the warnings and the status file's JSON for snapshots
// on both sides of each limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "health/HealthTexts.h"

namespace {

// A connected stream with RTK fixed, base 25 at 1.5 km, corrections 0.8 s old.
HealthSnapshot Healthy() {
  HealthSnapshot s;
  s.caster = "127.0.0.1:2101";
  s.mountPoint = "DEMO";
  s.connected = true;
  s.connectedMs = 65'400;
  s.bytes = 63380;
  s.frames = 290;
  s.badFrames = 0;
  s.messages = {{1006, 7, 0.1}, {1077, 33, 1.0}};
  s.station.known = true;
  s.station.id = 25;
  s.station.messageType = 1006;
  s.station.ecef = {3811965.6701, -175800.0708, 5093615.5606};
  s.ageS = 0.8;
  s.receiver.seen = true;
  s.receiver.quality = 4;
  s.receiver.satellites = 12;
  s.receiver.hdop = 0.7;
  s.receiver.hasPosition = true;
  s.receiver.position = {53.4, -2.6, 120.5};
  s.baselineKm = 1.5;
  s.ggaUploads = 3;
  return s;
}

}  // namespace

TEST(HealthTexts, HealthLines) {
  struct Case {
    const char* what;
    void (*change)(HealthSnapshot&);
    const char* line;
  };
  const Case cases[] = {
      {"healthy", [](HealthSnapshot&) {}, "health: RTK fixed, 12 sats, corrections 0.8 s old, 2 types, 0 bad, base 25 at 1.5 km"},
      {"10 s is not yet stale", [](HealthSnapshot& s) { s.ageS = 10.0; },
       "health: RTK fixed, 12 sats, corrections 10 s old, 2 types, 0 bad, base 25 at 1.5 km"},
      {"stale while connected", [](HealthSnapshot& s) { s.ageS = 10.1; },
       "health: RTK fixed, 12 sats, corrections 10 s old, 2 types, 0 bad, base 25 at 1.5 km. "
       "No corrections for 10 s although the stream is connected."},
      {"stale but not connected", [](HealthSnapshot& s) { s.ageS = 30; s.connected = false; },
       "health: RTK fixed, 12 sats, corrections 30 s old, 2 types, 0 bad, base 25 at 1.5 km"},
      {"nothing yet", [](HealthSnapshot& s) { s = HealthSnapshot{}; }, "health: no receiver data, no corrections yet"},
      {"connected, nothing for 11 s", [](HealthSnapshot& s) { s = HealthSnapshot{}; s.connected = true; s.connectedMs = 11'000; },
       "health: no receiver data, no corrections yet. No corrections yet although the stream is connected."},
      {"text stream", [](HealthSnapshot& s) { s = HealthSnapshot{}; s.notRtcm3 = true; s.foreign = RtcmWatch::Foreign::Text; },
       "health: no receiver data, the stream is text, not RTCM 3"},
      {"RTCM 2", [](HealthSnapshot& s) { s = HealthSnapshot{}; s.notRtcm3 = true; s.foreign = RtcmWatch::Foreign::Rtcm2; s.connected = true; s.connectedMs = 20'000; },
       "health: no receiver data, the stream is RTCM 2, not RTCM 3"},
      {"binary", [](HealthSnapshot& s) { s = HealthSnapshot{}; s.notRtcm3 = true; },
       "health: no receiver data, the stream is not RTCM 3"},
      {"base without baseline", [](HealthSnapshot& s) { s.baselineKm.reset(); s.receiver.satellites = -1; },
       "health: RTK fixed, corrections 0.8 s old, 2 types, 0 bad, base 25"},
      {"unused for a minute", [](HealthSnapshot& s) { s.receiver.quality = 1; s.unusedCorrectionsS = 60; },
       "health: GPS, 12 sats, corrections 0.8 s old, 2 types, 0 bad, base 25 at 1.5 km. "
       "The receiver does not use the corrections: check its input port and baud rate."},
      {"not yet a minute", [](HealthSnapshot& s) { s.receiver.quality = 1; s.unusedCorrectionsS = 59.9; },
       "health: GPS, 12 sats, corrections 0.8 s old, 2 types, 0 bad, base 25 at 1.5 km"},
  };
  for (const Case& c : cases) {
    HealthSnapshot s = Healthy();
    c.change(s);
    EXPECT_EQ(HealthLine(s), c.line) << c.what;
  }
}

TEST(HealthTexts, StatusFileHasEveryMember) {
  EXPECT_EQ(HealthJson(Healthy(), "Writing data to COM1..."),
            "{\n"
            "  \"status\": \"Writing data to COM1...\",\n"
            "  \"stream\": {\"caster\": \"127.0.0.1:2101\", \"mount_point\": \"DEMO\", \"bytes\": 63380, \"connected_s\": 65},\n"
            "  \"rtcm\": {\"frames\": 290, \"bad_frames\": 0, \"rtcm3\": true, \"messages\": {\"1006\": 7, \"1077\": 33}, "
            "\"station_id\": 25, \"station_ecef_m\": [3811965.6701, -175800.0708, 5093615.5606], \"age_s\": 0.8},\n"
            "  \"receiver\": {\"fix_quality\": 4, \"fix\": \"RTK fixed\", \"satellites\": 12, \"hdop\": 0.7, "
            "\"lat\": 53.40000000, \"lon\": -2.60000000, \"height_m\": 120.500, \"baseline_km\": 1.500},\n"
            "  \"gga_uploads\": 3,\n"
            "  \"warnings\": \"\"\n"
            "}\n");
  EXPECT_EQ(HealthJson(HealthSnapshot{}, "Idle"),
            "{\n"
            "  \"status\": \"Idle\",\n"
            "  \"stream\": {\"caster\": \"\", \"mount_point\": \"\", \"bytes\": 0, \"connected_s\": null},\n"
            "  \"rtcm\": {\"frames\": 0, \"bad_frames\": 0, \"rtcm3\": true, \"messages\": {}, \"station_id\": null, "
            "\"station_ecef_m\": null, \"age_s\": null},\n"
            "  \"receiver\": {\"fix_quality\": null, \"fix\": null, \"satellites\": null, \"hdop\": null, \"lat\": null, "
            "\"lon\": null, \"height_m\": null, \"baseline_km\": null},\n"
            "  \"gga_uploads\": 0,\n"
            "  \"warnings\": \"\"\n"
            "}\n");
}

// A caster's names may hold quotes, backslashes and control characters:
// the document stays JSON.
TEST(HealthTexts, CasterTextsAreEscaped) {
  HealthSnapshot s = Healthy();
  s.mountPoint = "A\"B\\C\x01\n";
  const std::string json = HealthJson(s, "x\ty");
  EXPECT_NE(json.find("\"mount_point\": \"A\\\"B\\\\C\\u0001\\u000a\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"status\": \"x\\u0009y\""), std::string::npos) << json;
}

// The page fits a 40-column screen: no line longer than the edit control.
TEST(HealthTexts, PageLinesFitTheScreen) {
  HealthSnapshot s = Healthy();
  s.ageS = 12;  // with the warning
  const std::wstring page = HealthPageText(s, L"Writing data to COM1...");
  EXPECT_NE(page.find(L"Frames: 290 good, 0 bad"), std::wstring::npos);
  EXPECT_NE(page.find(L"  1077: 33 (1.00/s)"), std::wstring::npos);
  EXPECT_NE(page.find(L"Base 25 (1006)"), std::wstring::npos);
  EXPECT_NE(page.find(L"Receiver: RTK fixed, 12 sats"), std::wstring::npos);
  EXPECT_NE(page.find(L"No corrections for 12 s"), std::wstring::npos);
  size_t longest = 0;
  for (size_t from = 0; from < page.size();) {
    const size_t end = std::min(page.find(L"\r\n", from), page.size());
    longest = std::max(longest, end - from);
    from = end + 2;
  }
  EXPECT_LE(longest, 37u) << std::string(page.begin(), page.end());
  EXPECT_GE(longest, 30u);  // not cut needlessly short either
}
