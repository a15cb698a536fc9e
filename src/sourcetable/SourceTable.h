#pragma once
// SourceTable: the caster's source table as read from "sourcetable.dat":
// the streams, networks and casters in file order, each stream linked to its
// network and given a format class and a label for the stream list.
// Used on the user-interface thread only; it takes no lock.
#include <cstddef>
#include <string>
#include <vector>

#include "sourcetable/CityTable.h"
#include "sourcetable/SourceTableEntries.h"

// The stream list's first entry. As a look-up result it means "no stream is
// chosen": a connection then fetches the source table.
inline constexpr wchar_t kUpdateSourceTable[] = L"Update source table";

// Real tables are well below 1 MB (a large national caster: 300 kB). A
// caster that sends more never stops on its own, and a larger
// sourcetable.dat is none the program stored: reading it would hold the
// window for as long as it takes.
inline constexpr std::size_t kMaxSourceTableBytes = 16 * 1024 * 1024;

class SourceTable {
 public:
  // Empty tables; the file is "sourcetable.dat" in the program's directory.
  SourceTable();
  virtual ~SourceTable();

  // Empties the tables and reads m_strFileName into them: NET, then STR (so
  // every stream finds its network), then CAS. False when the file cannot be
  // opened or read, is not a regular file or larger than
  // kMaxSourceTableBytes, is empty, or a record is cut short; the tables
  // then keep what the passes had read before the failure.
  [[nodiscard]] bool ReadSourceTable();

  // The mount point of the first stream with this label, and whether it wants
  // the client's position; kUpdateSourceTable (and false) for that label
  // itself or when no stream has it.
  std::wstring GetMountpoint(const std::wstring& label, bool& needsNmea) const;

  // The network of the first stream with this label; empty for an empty label
  // or when no stream has it.
  std::wstring GetNetwork(const std::wstring& label) const;

  CityTable m_cityTable;  // STR records, file order, duplicates kept; reads like a vector
  _CityTableEntry m_currentCity;             // users copy the element they work on here
  std::vector<_NetTableEntry> m_netTable;    // NET records, file order
  _NetTableEntry m_currentNet;
  std::vector<_BroadcasterTableEntry> m_broadcasterTable;  // CAS records, file order
  _BroadcasterTableEntry m_currentBroadcaster;
  std::wstring m_strFileName;  // full path of the table file

 private:
  // The index of the first stream with this label, or the table's size.
  std::size_t FindByLabel(const std::wstring& label) const;
};
