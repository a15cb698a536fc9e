#include "sourcetable/SourceTableReader.h"

#include <cstring>

#include "framework/File.h"

namespace {

constexpr std::string_view kEndMarker = "ENDSOURCETABLE";

}  // namespace

SourceTableReader::SourceTableReader(CFile& file) : m_file(file) {}

const char* SourceTableReader::Find(const char* from, char wanted) const {
  return static_cast<const char*>(std::memchr(from, wanted, static_cast<std::size_t>(m_end - from)));
}

bool SourceTableReader::ReadBlock() {
  char* const tail = m_buffer + (m_end - m_buffer);
  const long got = m_file.Read(tail, kBlockBytes);
  if (got < 0) return false;
  m_end = tail + got;
  if (static_cast<std::size_t>(got) < kBlockBytes) {
    m_lastBlock = true;
    // The marker may sit in the carried part, so search everything held.
    const std::string_view held(m_buffer, static_cast<std::size_t>(m_end - m_buffer));
    const std::size_t marker = held.find(kEndMarker);
    if (marker != std::string_view::npos) {
      m_end = m_buffer + marker + kEndMarker.size();
      m_markerCut = true;
    }
  }
  return true;
}

SourceTableReader::Status SourceTableReader::CarryAndRead() {
  const auto rest = static_cast<std::size_t>(m_end - m_cursor);
  if (rest > kMaxLineBytes) {
    m_problem = "a line is longer than 4000 bytes";
    return Status::Malformed;
  }
  std::memmove(m_buffer, m_cursor, rest);
  m_cursor = m_buffer;
  m_end = m_buffer + rest;
  if (!ReadBlock()) return Status::ReadError;
  return Status::Record;
}

SourceTableReader::Status SourceTableReader::Next(std::string_view type, std::span<std::string_view> fields) {
  if (fields.size() < 2) {
    m_problem = "a record needs at least two fields";
    return Status::Malformed;
  }
  if (!m_started) {
    m_started = true;
    if (!ReadBlock()) return Status::ReadError;
    if (m_end == m_buffer) {
      m_problem = "the text is empty";
      return Status::Malformed;
    }
  }
  for (;;) {
    switch (TryRecord(type, fields)) {
      case Step::Parsed: return Status::Record;
      case Step::Skipped: continue;
      case Step::Done: return Status::End;
      case Step::Broken: return Status::Malformed;
      case Step::NeedMore: {
        const Status carried = CarryAndRead();
        if (carried != Status::Record) return carried;
        continue;
      }
    }
  }
}

// Works on the text from the cursor to m_end. Whenever a search runs off the
// end of a block that is not the last, the record is retried with more bytes.
SourceTableReader::Step SourceTableReader::TryRecord(std::string_view type, std::span<std::string_view> fields) {
  const char* const start = m_cursor;
  const bool hasLineFeed = Find(start, '\n') != nullptr;
  if (!hasLineFeed) {
    if (!m_lastBlock) return Step::NeedMore;
    // The marker's own line, or an unterminated last line of a text without
    // marker that holds no record.
    if (m_markerCut || Find(start, ';') == nullptr) return Step::Done;
  }
  const char* const semicolon = Find(start, ';');
  if (semicolon == nullptr) {
    if (!m_lastBlock) return Step::NeedMore;
    m_problem = "lines without any ';' before the end of the text";
    return Step::Broken;
  }
  const std::string_view typeField(start, static_cast<std::size_t>(semicolon - start));
  if (typeField.find(type) == std::string_view::npos) {
    const char* const lineFeed = Find(semicolon, '\n');
    if (lineFeed == nullptr) return m_lastBlock ? Step::Done : Step::NeedMore;
    m_cursor = lineFeed + 1;
    return Step::Skipped;
  }
  fields[0] = typeField;
  return SplitFields(semicolon + 1, fields);
}

SourceTableReader::Step SourceTableReader::SplitFields(const char* field, std::span<std::string_view> fields) {
  const std::size_t last = fields.size() - 1;
  for (std::size_t i = 1; i < last; ++i) {
    const char* const separator = Find(field, ';');
    if (separator == nullptr) {
      if (!m_lastBlock) return Step::NeedMore;
      m_problem = "a record has too few fields";
      return Step::Broken;
    }
    fields[i] = std::string_view(field, static_cast<std::size_t>(separator - field));
    field = separator + 1;
  }
  const char* const lineFeed = Find(field, '\n');
  if (lineFeed != nullptr) {
    fields[last] = std::string_view(field, static_cast<std::size_t>(lineFeed - field));
    m_cursor = lineFeed + 1;
    return Step::Parsed;
  }
  if (!m_lastBlock) return Step::NeedMore;
  if (m_markerCut) {
    m_problem = "the last record runs into the end marker";
    return Step::Broken;
  }
  // A text without end marker ends where the data ends, last line included.
  fields[last] = std::string_view(field, static_cast<std::size_t>(m_end - field));
  m_cursor = m_end;
  return Step::Parsed;
}
