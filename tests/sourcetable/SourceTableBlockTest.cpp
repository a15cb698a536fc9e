// The file is read in 3999-byte blocks: a record must read the same wherever
// the block boundaries fall, and no input may make the reader overrun.
#include <gtest/gtest.h>

#include "SourceTableTestSupport.h"
#include "sourcetable/SourceTableReader.h"

namespace {

using sourcetable_test::Net;
using sourcetable_test::ReadText;
using sourcetable_test::Str;

constexpr size_t kBlock = SourceTableReader::kBlockBytes;

const std::string kCas = "CAS;caster.example;2101;EX;Operator;0;DEU;50.1;8.6;fb;2102;misc\r\n";
// '%' in several fields: a conversion that treats fields as format strings
// would mangle exactly these.
const std::string kPercentStr = Str("MP%d", "To%wn%s", "RTCM 3.0", "2", "GPS%n", "NETA", "1", "\r\n");

// A line the passes skip, `length` bytes long with its line feed.
std::string Filler(size_t length) { return "XXX;" + std::string(length - 5, 'x') + "\n"; }

// Pads `head` with skipped lines so that the next byte lies at `offset`.
std::string PadTo(std::string head, size_t offset) {
  while (head.size() + 1000 < offset) head += Filler(900);
  if (head.size() + 5 > offset) return head + std::string(offset - head.size(), '\n');
  return head + Filler(offset - head.size());
}

void ExpectSameTables(const SourceTable& expected, const SourceTable& actual) {
  ASSERT_EQ(actual.m_cityTable.size(), expected.m_cityTable.size());
  ASSERT_EQ(actual.m_netTable.size(), expected.m_netTable.size());
  ASSERT_EQ(actual.m_broadcasterTable.size(), expected.m_broadcasterTable.size());
  for (size_t i = 0; i < expected.m_cityTable.size(); ++i) {
    const _CityTableEntry& e = expected.m_cityTable[i];
    const _CityTableEntry& a = actual.m_cityTable[i];
    EXPECT_EQ(a.mountpoint, e.mountpoint);
    EXPECT_EQ(a.identifier, e.identifier);
    EXPECT_EQ(a.navSystem, e.navSystem);
    EXPECT_EQ(a.label, e.label);
    EXPECT_EQ(a.misc, e.misc);
    EXPECT_EQ(a.nmeaValue, e.nmeaValue);
    EXPECT_EQ(a.details, e.details);
  }
  for (size_t i = 0; i < expected.m_broadcasterTable.size(); ++i) {
    EXPECT_EQ(actual.m_broadcasterTable[i].host, expected.m_broadcasterTable[i].host);
    EXPECT_EQ(actual.m_broadcasterTable[i].rest, expected.m_broadcasterTable[i].rest);
  }
}

TEST(SourceTableBlocks, RecordsReadTheSameAcrossEveryBoundaryPosition) {
  testing_support::TempDir dir;
  SourceTable reference;
  ASSERT_TRUE(ReadText(dir, Net("NETA") + kPercentStr + kCas + "ENDSOURCETABLE\r\n", reference));
  ASSERT_EQ(reference.m_cityTable.at(0).identifier, L"To%wn%s");
  ASSERT_EQ(reference.m_cityTable.at(0).label, L"To%wn%s/RTK/GPS%n/NETA");

  // Before the record, optionally a line without ';' that the record's type
  // field swallows: then the skip or the type search crosses the boundary too.
  for (const std::string& joined : {std::string(), std::string("Header line\r\n\r\n")}) {
    const std::string tail = joined + kPercentStr + kCas + "ENDSOURCETABLE\r\n";
    for (size_t start = kBlock - tail.size() - 2; start <= kBlock + 2; ++start) {
      SCOPED_TRACE("record starts at byte " + std::to_string(start) + (joined.empty() ? "" : " after a header"));
      SourceTable table;
      ASSERT_TRUE(ReadText(dir, PadTo(Net("NETA"), start) + tail, table));
      ExpectSameTables(reference, table);
    }
  }
}

TEST(SourceTableBlocks, MarkerAtTheEndOfAFullBlockEndsTheText) {
  testing_support::TempDir dir;
  const std::string records = Net("NETA") + kPercentStr + kCas;
  for (size_t blocks : {1u, 2u}) {
    const std::string marker = "ENDSOURCETABLE\r\n";
    const std::string text = PadTo(records, blocks * kBlock - marker.size()) + marker;
    ASSERT_EQ(text.size(), blocks * kBlock);
    SourceTable table;
    EXPECT_TRUE(ReadText(dir, text, table)) << blocks;
    EXPECT_EQ(table.m_cityTable.size(), 1u);
    EXPECT_EQ(table.m_broadcasterTable.size(), 1u);
  }
}

TEST(SourceTableBlocks, OnlyTheMarkerInTheLastBlockEndsTheText) {
  testing_support::TempDir dir;
  SourceTable table;
  // A marker early in a full first block: the records behind it still count,
  // and the marker in the short last block ends the text.
  const std::string text = PadTo(Net("NETA") + "ENDSOURCETABLE\r\n", kBlock + 10) + kPercentStr +
                           "ENDSOURCETABLE\r\n" + kPercentStr;
  ASSERT_TRUE(ReadText(dir, text, table));
  EXPECT_EQ(table.m_netTable.size(), 1u);
  EXPECT_EQ(table.m_cityTable.size(), 1u);
}

TEST(SourceTableBlocks, LinesUpToTheLimitAreReadLongerOnesRefused) {
  testing_support::TempDir dir;
  const size_t limit = SourceTableReader::kMaxLineBytes;
  const std::string longStr = Str("LONG", "Town", "RTCM 3.0", "2", "GPS", "NETA");
  const std::string longest = longStr.substr(0, longStr.size() - 1) + std::string(limit - longStr.size(), 'm') + "\n";
  ASSERT_EQ(longest.size(), limit);
  for (size_t start : {size_t{0}, size_t{200}, kBlock - 1, kBlock + 1}) {
    SCOPED_TRACE("line starts at byte " + std::to_string(start));
    SourceTable table;
    const std::string head = start == 0 ? std::string() : PadTo(std::string(), start);
    ASSERT_TRUE(ReadText(dir, head + longest + kCas + "ENDSOURCETABLE", table));
    ASSERT_EQ(table.m_cityTable.size(), 1u);
    EXPECT_EQ(table.m_cityTable[0].misc.size(), limit - longStr.size() + 4);
    EXPECT_EQ(table.m_broadcasterTable.size(), 1u);
  }
  for (const std::string& tooLong : {std::string(3 * kBlock, 'x'), "STR;" + std::string(9000, ';'),
                                     std::string(9000, '\n') + kPercentStr}) {
    SourceTable table;
    EXPECT_FALSE(ReadText(dir, tooLong + "\nENDSOURCETABLE", table));
  }
}

}  // namespace
