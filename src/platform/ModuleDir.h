#pragma once
// Every file of the program (GNSS.ini, sourcetable.dat, CorvoNet.ini) lies in
// one directory: the executable's own, or the one given with --dir.
#include <string>

namespace platform {

// The directory with a trailing '/'. Thread-safe after start-up.
std::wstring ModuleDirectory();

// Replaces the executable's directory for all files (the --dir option).
// Call before any file path is built.
void SetModuleDirectory(const std::wstring& directory);

// ModuleDirectory() followed by the file name.
std::wstring ModulePath(const std::wstring& fileName);

}  // namespace platform
