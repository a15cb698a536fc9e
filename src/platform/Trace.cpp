#include "platform/Trace.h"

#include <cstdio>
#include <mutex>

#include "platform/Text.h"

namespace platform {
namespace {

std::mutex g_mutex;
TraceTarget g_target = TraceTarget::StandardError;
std::FILE* g_file = nullptr;

}  // namespace

bool SetTraceTarget(TraceTarget target, const std::string& path) {
  std::lock_guard lock(g_mutex);
  if (g_file != nullptr) {
    std::fclose(g_file);
    g_file = nullptr;
  }
  g_target = target;
  if (target == TraceTarget::File) {
    g_file = std::fopen(path.c_str(), "a");
    if (g_file == nullptr) {
      g_target = TraceTarget::None;
      return false;
    }
  }
  return true;
}

void Trace(std::string_view text) {
  std::lock_guard lock(g_mutex);
  std::FILE* out = g_target == TraceTarget::File ? g_file
                   : g_target == TraceTarget::StandardError ? stderr
                                                            : nullptr;
  if (out == nullptr) return;
  std::fwrite(text.data(), 1, text.size(), out);
  std::fflush(out);
}

void Trace(std::wstring_view text) { Trace(NarrowLocal(text)); }

}  // namespace platform
