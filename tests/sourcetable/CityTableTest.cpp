// The compact stream table gives back every record exactly as it was stored,
// whatever its texts hold, and looks streams up by label.
#include <gtest/gtest.h>

#include "sourcetable/CityTable.h"

namespace {

_CityTableEntry Entry(const std::wstring& text) {
  _CityTableEntry e;
  std::wstring* const texts[] = {&e.mountpoint, &e.identifier, &e.format,  &e.formatDetails, &e.carrier,
                                 &e.navSystem,  &e.network,    &e.country, &e.latitude,      &e.longitude,
                                 &e.nmea,       &e.solution,   &e.generator, &e.comprEncryp, &e.authentication,
                                 &e.fee,        &e.bitrate,    &e.misc,    &e.formatRaw,     &e.label};
  int n = 0;
  for (std::wstring* t : texts) *t = text + std::to_wstring(n++);
  e.carrierValue = 2;
  e.nmeaValue = -7;
  return e;
}

void ExpectSame(const _CityTableEntry& a, const _CityTableEntry& b) {
  EXPECT_EQ(a.mountpoint, b.mountpoint);
  EXPECT_EQ(a.identifier, b.identifier);
  EXPECT_EQ(a.format, b.format);
  EXPECT_EQ(a.formatDetails, b.formatDetails);
  EXPECT_EQ(a.carrier, b.carrier);
  EXPECT_EQ(a.carrierValue, b.carrierValue);
  EXPECT_EQ(a.navSystem, b.navSystem);
  EXPECT_EQ(a.network, b.network);
  EXPECT_EQ(a.country, b.country);
  EXPECT_EQ(a.latitude, b.latitude);
  EXPECT_EQ(a.longitude, b.longitude);
  EXPECT_EQ(a.nmea, b.nmea);
  EXPECT_EQ(a.nmeaValue, b.nmeaValue);
  EXPECT_EQ(a.solution, b.solution);
  EXPECT_EQ(a.generator, b.generator);
  EXPECT_EQ(a.comprEncryp, b.comprEncryp);
  EXPECT_EQ(a.authentication, b.authentication);
  EXPECT_EQ(a.fee, b.fee);
  EXPECT_EQ(a.bitrate, b.bitrate);
  EXPECT_EQ(a.misc, b.misc);
  EXPECT_EQ(a.formatRaw, b.formatRaw);
  EXPECT_EQ(a.label, b.label);
  EXPECT_EQ(a.registration, b.registration);
  EXPECT_EQ(a.operatorName, b.operatorName);
  EXPECT_EQ(a.details, b.details);
}

TEST(CityTable, GivesBackEveryRecordAsStored) {
  const std::wstring texts[] = {
      L"",
      L"plain",
      L"M\u00fcnchen \u65ED\u5DDD \U0001F600",  // UTF-8 of two and three and four bytes
      L"caf\u00e9\u00ff",                      // what a table in Latin-1 gives
      std::wstring(L"zero\0byte", 9),
      std::wstring(3000, L'x'),
  };
  _NetTableEntry net;
  net.webReg = L"http://reg";
  net.operatorName = L"Op\u00e9rateur";
  net.webNet = L"http://net";
  CityTable table;
  table.SetNetworks({net});
  for (const std::wstring& text : texts) table.Append(Entry(text), 0);
  table.Append(Entry(L"without network"), -1);
  ASSERT_EQ(table.size(), std::size(texts) + 1);
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    SCOPED_TRACE(i);
    _CityTableEntry expected = Entry(texts[i]);
    expected.registration = net.webReg;
    expected.operatorName = net.operatorName;
    expected.details = net.webNet;
    ExpectSame(table[i], expected);
    EXPECT_EQ(table.Label(i), expected.label);
    EXPECT_EQ(table.Mountpoint(i), expected.mountpoint);
  }
  ExpectSame(table.back(), Entry(L"without network"));
  ExpectSame(table.at(table.size()), _CityTableEntry());  // out of range: an empty record
  std::size_t count = 0;
  for (const _CityTableEntry& e : table) count += !e.mountpoint.empty();
  EXPECT_EQ(count, table.size());
}

TEST(CityTable, FindsTheFirstStreamWithALabel) {
  CityTable table;
  for (const wchar_t* label : {L"A/RTK/GPS/N", L"\u00c4/RTK/GPS/N", L"A/RTK/GPS/N"}) {
    _CityTableEntry e;
    e.label = label;
    table.Append(e, -1);
  }
  EXPECT_EQ(table.FindLabel(L"A/RTK/GPS/N"), 0u);
  EXPECT_EQ(table.FindLabel(L"\u00c4/RTK/GPS/N"), 1u);
  EXPECT_EQ(table.FindLabel(L"A/RTK/GPS"), 3u);  // whole labels only
  table.SetLabel(0, L"renamed");
  EXPECT_EQ(table.FindLabel(L"A/RTK/GPS/N"), 2u);
  EXPECT_EQ(table.Label(0), L"renamed");
  table.clear();
  EXPECT_TRUE(table.empty());
  EXPECT_EQ(table.FindLabel(L"renamed"), 0u);
}

}  // namespace
