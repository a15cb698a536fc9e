#pragma once
// SourceTableReader: walks a source-table text (caster reply stored on disk,
// "sourcetable.dat" or "CorvoNet.ini") record by record, with the line and
// block rules every reader of such a text shares:
//  - the file is read in blocks of at most 3999 bytes; the first block that
//    comes back shorter is the last one, and the text ends right after the
//    first "ENDSOURCETABLE" in what is held at that moment;
//  - fields are separated by ';' with no quoting; a record's type field runs
//    from the cursor to the first ';' even across lines without any ';'
//    (header lines, blank lines), and a record is recognised when its type
//    field contains the wanted three letters anywhere;
//  - the last field of a record runs to the line feed; a carriage return in
//    front of it stays in the field; extra fields join the last one;
//  - a missing ';' makes the searches run on into the next lines, exactly as
//    if the line feed were an ordinary character.
// Where a search reaches the end of a block, the unfinished record is carried
// to the front of the buffer and the next block is appended behind it, so a
// record reads the same wherever the block boundaries fall.
#include <cstddef>
#include <span>
#include <string_view>

class CFile;

class SourceTableReader {
 public:
  enum class Status {
    Record,     // `fields` holds the next record of the wanted type
    End,        // the text is over
    Malformed,  // a separator is missing, a line is too long, or the file is empty
    ReadError,  // the file layer reported an error
  };

  // Longest line the format allows, its line feed included (bytes).
  static constexpr std::size_t kMaxLineBytes = 4000;
  // Bytes asked for per read. Only a block that comes back shorter is searched
  // for the end marker, so every reader of these texts must use the same size.
  static constexpr std::size_t kBlockBytes = 3999;

  // `file` is open for reading and positioned where the text starts; it must
  // outlive the reader. Each pass over a file uses a fresh reader.
  explicit SourceTableReader(CFile& file);
  SourceTableReader(const SourceTableReader&) = delete;
  SourceTableReader& operator=(const SourceTableReader&) = delete;

  // Moves on to the next record whose type field contains `type` and splits it
  // into fields.size() fields (at least 2): fields[0] is the type field, the
  // last one runs to the line feed. The views point into the reader's buffer
  // and stay valid until the next call.
  [[nodiscard]] Status Next(std::string_view type, std::span<std::string_view> fields);

  // Where the last Malformed answer came from, for the debug trace.
  const char* LastProblem() const { return m_problem; }

 private:
  enum class Step { Parsed, Skipped, NeedMore, Done, Broken };

  Step TryRecord(std::string_view type, std::span<std::string_view> fields);
  Step SplitFields(const char* afterType, std::span<std::string_view> fields);
  // Moves the unfinished rest to the buffer's front and appends the next block.
  Status CarryAndRead();
  // Appends up to kBlockBytes at m_end; marks the last block and cuts the text
  // after the end marker.
  bool ReadBlock();
  const char* Find(const char* from, char wanted) const;

  // The longest line that may be carried plus one block behind it (bytes);
  // searches use lengths, so no terminator byte is needed.
  static constexpr std::size_t kBufferBytes = kMaxLineBytes + kBlockBytes;

  CFile& m_file;
  char m_buffer[kBufferBytes];
  const char* m_cursor = m_buffer;
  const char* m_end = m_buffer;
  bool m_started = false;
  bool m_lastBlock = false;  // no more bytes will come after m_end
  bool m_markerCut = false;  // the text was cut after "ENDSOURCETABLE"
  const char* m_problem = "";
};
