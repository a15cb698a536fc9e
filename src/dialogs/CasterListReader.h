#pragma once
// The caster records (CAS) of a source-table text: the choices of both caster
// dialogs, read from "sourcetable.dat" or "CorvoNet.ini" with the source
// table's own block reader, so a caster list and the table it came from can
// never be read differently, and no line, however long or broken, makes the
// reader leave its buffers.
#include <string>
#include <vector>

struct CasterListEntry {
  std::wstring host;
  std::wstring port;
};

// Appends the file's caster records in file order, duplicates kept. False
// when the file cannot be opened or read, or a record stops short (a missing
// ';'); the records before it stay. Texts are decoded as the source table's
// are (UTF-8 where valid, else one character per byte) and lose their control
// characters, since the file is a stranger's and its text goes to the screen
// and into GNSS.ini.
[[nodiscard]] bool ReadCasterList(const std::wstring& path, std::vector<CasterListEntry>& entries);

// The text a caster dialog lists for an entry: host, ":", port.
std::wstring CasterEntryText(const CasterListEntry& entry);
