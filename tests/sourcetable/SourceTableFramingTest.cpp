// How the parser finds records in a text: headers, blank lines, odd type
// fields, line ends, records cut short, missing marker, unreadable files.
#include <gtest/gtest.h>

#include <filesystem>

#include "SourceTableTestSupport.h"
#include "platform/Text.h"

namespace {

using sourcetable_test::Net;
using sourcetable_test::ReadText;
using sourcetable_test::Str;

const std::string kCas = "CAS;caster.example;2101;EX;Operator;0;DEU;50.1;8.6;fallback.example;2102;misc\n";
const std::string kStr = Str("MP01", "Town", "RTCM 2.3", "0", "GPS", "NETA");
const std::string kStr18 = "STR;MP18;Short;RTCM 3.0;1004(1);2;GPS;NETA;DEU;50;8;0;0;gen;none;N;N;9600\n";

struct FramingCase {
  const char* name;
  std::string text;
  bool ok;
  size_t cas, net, str;
};

// Each test reads its text from a file of its own.
struct WithFile {
  testing_support::TempDir dir;
  SourceTable table;
};
struct Framing : testing::TestWithParam<FramingCase>, WithFile {};
struct SourceTableFraming : testing::Test, WithFile {};

TEST_P(Framing, FindsTheRecordsTheRulesAllow) {
  const FramingCase& c = GetParam();
  EXPECT_EQ(ReadText(dir, c.text, table), c.ok);
  EXPECT_EQ(table.m_broadcasterTable.size(), c.cas);
  EXPECT_EQ(table.m_netTable.size(), c.net);
  EXPECT_EQ(table.m_cityTable.size(), c.str);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Framing,
    testing::Values(
        FramingCase{"OnlyTheMarker", "ENDSOURCETABLE", true, 0, 0, 0},
        FramingCase{"StoredRefusal", "NO SOURCETABLE AVAILABLE\r\n;\r\n ENDSOURCETABLE\r\n", true, 0, 0, 0},
        FramingCase{"EveryKind", kCas + Net("NETA") + kStr + "ENDSOURCETABLE\r\n", true, 1, 1, 1},
        // The first record joins the header lines in each pass, whatever its type.
        FramingCase{"HeadersBeforeCas", "Server: Example/1.0\r\nContent-Type: text/plain\r\n\r\n" + kCas + Net("NETA") + kStr + "ENDSOURCETABLE\r\n", true, 1, 1, 1},
        FramingCase{"HeadersBeforeNet", "Server: Example/1.0\r\n\r\n" + Net("NETA") + kStr + "ENDSOURCETABLE\r\n", true, 0, 1, 1},
        FramingCase{"HeadersBeforeStr", "Server: Example/1.0\r\n\r\n" + kStr + kCas + "ENDSOURCETABLE\r\n", true, 1, 0, 1},
        FramingCase{"BlankLinesBetweenRecords", Net("NETA") + "\n" + kStr + "\r\n" + kStr + "\n" + kCas + "ENDSOURCETABLE\n", true, 1, 1, 2},
        FramingCase{"LowerCaseTypeIsSkipped", "str;MP;Town;RTCM 2.3;x;0;GPS;N;DEU;1;2;0;0;g;c;N;N;1;m\n" + kStr + "ENDSOURCETABLE", true, 0, 0, 1},
        FramingCase{"TypeInsideALongerField", "XSTRX;MP;Town;RTCM 2.3;x;0;GPS;N;DEU;1;2;0;0;g;c;N;N;1;m\nENDSOURCETABLE", true, 0, 0, 1},
        FramingCase{"UnknownTypeIsSkipped", "SCLK00;BRDC;RTCM 3.0;x\n" + kStr + "ENDSOURCETABLE", true, 0, 0, 1},
        FramingCase{"DuplicateStreamsAreKept", kStr + kStr + "ENDSOURCETABLE", true, 0, 0, 2},
        FramingCase{"NothingAfterTheMarkerCounts", kStr + "ENDSOURCETABLE\r\n" + kStr + kCas, true, 0, 0, 1},
        // A record with a field missing swallows the line after it.
        FramingCase{"ShortStreamSwallowsTheNext", kStr18 + kStr + "ENDSOURCETABLE", true, 0, 0, 1},
        // ...and before the marker it has nothing to swallow: the read fails in
        // the stream pass and the caster pass never runs.
        FramingCase{"ShortStreamLastFails", kCas + kStr + kStr18 + "ENDSOURCETABLE\r\n", false, 0, 0, 1},
        FramingCase{"ShortNetworkFailsEarly", Net("A") + kStr + kCas + "NET;B;op\r\nENDSOURCETABLE", false, 0, 1, 0},
        FramingCase{"LinesWithoutSeparatorBeforeMarker", kStr + "\r\nENDSOURCETABLE\r\n", false, 0, 0, 0},
        // Without marker the data's end ends the text; an unterminated last
        // record is read, a cut-off one is an error, a tail with no ';' is not.
        FramingCase{"NoMarkerLastLineUnterminated", Net("NETA") + kStr + "STR;MP02;Town;RTCM 3.0;x;2;GPS;NETA;DEU;1;2;0;0;g;c;N;N;1;m", true, 0, 1, 2},
        FramingCase{"NoMarkerLastRecordCutOff", Net("NETA") + kStr + "STR;MP02;Town;RTCM", false, 0, 1, 1},
        FramingCase{"NoMarkerTrailingFragment", Net("NETA") + kStr + "garbage", true, 0, 1, 1},
        FramingCase{"EmptyFileIsNoTable", "", false, 0, 0, 0}),
    [](const testing::TestParamInfo<FramingCase>& p) { return std::string(p.param.name); });

TEST_F(SourceTableFraming, CarriageReturnsStayOnlyInTheLastField) {
  ASSERT_TRUE(ReadText(dir, kCas.substr(0, kCas.size() - 1) + "\r\n" + Net("NETA", "\r\n") +
                                Str("MP", "Town", "RTCM 3.0", "2", "GPS", "NETA", "1", "\r\n") + "ENDSOURCETABLE\r\n",
                      table));
  ASSERT_EQ(table.m_cityTable.size(), 1u);
  const _CityTableEntry& s = table.m_cityTable[0];
  EXPECT_EQ(s.misc, L"misc\r");
  EXPECT_EQ(s.bitrate, L"2400");
  EXPECT_EQ(s.label, L"Town/RTK/GPS/NETA");
  EXPECT_EQ(table.m_netTable.at(0).misc, L"none\r");
  EXPECT_EQ(table.m_broadcasterTable.at(0).rest, L"fallback.example;2102;misc\r");
  EXPECT_EQ(table.m_broadcasterTable.at(0).longitude, L"8.6");
}

TEST_F(SourceTableFraming, ExtraFieldsJoinTheLastOne) {
  ASSERT_TRUE(ReadText(dir, "CAS;h;2101;id;op;1;DEU;1;2;fb;2102;a;b;\n" + Net("N").substr(0, Net("N").size() - 1) +
                                ";x;y\nSTR;m;i;f;d;0;GPS;N;c;1;2;0;0;g;z;N;N;1;misc;20th;\nENDSOURCETABLE",
                      table));
  EXPECT_EQ(table.m_broadcasterTable.at(0).rest, L"fb;2102;a;b;");
  EXPECT_EQ(table.m_broadcasterTable.at(0).host, L"h");
  EXPECT_EQ(table.m_netTable.at(0).misc, L"none;x;y");
  EXPECT_EQ(table.m_cityTable.at(0).misc, L"misc;20th;");
}

TEST_F(SourceTableFraming, ShortStreamTakesItsTailFromTheNextLine) {
  ASSERT_TRUE(ReadText(dir, kStr18 + kStr + "ENDSOURCETABLE", table));
  const _CityTableEntry& s = table.m_cityTable.at(0);
  EXPECT_EQ(s.mountpoint, L"MP18");
  EXPECT_EQ(s.bitrate, L"9600\nSTR");
  EXPECT_EQ(s.misc, L"MP01;Town;RTCM 2.3;1(1),3(10);0;GPS;NETA;DEU;50.10;8.60;0;0;gen;none;N;N;2400;misc");
}

TEST_F(SourceTableFraming, UnopenableOrUnreadableFileIsFalseAndEmpty) {
  ASSERT_TRUE(ReadText(dir, kCas + Net("NETA") + kStr + "ENDSOURCETABLE", table));
  table.m_strFileName = platform::WidenLocal(dir.File("missing.dat"));
  EXPECT_FALSE(table.ReadSourceTable());
  EXPECT_TRUE(table.m_cityTable.empty() && table.m_netTable.empty() && table.m_broadcasterTable.empty());
  // A directory opens but every read fails: a false result, not a crash.
  std::filesystem::create_directory(dir.File("adir"));
  table.m_strFileName = platform::WidenLocal(dir.File("adir"));
  EXPECT_FALSE(table.ReadSourceTable());
  EXPECT_TRUE(table.m_cityTable.empty() && table.m_netTable.empty() && table.m_broadcasterTable.empty());
}

// No table the program stores is larger than it downloads; a larger file
// would hold the window while it is read.
TEST_F(SourceTableFraming, AFileIsReadUpToTheDownloadLimitAndNoFurther) {
  const std::string records = kCas + Net("NETA") + kStr;
  const std::string end = "ENDSOURCETABLE\n";
  constexpr size_t k16MiB = 16 * 1024 * 1024;
  for (const size_t size : {k16MiB, k16MiB + 1}) {
    SCOPED_TRACE(size);
    std::string text = records;
    text.reserve(size);
    // Lines of a type no pass reads.
    while (size - text.size() - end.size() > 200) text += "X;" + std::string(97, 'x') + "\n";
    text += "X;" + std::string(size - text.size() - end.size() - 3, 'x') + "\n" + end;
    ASSERT_EQ(text.size(), size);
    SourceTable fresh;
    EXPECT_EQ(ReadText(dir, text, fresh), size == k16MiB);
    EXPECT_EQ(fresh.m_cityTable.size(), size == k16MiB ? 1u : 0u);
  }
}

TEST_F(SourceTableFraming, DefaultFileLiesInTheProgramDirectory) {
  const std::wstring suffix = L"/sourcetable.dat";
  ASSERT_GT(table.m_strFileName.size(), suffix.size());
  EXPECT_EQ(table.m_strFileName.substr(table.m_strFileName.size() - suffix.size()), suffix);
}

}  // namespace
