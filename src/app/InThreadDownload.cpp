// The reception thread's part of a source-table download: it receives the
// table, so the window never waits on a caster.
#include <algorithm>
#include <string_view>

#include "app/FieldcastDlg.h"
#include "app/Messages.h"
#include "app/WorkerThreads.h"

void InThread::OnDownloadSourceTable(unsigned run) {
  TCPSocket& socket = m_pDlg->m_socket;
  // The first block starts with the reply's status line, which is not stored.
  std::string_view first(socket.m_buffer, static_cast<size_t>(std::max(socket.m_len, 0)));
  const size_t lineEnd = first.find('\n');
  first = lineEnd == std::string_view::npos ? std::string_view() : first.substr(lineEnd + 1);
  ReceivedSourceTable table = ReceiveSourceTable(socket, first, m_pDlg->m_strSourceTablePath);
  // A run stopped meanwhile takes its temporary file with it.
  if (!m_pDlg->IsCurrentRun(run)) return;
  m_pDlg->m_receivedTable.Put(run, std::move(table));
  m_pDlg->PostRunMessage(run, WM_SOURCETABLE_READY);
}
