#include "sourcetable/SourceTable.h"

#include "platform/ModuleDir.h"
#include "sourcetable/SourceTablePasses.h"

SourceTable::SourceTable() : m_strFileName(platform::ModulePath(L"sourcetable.dat")) {}

SourceTable::~SourceTable() = default;

bool SourceTable::ReadSourceTable() {
  // The stream pass empties the stream table itself.
  m_netTable.clear();
  m_broadcasterTable.clear();
  CFile file;
  if (!file.Open(m_strFileName, CFile::modeRead)) {
    m_cityTable.clear();
    return false;
  }
  // Networks first, so that the stream pass can link every stream.
  bool ok = sourcetable::ReadNetworks(file, m_netTable) && file.SeekToBegin();
  if (!ok) m_cityTable.clear();
  ok = ok && sourcetable::ReadStreams(file, m_netTable, m_cityTable) && file.SeekToBegin() &&
       sourcetable::ReadBroadcasters(file, m_broadcasterTable);
  file.Close();
  return ok;
}

std::size_t SourceTable::FindByLabel(const std::wstring& label) const { return m_cityTable.FindLabel(label); }

std::wstring SourceTable::GetMountpoint(const std::wstring& label, bool& needsNmea) const {
  needsNmea = false;
  if (label == kUpdateSourceTable) return kUpdateSourceTable;
  const std::size_t found = FindByLabel(label);
  if (found == m_cityTable.size()) return kUpdateSourceTable;
  needsNmea = m_cityTable.NmeaValue(found) != 0;
  return m_cityTable.Mountpoint(found);
}

std::wstring SourceTable::GetNetwork(const std::wstring& label) const {
  if (label.empty()) return {};
  const std::size_t found = FindByLabel(label);
  return found == m_cityTable.size() ? std::wstring() : m_cityTable.Network(found);
}
