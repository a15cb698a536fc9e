#include "dialogs/CasterListReader.h"

#include <array>
#include <cstdint>

#include "framework/File.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "sourcetable/SourceTableReader.h"
#include "sourcetable/SourceTableRecords.h"

namespace {

// C0 and C1 controls (line feeds of a record that ran on into the next line,
// escape sequences) are dropped: what is left is what the screen can show
// and a settings line can hold.
std::wstring PrintableText(std::string_view field) {
  std::wstring text = platform::DecodeExternal(field);
  std::erase_if(text, [](wchar_t ch) {
    const auto c = static_cast<std::uint32_t>(ch);
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
  });
  return text;
}

}  // namespace

bool ReadCasterList(const std::wstring& path, std::vector<CasterListEntry>& entries) {
  CFile file;
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) return false;
  SourceTableReader reader(file);
  std::array<std::string_view, sourcetable::kCasterFieldCount> fields;
  for (;;) {
    switch (reader.Next("CAS", fields)) {
      case SourceTableReader::Status::Record:
        entries.push_back({PrintableText(fields[1]), PrintableText(fields[2])});
        continue;
      case SourceTableReader::Status::End:
        return true;
      case SourceTableReader::Status::Malformed:
        platform::Trace(std::string("Caster list: ") + reader.LastProblem() + "\n");
        return false;
      case SourceTableReader::Status::ReadError:
        platform::Trace("Caster list: read error\n");
        return false;
    }
  }
}

std::wstring CasterEntryText(const CasterListEntry& entry) { return entry.host + L":" + entry.port; }
