// The reception thread's part of a source-table download: it receives the
// table, so the window never waits on a caster.
#include <algorithm>
#include <string_view>

#include "app/FieldcastDlg.h"
#include "app/Messages.h"
#include "app/WorkerThreads.h"
#include "net/HttpReplyHead.h"
#include "net/NtripReplyHead.h"

void InThread::OnDownloadSourceTable(unsigned run) {
  TCPSocket& socket = m_pDlg->m_socket;
  // The first block starts with the reply's status line, which is not stored.
  std::string first;
  if (IsHttpReply(m_strReply)) {
    // An HTTP head is not stored either, and the body comes unframed.
    const ReplyBodyStart start = BodyStartOf(m_strReply);
    first = socket.BeginBody(start.body, std::string_view(m_strReply).substr(start.offset));
  } else {
    const size_t lineEnd = m_strReply.find('\n');
    if (lineEnd != std::string::npos) first = m_strReply.substr(lineEnd + 1);
  }
  ReceivedSourceTable table = ReceiveSourceTable(socket, first, m_pDlg->m_strSourceTablePath);
  // A run stopped meanwhile takes its temporary file with it.
  if (!m_pDlg->IsCurrentRun(run)) return;
  m_pDlg->m_receivedTable.Put(run, std::move(table));
  m_pDlg->PostRunMessage(run, WM_SOURCETABLE_READY);
}
