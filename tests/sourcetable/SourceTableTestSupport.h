#pragma once
// Writing a table text to a fresh file and reading it with SourceTable.
#include <string>
#include <vector>

#include "sourcetable/SourceTable.h"
#include "support/TempDir.h"

namespace sourcetable_test {

// Writes `text` as "sourcetable.dat" in `dir`, points `table` at it and reads it.
bool ReadText(const testing_support::TempDir& dir, const std::string& text, SourceTable& table);

// A 19-field STR record with a line feed; the fields not named are fixed.
std::string Str(const std::string& mount, const std::string& id, const std::string& format,
                const std::string& carrier, const std::string& nav, const std::string& network,
                const std::string& nmea = "0", const std::string& lineEnd = "\n");
std::string Net(const std::string& id, const std::string& lineEnd = "\n");

// Every member of a stream entry, so entries can be compared whole.
std::vector<std::wstring> Fields(const _CityTableEntry& e);

}  // namespace sourcetable_test
