#include "sourcetable/SourceTablePasses.h"

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "platform/Trace.h"
#include "sourcetable/SourceTableReader.h"
#include "sourcetable/SourceTableRecords.h"

namespace sourcetable {
namespace {

// Runs one pass: `store` gets the fields of every record of `type`.
template <std::size_t kFieldCount, typename Store>
bool RunPass(CFile& file, std::string_view type, Store store) {
  SourceTableReader reader(file);
  std::array<std::string_view, kFieldCount> fields;
  for (;;) {
    switch (reader.Next(type, fields)) {
      case SourceTableReader::Status::Record:
        store(std::span<const std::string_view>(fields));
        continue;
      case SourceTableReader::Status::End:
        return true;
      case SourceTableReader::Status::Malformed:
        platform::Trace(std::string("Source table, ") + std::string(type) + " pass: " + reader.LastProblem() + "\n");
        return false;
      case SourceTableReader::Status::ReadError:
        platform::Trace(std::string("Source table, ") + std::string(type) + " pass: read error\n");
        return false;
    }
  }
}

}  // namespace

bool ReadNetworks(CFile& file, std::vector<_NetTableEntry>& networks) {
  _NetTableEntry entry;
  return RunPass<kNetFieldCount>(file, "NET", [&](std::span<const std::string_view> fields) {
    FillNetEntry(fields, entry);
    networks.push_back(std::move(entry));
  });
}

bool ReadStreams(CFile& file, const std::vector<_NetTableEntry>& networks, CityTable& streams) {
  streams.clear();
  streams.SetNetworks(networks);
  // Index of the first network per identifier: linking stays linear in the
  // number of streams however many networks there are.
  std::unordered_map<std::wstring, int> byIdentifier;
  for (size_t i = 0; i < networks.size(); ++i) byIdentifier.try_emplace(networks[i].identifier, static_cast<int>(i));
  // One record is filled again for every stream (its texts keep their
  // storage) and stored compactly.
  _CityTableEntry entry;
  const bool ok = RunPass<kStreamFieldCount>(file, "STR", [&](std::span<const std::string_view> fields) {
    FillCityEntry(fields, entry);
    const auto found = byIdentifier.find(entry.network);
    ClassifyAndLabel(entry);
    streams.Append(entry, found == byIdentifier.end() ? -1 : found->second);
  });
  streams.ShrinkToFit();
  return ok;
}

bool ReadBroadcasters(CFile& file, std::vector<_BroadcasterTableEntry>& casters) {
  _BroadcasterTableEntry entry;
  return RunPass<kCasterFieldCount>(file, "CAS", [&](std::span<const std::string_view> fields) {
    FillBroadcasterEntry(fields, entry);
    casters.push_back(std::move(entry));
  });
}

}  // namespace sourcetable
