#include "app/SourceTableReceiver.h"

#include <utility>

#include "net/TCPSocket.h"

namespace {

constexpr std::string_view kEndMarker = "ENDSOURCETABLE";
constexpr std::string_view kNoTableMarker = "NO SOURCETABLE AVAILABLE";
// Appended to a caster's refusal so the stored file ends like a table.
constexpr std::string_view kNoTableTail = ";\n ENDSOURCETABLE";

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

ReceivedSourceTable ReceiveSourceTable(TCPSocket& socket, std::string_view firstBlock, const std::wstring& tablePath) {
  using Outcome = ReceivedSourceTable::Outcome;
  ReceivedSourceTable result;
  auto end = [&result](Outcome outcome) {
    result.outcome = outcome;
    if (outcome == Outcome::NotStored) result.problem = result.file->ErrorText();
    if (outcome != Outcome::Complete) result.file.reset();  // removes the temporary file
    return std::move(result);
  };
  result.file = std::make_unique<TemporaryFile>(tablePath, 0644);
  MarkerWatch watch;
  std::size_t total = 0;
  std::string_view block = firstBlock;
  for (;;) {
    const std::string stored = watch.Add(block);
    total += stored.size();
    if (total > kMaxSourceTableBytes) return end(Outcome::TooLarge);
    if (!result.file->Write(stored.data(), stored.size())) return end(Outcome::NotStored);
    // Everything the caster sends until it closes is stored, even after the
    // end marker; a receive that fails (closed, stopped, or 20 s without
    // data) ends the download.
    if (!socket.recvMsg()) break;
    block = std::string_view(socket.m_buffer, static_cast<std::size_t>(socket.m_len));
  }
  if (!watch.EndSeen()) return end(Outcome::Incomplete);
  if (!result.file->Finish()) return end(Outcome::NotStored);
  result.bNoTable = watch.NoTable();
  return end(Outcome::Complete);
}

void SourceTableHandover::Put(unsigned run, ReceivedSourceTable table) {
  std::lock_guard lock(m_mutex);
  m_nRun = run;
  m_table = std::move(table);
}

std::optional<ReceivedSourceTable> SourceTableHandover::Take(unsigned run) {
  std::lock_guard lock(m_mutex);
  if (!m_table || m_nRun != run) return std::nullopt;
  std::optional<ReceivedSourceTable> table = std::move(m_table);
  m_table.reset();
  return table;
}
