// What a stream entry gets beyond its fields: numbers, decoded texts, its
// network's details, its format class and label; and the two look-ups.
#include <gtest/gtest.h>

#include <climits>

#include "SourceTableTestSupport.h"
#include "sourcetable/SourceTableRecords.h"

namespace {

using sourcetable_test::Net;
using sourcetable_test::ReadText;
using sourcetable_test::Str;

struct ClassCase {
  const char* format;
  const char* carrier;
  const char* nav;
  const wchar_t* expectedFormat;
  const wchar_t* expectedLabel;
};

TEST(SourceTableStream, FormatClassAndLabel) {
  const ClassCase cases[] = {
      {"RTCM 2.3", "0", "GPS", L"DGPS", L"Town/DGPS/NETA"},
      {"RTCM 2.3", "0", "GPS+GLO", L"DGNSS", L"Town/DGNSS/GPS+GLO/NETA"},
      {"RTCM 2.3", "2", "GPS+GLO", L"RTK", L"Town/RTK/GPS+GLO/NETA"},
      {"RTCM 2.3", "1", "GPS", L"RTK", L"Town/RTK/GPS/NETA"},
      {"RTCM 2.3", "0", "GLO", L"RTCM 2.3", L"Town/RTCM 2.3/GLO/NETA"},
      {"RTCM 3.0", "2", "GPS", L"RTK", L"Town/RTK/GPS/NETA"},
      {"RTCM 3.2", "4", "GPS", L"RTCM 3.2", L"Town/RTCM 3.2/GPS/NETA"},
      {"RTCM 3.2", " +2 (L1+L2)", "GPS", L"RTK", L"Town/RTK/GPS/NETA"},
      {"RTCM 3.2", "", "GPS", L"DGPS", L"Town/DGPS/NETA"},  // an empty carrier counts as 0
      {"CMR", "2", "GPS", L"CMR", L"Town/CMR/GPS/NETA"},
      {"rtcm3", "2", "GPS", L"rtcm3", L"Town/rtcm3/GPS/NETA"},  // the test is case-sensitive
  };
  testing_support::TempDir dir;
  for (const ClassCase& c : cases) {
    SCOPED_TRACE(std::string(c.format) + " carrier '" + c.carrier + "' " + c.nav);
    SourceTable table;
    ASSERT_TRUE(ReadText(dir, Net("NETA") + Str("MP", "Town", c.format, c.carrier, c.nav, "NETA") + "ENDSOURCETABLE", table));
    ASSERT_EQ(table.m_cityTable.size(), 1u);
    EXPECT_EQ(table.m_cityTable[0].format, c.expectedFormat);
    EXPECT_EQ(table.m_cityTable[0].formatRaw, std::wstring(c.format, c.format + std::char_traits<char>::length(c.format)));
    EXPECT_EQ(table.m_cityTable[0].label, c.expectedLabel);
  }
}

TEST(SourceTableStream, LinksToTheFirstNetworkWithItsIdentifier) {
  testing_support::TempDir dir;
  SourceTable table;
  // The network comes after its streams and has a twin: linking still finds
  // the first one, and a stream without network keeps empty details.
  const std::string text = Str("A", "Town", "RTCM 3.0", "2", "GPS", "NETA") + Str("B", "City", "RTCM 3.0", "2", "GPS", "NONE") +
                           Str("C", "Vill", "RTCM 3.0", "2", "GPS", "neta") + Net("NETA") +
                           "NET;NETA;Second;B;N;http://second;s;http://second-reg;m\nENDSOURCETABLE";
  ASSERT_TRUE(ReadText(dir, text, table));
  ASSERT_EQ(table.m_cityTable.size(), 3u);
  ASSERT_EQ(table.m_netTable.size(), 2u);
  const _CityTableEntry& a = table.m_cityTable[0];
  EXPECT_EQ(a.registration, L"http://reg/NETA");
  EXPECT_EQ(a.operatorName, L"Op NETA");
  EXPECT_EQ(a.details, L"http://net/NETA");
  for (size_t i : {1u, 2u}) {
    EXPECT_TRUE(table.m_cityTable[i].registration.empty() && table.m_cityTable[i].operatorName.empty() &&
                table.m_cityTable[i].details.empty())
        << i;
  }
}

TEST(SourceTableStream, LookUpsAnswerForTheFirstMatchingLabel) {
  testing_support::TempDir dir;
  SourceTable table;
  ASSERT_TRUE(ReadText(dir,
                       Str("FIRST", "Town", "RTCM 2.3", "0", "GPS", "NETA", "1") +
                           Str("SECOND", "Town", "RTCM 2.3", "0", "GPS", "NETA", "0") +
                           Str("QUIET", "Quiet", "RTCM 3.0", "2", "GPS", "NETB", "0") + "ENDSOURCETABLE",
                       table));
  bool needsNmea = false;
  EXPECT_EQ(table.GetMountpoint(L"Town/DGPS/NETA", needsNmea), L"FIRST");
  EXPECT_TRUE(needsNmea);
  EXPECT_EQ(table.GetMountpoint(L"Quiet/RTK/GPS/NETB", needsNmea), L"QUIET");
  EXPECT_FALSE(needsNmea);
  needsNmea = true;
  EXPECT_EQ(table.GetMountpoint(L"town/DGPS/NETA", needsNmea), kUpdateSourceTable);
  EXPECT_FALSE(needsNmea);
  EXPECT_EQ(table.GetNetwork(L"Quiet/RTK/GPS/NETB"), L"NETB");
  EXPECT_EQ(table.GetNetwork(L"nothing"), L"");

  // Neither look-up can be fooled into answering for the reserved texts.
  table.m_cityTable.SetLabel(0, kUpdateSourceTable);
  table.m_cityTable.SetLabel(1, L"");
  needsNmea = true;
  EXPECT_EQ(table.GetMountpoint(kUpdateSourceTable, needsNmea), kUpdateSourceTable);
  EXPECT_FALSE(needsNmea);
  EXPECT_EQ(table.GetNetwork(L""), L"");
}

TEST(SourceTableStream, NumbersAreTheFieldsLeadingDecimalNumber) {
  const struct {
    const char* field;
    std::int32_t value;
  } cases[] = {
      {"0", 0}, {"1", 1}, {"2", 2}, {"  \t-7x", -7}, {"+3", 3}, {"", 0}, {"none", 0}, {"1.5", 1},
      {"- 1", 0}, {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN}, {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN}, {"0x10", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(sourcetable::LeadingNumber(c.field), c.value) << '"' << c.field << '"';
}

TEST(SourceTableStream, FieldsDecodeAsUtf8OrOneCharacterPerByte) {
  testing_support::TempDir dir;
  SourceTable table;
  // One field in UTF-8, one in an 8-bit code page (0xFC is u-umlaut in Latin-1).
  ASSERT_TRUE(ReadText(dir, Str("MP", "\xE6\x97\xAD\xE5\xB7\x9D", "RTCM 3.0", "2", "GPS", "M\xFCnchen") + "ENDSOURCETABLE", table));
  EXPECT_EQ(table.m_cityTable.at(0).identifier, L"\u65ED\u5DDD");
  EXPECT_EQ(table.m_cityTable.at(0).network, L"M\u00FCnchen");
  EXPECT_EQ(table.m_cityTable.at(0).label, L"\u65ED\u5DDD/RTK/GPS/M\u00FCnchen");
}

}  // namespace

namespace {

std::vector<std::vector<std::wstring>> AllStreams(const SourceTable& table) {
  std::vector<std::vector<std::wstring>> all;
  for (const _CityTableEntry& e : table.m_cityTable) all.push_back(sourcetable_test::Fields(e));
  return all;
}

}  // namespace

// A table read again into the same object (after a download) refills its
// entries in place: nothing of the earlier table may show through.
TEST(SourceTableStreams, ReadingAgainGivesWhatAFreshReadGives) {
  using namespace sourcetable_test;
  const std::string big = Net("NETA") + Str("M1", "Alpha-long-identifier", "RTCM 3.0", "2", "GPS+GLO", "NETA", "1") +
                          Str("M2", "Beta", "RTCM 2.3", "0", "GPS", "NETB") +
                          Str("M3", "Gamma", "CMR", "2", "GPS", "NETA") + "ENDSOURCETABLE\n";
  const std::string small = Str("Z9", "Zeta", "RTCM 2.3", "0", "GPS", "NETZ") + "ENDSOURCETABLE\n";
  for (const auto& [first, second] : {std::pair{big, small}, std::pair{small, big}}) {
    testing_support::TempDir dir;
    SourceTable reused;
    ASSERT_TRUE(ReadText(dir, first, reused));
    ASSERT_TRUE(ReadText(dir, second, reused));
    testing_support::TempDir freshDir;
    SourceTable fresh;
    ASSERT_TRUE(ReadText(freshDir, second, fresh));
    EXPECT_EQ(AllStreams(reused), AllStreams(fresh));
  }
}
