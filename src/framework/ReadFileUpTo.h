#pragma once
// Reading a small file that anybody may have put in the program's
// directory: whole, up to a limit, and without ever waiting on something
// that is not a plain file (a FIFO would block the open for good).
#include <cstddef>
#include <string>

enum class ReadFileResult { Read, Missing, Unreadable };

// Reads at most `maxBytes` of the regular file at `path` into `content`;
// anything beyond is left unread. Missing: there is no such file (a
// dangling link included). Unreadable: it exists but could not be read;
// `reason` holds the system's words for why.
[[nodiscard]] ReadFileResult ReadFileUpTo(const std::wstring& path, std::size_t maxBytes, std::string& content,
                                          std::wstring& reason);
