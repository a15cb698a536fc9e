#pragma once
// The debug trace: low-level diagnostics that never reach the user's screen.
// Goes to the file given with --debug-log, or to standard error when the
// program runs headless; with the terminal display and no log file it is
// dropped, because writing to the terminal would tear the screen.
#include <string>
#include <string_view>

namespace platform {

enum class TraceTarget { None, StandardError, File };

// Thread-safe. A file that cannot be opened leaves the trace off and
// returns false.
bool SetTraceTarget(TraceTarget target, const std::string& path = {});

// Writes the text as it is (callers put their own line feeds in, as the
// program's diagnostic texts carry them).
void Trace(std::string_view text);
void Trace(std::wstring_view text);

}  // namespace platform
