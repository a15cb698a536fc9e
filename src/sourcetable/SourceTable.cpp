#include "sourcetable/SourceTable.h"

#include "platform/ModuleDir.h"
#include "sourcetable/SourceTablePasses.h"

SourceTable::SourceTable() : m_strFileName(platform::ModulePath(L"sourcetable.dat")) {}

SourceTable::~SourceTable() = default;

bool SourceTable::ReadSourceTable() {
  // The stream table is refilled in place by the stream pass (which also
  // drops what it does not refill); the other two are small.
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

const _CityTableEntry* SourceTable::FindByLabel(const std::wstring& label) const {
  for (const _CityTableEntry& entry : m_cityTable) {
    if (entry.label == label) return &entry;
  }
  return nullptr;
}

std::wstring SourceTable::GetMountpoint(const std::wstring& label, bool& needsNmea) const {
  needsNmea = false;
  if (label == kUpdateSourceTable) return kUpdateSourceTable;
  const _CityTableEntry* entry = FindByLabel(label);
  if (entry == nullptr) return kUpdateSourceTable;
  needsNmea = entry->nmeaValue != 0;
  return entry->mountpoint;
}

std::wstring SourceTable::GetNetwork(const std::wstring& label) const {
  if (label.empty()) return {};
  const _CityTableEntry* entry = FindByLabel(label);
  return entry == nullptr ? std::wstring() : entry->network;
}
