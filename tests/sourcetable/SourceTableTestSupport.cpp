#include "SourceTableTestSupport.h"

#include "platform/Text.h"

namespace sourcetable_test {

bool ReadText(const testing_support::TempDir& dir, const std::string& text, SourceTable& table) {
  dir.Write("sourcetable.dat", text);
  table.m_strFileName = platform::WidenLocal(dir.File("sourcetable.dat"));
  return table.ReadSourceTable();
}

std::string Str(const std::string& mount, const std::string& id, const std::string& format,
                const std::string& carrier, const std::string& nav, const std::string& network,
                const std::string& nmea, const std::string& lineEnd) {
  return "STR;" + mount + ";" + id + ";" + format + ";1(1),3(10);" + carrier + ";" + nav + ";" + network +
         ";DEU;50.10;8.60;" + nmea + ";0;gen;none;N;N;2400;misc" + lineEnd;
}

std::string Net(const std::string& id, const std::string& lineEnd) {
  return "NET;" + id + ";Op " + id + ";B;N;http://net/" + id + ";http://str/" + id + ";http://reg/" + id + ";none" +
         lineEnd;
}

std::vector<std::wstring> Fields(const _CityTableEntry& e) {
  return {e.mountpoint, e.identifier, e.format, e.formatDetails, e.carrier, std::to_wstring(e.carrierValue),
          e.navSystem, e.network, e.country, e.latitude, e.longitude, e.nmea, std::to_wstring(e.nmeaValue),
          e.solution, e.generator, e.comprEncryp, e.authentication, e.fee, e.bitrate, e.misc, e.formatRaw,
          e.label, e.registration, e.operatorName, e.details};
}

}  // namespace sourcetable_test
