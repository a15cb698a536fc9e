#pragma once
// Reading a small file that anybody may have put in the program's
// directory: whole, up to a limit, and without ever waiting on something
// that is not a plain file (a FIFO would block the open for good).
#include <cstddef>
#include <string>

enum class ReadFileResult { Read, Missing, Unreadable };

// Reads the regular file at `path` whole into `content`. Missing: there is
// no such file (a dangling link included). Unreadable: it exists but could
// not be read, is not a regular file, or holds more than `maxBytes`;
// `reason` says why.
[[nodiscard]] ReadFileResult ReadFileUpTo(const std::wstring& path, std::size_t maxBytes, std::string& content,
                                          std::wstring& reason);
