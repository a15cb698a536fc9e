#pragma once
// One pass over a source-table file per record type. Each appends to its table
// at the tail and answers false when the file cannot be read or a record is
// cut short; what was appended before stays.
#include <vector>

#include "framework/File.h"
#include "sourcetable/CityTable.h"
#include "sourcetable/SourceTableEntries.h"

namespace sourcetable {

// `file` is open and positioned at the start of the text.
[[nodiscard]] bool ReadNetworks(CFile& file, std::vector<_NetTableEntry>& networks);
// Links every stream to the first network of `networks` with its identifier.
// The stream table is emptied first.
[[nodiscard]] bool ReadStreams(CFile& file, const std::vector<_NetTableEntry>& networks, CityTable& streams);
[[nodiscard]] bool ReadBroadcasters(CFile& file, std::vector<_BroadcasterTableEntry>& casters);

}  // namespace sourcetable
