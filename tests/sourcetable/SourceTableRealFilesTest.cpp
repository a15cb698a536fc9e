// Every real source table in tests/data: it reads (or fails where a
// record is cut short), the tables hold as many records as the file has lines
// of each type, line ends stay only in the last field, and a few streams come
// out with the labels the stream list will show.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "platform/Text.h"
#include "sourcetable/SourceTable.h"
#include "support/TempDir.h"

namespace {

struct Spot {
  const wchar_t* label;
  const wchar_t* mountpoint;
  bool needsNmea;
};

struct RealTable {
  const char* name;  // test name: says why a file fails
  const char* file;
  bool ok;
  const char* lineEnd;
  // Lines of a type that do not become entries (records cut short), and the
  // table the failing pass stops in.
  size_t lostStr;
  bool casPassRuns;
  std::vector<Spot> spots;
};

// Counts the lines that begin with "TYPE;", independently of the parser.
size_t CountLines(const std::string& text, const std::string& type) {
  std::istringstream in(text);
  size_t count = 0;
  for (std::string line; std::getline(in, line);) count += line.rfind(type + ";", 0) == 0 ? 1 : 0;
  return count;
}

class RealTables : public testing::TestWithParam<RealTable> {};

TEST_P(RealTables, ReadAsTheRulesSay) {
  const RealTable& t = GetParam();
  const std::string path = testing_support::TestDataPath(std::string("sourcetables/") + t.file);
  const std::string text = testing_support::ReadFileBytes(path);
  ASSERT_FALSE(text.empty()) << path;

  SourceTable table;
  table.m_strFileName = platform::WidenLocal(path);
  EXPECT_EQ(table.ReadSourceTable(), t.ok);
  EXPECT_EQ(table.m_netTable.size(), CountLines(text, "NET"));
  EXPECT_EQ(table.m_cityTable.size(), CountLines(text, "STR") - t.lostStr);
  EXPECT_EQ(table.m_broadcasterTable.size(), t.casPassRuns ? CountLines(text, "CAS") : 0u);

  const std::string cr(t.lineEnd, std::char_traits<char>::length(t.lineEnd) - 1);
  const std::wstring lastFieldEnd(cr.begin(), cr.end());
  for (const _CityTableEntry& s : table.m_cityTable) {
    SCOPED_TRACE(platform::Narrow(s.mountpoint));
    EXPECT_EQ(s.misc.substr(s.misc.size() >= lastFieldEnd.size() ? s.misc.size() - lastFieldEnd.size() : 0), lastFieldEnd);
    EXPECT_EQ(s.label.find(L'\r'), std::wstring::npos);
    EXPECT_EQ(s.mountpoint.find(L'\n'), std::wstring::npos);
  }
  for (const Spot& spot : t.spots) {
    SCOPED_TRACE(platform::Narrow(spot.label));
    bool needsNmea = !spot.needsNmea;
    EXPECT_EQ(table.GetMountpoint(spot.label, needsNmea), spot.mountpoint);
    EXPECT_EQ(needsNmea, spot.needsNmea);
  }
}

INSTANTIATE_TEST_SUITE_P(
    SharedTestData, RealTables,
    testing::Values(
        RealTable{"AuscorsNtrip2HeadersShortCasUnknownType", "auscors-bkgcaster-ntrip2-2017.txt", true, "\n", 0, true,
                  {{L"Darwin Supreme Court (NT)/RTK/GPS+GLO+GAL+BDS+QZSS/NTCORS", L"00NA7", false},
                   {L"Woolloongabba (QLD)/RTK/GPS+GLO+GAL+BDS+QZSS/SunPOZ", L"WOOL4", false}}},
        RealTable{"BkgSampleWithoutMarker", "bkg-professional-ntripcaster-sample.sourcetable.dat", true, "\n", 0, true,
                  {{L"Frankfurt/DGPS/GREF", L"FFMJ2", false}, {L"teststream99/DGPS/GREF", L"rtcm_99", false}}},
        RealTable{"GbCseqCrCrLf", "gb-cseq-qnet-ntripcaster-body-2026.crcrlf.sourcetable", true, "\r\r\n", 0, true,
                  {{L"Taunton/RTK/GPS+GLONASS+GALILEO+BEIDOU/QNET", L"taunton", true},
                   {L"tiverton/RTK/GPS+GLONASS+GALILEO+BEIDOU/QNET", L"tiverton", true}}},
        RealTable{"GeortkUtf8", "geortk-japan-utf8-body-2026.sourcetable", true, "\r\n", 0, true,
                  {{L"Miki/RTK/GPS+GLO+GAL+BDS/Misc", L"geosense_f9p_rtcm", true},
                   {L"\u5317\u6D77\u9053\u5948\u4E95\u6C5F\u753A/RTK/GPS+QZSS+GLO+GAL+BDS/", L"naie", false},
                   {L"hokotashi/RTK/GPS+GLO+GAL+BDS/", L"oagmtest", false}}},
        RealTable{"IcecorsNtrip1Headers", "icecors-gnsmart-ntrip1-2026.sourcetable", true, "\r\n", 0, true,
                  {{L"AUSV_RTK/RTK/GPS+GLONASS/LMI", L"AUSV_RTK", true},
                   {L"VRS30_MSM/RTK/GPS+GLONASS+GAL/LMI", L"VRS3_MSM", true}}},
        // Its last two streams have 7 fields: the first runs into the marker,
        // so the stream pass fails there and the caster pass never runs.
        RealTable{"KoreaFailsOnSevenFieldStreamsBeforeMarker", "korea-cors-mixed-casters-body-2026.sourcetable", false,
                  "\r\n", 2, false,
                  {{L"ANHN-RTCM23/RTK/DGPS+RTK/KORREF", L"ANHN-RTCM23", false},
                   {L"YYAN-RTCM32/RTK/GPS+GLONASS+BEIDOU+GALLILEO+QZSS/Single Base", L"YYAN-RTCM32", false}}},
        RealTable{"OmanCrCrLfEmptyNetwork", "oman-corsnet-leica-spider-body-2026.crcrlf.sourcetable", true, "\r\r\n", 0,
                  true, {{L"Nearest/RTK/GPS+GLO/", L"Nearest", true}, {L"ONGD23/RTK/GPS+GLO/", L"ONGD23", true}}},
        RealTable{"RegmeNetAfterStreams", "regme-ecuador-snip-body-2026.sourcetable", true, "\r\n", 0, true,
                  {{L"Ambato/RTK//SNIP", L"Ambato-ABEC-IGM", true}, {L"SantaIsabel/RTK//SNIP", L"SantaIsabel-SIEC-IGM", true}}},
        RealTable{"RgapaCrCrLf", "rgapa-asturias-leica-spider-body-2026.crcrlf.sourcetable", true, "\r\r\n", 0, true,
                  {{L"Aviles/RTK/GPS+GLONASS/RGAPA_PRINCIPADO_ASTURIAS", L"AVL12", false},
                   {L"Vegadeo/RTK/GPS+GLO+GAL+BDS/RGAPA_PRINCIPADO_ASTURIAS", L"VEG13M", false}}},
        RealTable{"RtklibLowerCaseFormat", "rtklib-str2str-caster-reply-2022.rtkbase-pr259.txt", true, "\n", 0, true,
                  {{L"DEV/rtcm3/GPS+GLO+GAL+BDS+QZS/NONE", L"DEV", false}}},
        RealTable{"SaposGpsdHeaderAndNtrip1Headers", "sapos-advcaster-ntrip1-2017.gpsd.log", true, "\n", 0, true,
                  {{L"SAPOS_VRS_3/RTK/GPS+GLO/SAPOS-AdV", L"VRS_3_2G", true},
                   {L"SAPOS-EPS/DGNSS/GPS+GLO/SAPOS-AdV", L"EPS", true}}},
        RealTable{"SaposNiNtrip1Headers", "sapos-ni-gnsmart-ntrip1-2026.sourcetable", true, "\r\n", 0, true,
                  {{L"Openservice-VRS/RTK/GPS+GLO/SAPOS-NI", L"VRS_3_2G_NI", true},
                   {L"Openservice-VRS4/RTK/GPS+GLO+GAL+BDS/SAPOS-NI", L"VRS_3_4G_NI", true}}}),
    [](const testing::TestParamInfo<RealTable>& p) { return std::string(p.param.name); });

// Details a stream gets from its network, in tables where the network line
// comes before or after the streams.
TEST(RealTableDetails, StreamsCarryTheirNetworksAddresses) {
  struct Case {
    const char* file;
    size_t stream;
    const wchar_t* details;
    const wchar_t* operatorName;
  } cases[] = {
      {"bkg-professional-ntripcaster-sample.sourcetable.dat", 0, L"http://igs.ifag.de/GREF.htm", L"BKG"},
      {"regme-ecuador-snip-body-2026.sourcetable", 0, L"geoportaligm.gob.ec Ph.", L"Xavier Benavides C"},
  };
  for (const Case& c : cases) {
    SourceTable table;
    table.m_strFileName = platform::WidenLocal(testing_support::TestDataPath(std::string("sourcetables/") + c.file));
    ASSERT_TRUE(table.ReadSourceTable()) << c.file;
    EXPECT_EQ(table.m_cityTable.at(c.stream).details, c.details);
    EXPECT_EQ(table.m_cityTable.at(c.stream).operatorName, c.operatorName);
  }
}

}  // namespace
