// The compact stream table gives back every record exactly as it was stored,
// whatever its texts hold, and looks streams up by label.
#include <gtest/gtest.h>

#include "SourceTableTestSupport.h"
#include "sourcetable/CityTable.h"

namespace {

using sourcetable_test::Fields;

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
    EXPECT_EQ(Fields(table[i]), Fields(expected));
    EXPECT_EQ(table.Label(i), expected.label);
    EXPECT_EQ(table.Mountpoint(i), expected.mountpoint);
  }
  EXPECT_EQ(Fields(table.back()), Fields(Entry(L"without network")));
  EXPECT_EQ(Fields(table.at(table.size())), Fields(_CityTableEntry()));  // out of range: an empty record
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
