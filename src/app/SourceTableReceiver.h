#pragma once
// The source-table download after the reply's first block: the rest of the
// caster's reply goes into a fresh temporary file beside sourcetable.dat.
// It runs on the reception thread, so the window keeps answering keys, Stop
// and Exit however slowly a caster sends; Stop ends it by closing the socket.
// The window then reads the temporary file and only puts it in place when
// it reads as a table.
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "framework/TemporaryFile.h"
#include "sourcetable/SourceTable.h"  // kMaxSourceTableBytes

class TCPSocket;

struct ReceivedSourceTable {
  enum class Outcome {
    Complete,    // the end marker came; `file` holds the table
    Incomplete,  // the caster closed or fell silent for 20 s before the end marker
    TooLarge,    // more than kMaxSourceTableBytes
    NotStored,   // the temporary file could not be made or written; `problem` says why
  };
  Outcome outcome = Outcome::Incomplete;
  bool bNoTable = false;  // the caster said "NO SOURCETABLE AVAILABLE"
  std::unique_ptr<TemporaryFile> file;
  std::wstring problem;
};

// Receives from `socket` until the caster closes the connection or falls
// silent, after `firstBlock` (the reply's first block without its status
// line). The stored bytes are those received, except that a refusal gets
// ";\n ENDSOURCETABLE" appended so the file ends like a table.
ReceivedSourceTable ReceiveSourceTable(TCPSocket& socket, std::string_view firstBlock, const std::wstring& tablePath);

// Hands a received table from the reception thread to the window, tagged
// with its run: a table of a run that ended meanwhile is never applied.
class SourceTableHandover {
 public:
  void Put(unsigned run, ReceivedSourceTable table);
  std::optional<ReceivedSourceTable> Take(unsigned run);

 private:
  std::mutex m_mutex;
  unsigned m_nRun = 0;
  std::optional<ReceivedSourceTable> m_table;
};
