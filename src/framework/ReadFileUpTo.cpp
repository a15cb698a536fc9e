#include "framework/ReadFileUpTo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <system_error>

#include "platform/Text.h"

namespace {

std::wstring SystemText(int error) {
  return platform::WidenLocal(std::error_code(error, std::generic_category()).message());
}

ReadFileResult Unreadable(int error, std::wstring& reason) {
  reason = SystemText(error);
  return ReadFileResult::Unreadable;
}

}  // namespace

ReadFileResult ReadFileUpTo(const std::wstring& path, std::size_t maxBytes, std::string& content,
                            std::wstring& reason) {
  content.clear();
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  const int fd = ::open(platform::NarrowLocal(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ReadFileResult::Missing : Unreadable(errno, reason);
  struct stat info {};
  ReadFileResult result = ReadFileResult::Read;
  if (::fstat(fd, &info) != 0) result = Unreadable(errno, reason);
  else if (S_ISDIR(info.st_mode)) result = Unreadable(EISDIR, reason);
  else if (!S_ISREG(info.st_mode)) {
    reason = L"not a regular file";
    result = ReadFileResult::Unreadable;
  }
  // One byte beyond the limit tells a file that is too long from one that
  // just fits; a file cut at the limit and saved again would lose its end.
  while (result == ReadFileResult::Read && content.size() <= maxBytes) {
    char block[4096];
    const std::size_t want = std::min(sizeof block, maxBytes + 1 - content.size());
    const ssize_t n = ::read(fd, block, want);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) result = Unreadable(errno, reason);
    if (n <= 0) break;
    content.append(block, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (result == ReadFileResult::Read && content.size() > maxBytes) {
    reason = L"larger than " + std::to_wstring(maxBytes) + L" bytes";
    result = ReadFileResult::Unreadable;
  }
  if (result != ReadFileResult::Read) content.clear();
  return result;
}
