// The caster records both caster dialogs list, read with the source table's
// block reader from hostile and real files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/CasterListReader.h"
#include "platform/Text.h"
#include "support/TempDir.h"

using testing_support::TempDir;

namespace {

constexpr char kTail[] = ";id;op;0;DEU;50.0;8.0;misc";

std::vector<std::wstring> Read(const std::string& content, bool& ok) {
  TempDir dir;
  dir.Write("list.dat", content);
  std::vector<CasterListEntry> entries;
  ok = ReadCasterList(platform::WidenLocal(dir.File("list.dat")), entries);
  std::vector<std::wstring> texts;
  for (const CasterListEntry& entry : entries) texts.push_back(CasterEntryText(entry));
  return texts;
}

struct ReaderCase {
  const char* legend;
  std::string content;
  bool ok;
  std::vector<std::wstring> entries;
};

TEST(CasterListReader, ReadsCasterRecordsAndStopsSafelyOnBrokenOnes) {
  const std::string longLine = "CAS;" + std::string(9000, 'x') + ";2101" + kTail + "\n";
  const ReaderCase cases[] = {
      {"file order and duplicates kept; header lines without ';' join the first record",
       std::string("SOURCETABLE 200 OK\r\nServer: x\r\n\r\nCAS;b.example;2101") + kTail + "\r\n" +
           "STR;MP;Town;RTCM 3.2;1004;2;GPS;N;DEU;50;8;0;0;g;n;N;N;9600;x\r\n" + "CAS;a.example;80" + kTail +
           ";fallback;2102\r\n" + "CAS;b.example;2101" + kTail + "\r\nENDSOURCETABLE\r\n",
       true,
       {L"b.example:2101", L"a.example:80", L"b.example:2101"}},
      {"a record short of fields runs into the marker: the ones before it stay",
       std::string("CAS;h1;1") + kTail + "\nCAS;h2;2\nENDSOURCETABLE\n", false, {L"h1:1"}},
      {"no end marker: the text ends with the data", std::string("CAS;h;1") + kTail + "\n", true, {L"h:1"}},
      {"a line longer than the format allows", longLine + "ENDSOURCETABLE\n", false, {}},
      {"a line without any ';' up to the end", std::string("CAS;h;1") + kTail + "\nno separator here\n", false,
       {L"h:1"}},
      {"control characters are dropped, UTF-8 decoded, other bytes one character each",
       std::string("CAS;h\x1b[2Jost\x85;21\n01") + kTail + "\nCAS;t\xc5\x8dky\xc5\x8d.jp;1" + kTail +
           "\nCAS;caf\xe9;2" + kTail + "\nENDSOURCETABLE",
       true,
       {L"h[2Jost:2101", L"t\u014Dky\u014D.jp:1", L"caf\u00E9:2"}},
  };
  for (const ReaderCase& c : cases) {
    bool ok = false;
    EXPECT_EQ(Read(c.content, ok), c.entries) << c.legend;
    EXPECT_EQ(ok, c.ok) << c.legend;
  }
}

TEST(CasterListReader, RealTableListsItsCastersInFileOrder) {
  std::vector<CasterListEntry> entries;
  ASSERT_TRUE(ReadCasterList(
      platform::WidenLocal(testing_support::TestDataPath("sourcetables/sapos-advcaster-ntrip1-2017.gpsd.log")),
      entries));
  ASSERT_EQ(entries.size(), 15u);
  EXPECT_EQ(CasterEntryText(entries.front()), L"www.sapos.geonord.de:2101");
  EXPECT_EQ(CasterEntryText(entries[1]), L"www.sapos.geonord.de:2101");
  EXPECT_EQ(CasterEntryText(entries.back()), L"www.sapos-th-ntrip.de:2101");
}

}  // namespace
