// The end of a source-table download. The reception thread has received
// the table into a temporary file beside sourcetable.dat; the window reads
// it, puts it in place only when it reads as a table, and rebuilds both
// lists. Anything less keeps the old file, the old table and the lists.
#include <string>

#include "app/FailureReason.h"
#include "app/FieldcastDlg.h"
#include "app/Messages.h"
#include "app/StatusTexts.h"
#include "platform/Text.h"

namespace {

constexpr wchar_t kUpdatedStatus[] = L"Updated source table.";
constexpr wchar_t kNoTableStatus[] = L"NO SOURCETABLE AVAILABLE";
constexpr wchar_t kNotUpdatedStatus[] = L"ERROR: source table not updated";
constexpr wchar_t kTooLargeStatus[] = L"ERROR: source table over 16 MB";
constexpr wchar_t kNotStoredStatus[] = L"ERROR: source table could not be stored";

bool IsOneNetwork(const std::wstring& network) { return network != L"All" && network != L"All Unprotected"; }

}  // namespace

LRESULT CFieldcastDlg::OnSourceTableReady(WPARAM run, LPARAM) {
  // Taken even for a run that has ended, so its temporary file goes now.
  std::optional<ReceivedSourceTable> received = m_receivedTable.Take(static_cast<unsigned>(run));
  if (!received || !IsCurrentRun(static_cast<unsigned>(run))) return 0;
  SetRunStatus(static_cast<unsigned>(run), ApplyReceivedSourceTable(*received));
  PostRunMessage(static_cast<unsigned>(run), WM_STREAM_STOP);
  return 0;
}

std::wstring CFieldcastDlg::ApplyReceivedSourceTable(ReceivedSourceTable& received) {
  using Outcome = ReceivedSourceTable::Outcome;
  switch (received.outcome) {
    case Outcome::Incomplete:
      return kNotUpdatedStatus;
    case Outcome::TooLarge:
      return kTooLargeStatus;
    case Outcome::NotStored:
      ReportFailureReason(platform::NarrowLocal(L"cannot store the source table beside " + m_strSourceTablePath + L": " + received.problem));
      return kNotStoredStatus;
    case Outcome::Complete:
      break;
  }
  SourceTable& table = m_streamDetailsDlg.m_sourceTable;
  table.m_strFileName = platform::WidenLocal(received.file->Path());
  const bool readable = table.ReadSourceTable();
  table.m_strFileName = m_strSourceTablePath;
  const bool stored = readable && received.file->Commit();
  if (!stored) {
    // The lists still show the old table: read it again so they match it.
    (void)table.ReadSourceTable();
    if (!readable) return kNoSourceTableStatus;
    ReportFailureReason(platform::NarrowLocal(L"cannot store " + m_strSourceTablePath + L": " + received.file->ErrorText()));
    return kNotStoredStatus;
  }
  ShowListsOfNewTable();
  return received.bNoTable ? kNoTableStatus : kUpdatedStatus;
}

// As at start-up: the streams follow the network the list shows, so a
// network the new table no longer has leaves both lists on "All".
void CFieldcastDlg::ShowListsOfNewTable() {
  FillNetworkList(m_strNetwork);
  m_listNetworks.GetText(m_listNetworks.GetCurSel(), m_strNetwork);
  FillStreamList(m_strNetwork, L"");
  // The stream the rebuilt list shows is the one the mount point follows.
  m_listStreams.GetText(m_listStreams.GetCurSel(), m_strStream);
  if (IsOneNetwork(m_strNetwork) && m_strStream != kUpdateSourceTable) m_strStream += L"/" + m_strNetwork;
  bool needsNmea = false;
  m_strMountPoint.Set(m_streamDetailsDlg.m_sourceTable.GetMountpoint(m_strStream, needsNmea));
  m_bSendNmea = needsNmea;
  UpdateData(false);
}
