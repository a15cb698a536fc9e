// The source-table download. The reception thread has sent a request with
// an empty mount point and seen a source-table reply; the window reads the
// rest of the reply from the same connection into sourcetable.dat, parses it
// again and rebuilds both lists.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/FieldcastDlg.h"
#include "app/Messages.h"
#include "app/StatusTexts.h"
#include "framework/File.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace {

constexpr std::string_view kEndMarker = "ENDSOURCETABLE";
constexpr std::string_view kNoTableMarker = "NO SOURCETABLE AVAILABLE";
// Appended to a caster's refusal so the stored file ends like a table.
constexpr std::string_view kNoTableTail = ";\n ENDSOURCETABLE";
constexpr wchar_t kUpdatedStatus[] = L"Updated source table.";
constexpr wchar_t kNoTableStatus[] = L"NO SOURCETABLE AVAILABLE";
constexpr wchar_t kNotUpdatedStatus[] = L"ERROR: source table not updated";

// Watches the received bytes for the two markers. Blocks are counted bytes;
// a marker split over two blocks is found in the join of the previous block
// and the new one.
class MarkerWatch {
 public:
  // Answers the block as it is to be stored (a refusal gets the tail).
  std::string Add(std::string_view block) {
    std::string stored(block);
    const std::string joined = m_previous + stored;
    if (!m_bNoTable && joined.find(kNoTableMarker) != std::string::npos) {
      m_bNoTable = true;
      stored += kNoTableTail;
    }
    if ((m_previous + stored).find(kEndMarker) != std::string::npos) m_bEndSeen = true;
    // The longer marker less one byte is all a split marker can carry over.
    m_previous = stored.substr(stored.size() > kNoTableMarker.size() ? stored.size() - kNoTableMarker.size() : 0);
    return stored;
  }
  bool EndSeen() const { return m_bEndSeen; }
  bool NoTable() const { return m_bNoTable; }

 private:
  std::string m_previous;
  bool m_bEndSeen = false;
  bool m_bNoTable = false;
};

}  // namespace

LRESULT CFieldcastDlg::OnSourceTableReady(WPARAM run, LPARAM) {
  if (!IsCurrentRun(static_cast<unsigned>(run))) return 0;
  const std::wstring network = m_strNetwork;
  // The first block starts with the reply's status line, which is not stored.
  std::string_view first(m_socket.m_buffer, static_cast<size_t>(std::max(m_socket.m_len, 0)));
  const size_t lineEnd = first.find('\n');
  first = lineEnd == std::string_view::npos ? std::string_view() : first.substr(lineEnd + 1);

  // The new table goes to a temporary file beside the old one and replaces
  // it only once the end marker arrived: a broken download keeps the old table.
  const std::wstring temporary = m_strSourceTablePath + L".download";
  CFile file;
  if (!file.Open(temporary, CFile::modeCreate | CFile::modeWrite)) {
    platform::Trace(L"Cannot create " + temporary + L"\n");
    PostRunMessage(static_cast<unsigned>(run), WM_STREAM_STOP);
    return 0;
  }
  MarkerWatch watch;
  std::string stored = watch.Add(first);
  bool written = file.Write(stored.data(), stored.size());
  while (written && m_socket.recvMsg()) {
    stored = watch.Add(std::string_view(m_socket.m_buffer, static_cast<size_t>(m_socket.m_len)));
    written = file.Write(stored.data(), stored.size());
  }
  written = file.Close() && written;
  const bool complete = written && watch.EndSeen() &&
                        std::rename(platform::NarrowLocal(temporary).c_str(),
                                    platform::NarrowLocal(m_strSourceTablePath).c_str()) == 0;
  if (!complete) {
    std::remove(platform::NarrowLocal(temporary).c_str());
    SetRunStatus(static_cast<unsigned>(run), kNotUpdatedStatus);
    PostRunMessage(static_cast<unsigned>(run), WM_STREAM_STOP);
    return 0;
  }

  if (m_streamDetailsDlg.m_sourceTable.ReadSourceTable()) {
    FillNetworkList(network);
    FillStreamList(network, L"");
    // The stream the rebuilt list shows is the one the mount point follows.
    m_listStreams.GetText(m_listStreams.GetCurSel(), m_strStream);
    if (network != L"All" && network != L"All Unprotected" && m_strStream != kUpdateSourceTable)
      m_strStream += L"/" + network;
    bool needsNmea = false;
    m_strMountPoint.Set(m_streamDetailsDlg.m_sourceTable.GetMountpoint(m_strStream, needsNmea));
    m_bSendNmea = needsNmea;
  } else {
    m_strStatus.Set(kNoSourceTableStatus);
    EndOfRunReset();
  }
  m_strStatus.Set(watch.NoTable() ? kNoTableStatus : kUpdatedStatus);
  UpdateData(false);
  PostRunMessage(static_cast<unsigned>(run), WM_STREAM_STOP);
  return 0;
}
