#include "sourcetable/SourceTable.h"

#include <cerrno>
#include <system_error>

#include "platform/ModuleDir.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "sourcetable/SourceTablePasses.h"

SourceTable::SourceTable() : m_strFileName(platform::ModulePath(L"sourcetable.dat")) {}

SourceTable::~SourceTable() = default;

bool SourceTable::ReadSourceTable() {
  // The stream pass empties the stream table itself.
  m_netTable.clear();
  m_broadcasterTable.clear();
  CFile file;
  const bool opened = file.Open(m_strFileName, CFile::modeRead);
  if (!opened || file.GetLength() > kMaxSourceTableBytes) {
    const int error = errno;
    if (opened) platform::Trace(L"Cannot read " + m_strFileName + L": larger than any table the program stores\n");
    else if (error == EINVAL) platform::Trace(L"Cannot read " + m_strFileName + L": not a regular file\n");
    else if (error != ENOENT)
      platform::Trace("Cannot read " + platform::NarrowLocal(m_strFileName) + ": " +
                      std::error_code(error, std::generic_category()).message() + "\n");
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
