#include "framework/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "framework/TemporaryFile.h"
#include "platform/Text.h"

CFile::~CFile() { Close(); }

bool CFile::Open(const std::wstring& path, unsigned flags) {
  Close();
  int mode = (flags & modeWrite) ? O_WRONLY : O_RDONLY;
  if (flags & modeCreate) mode |= O_CREAT | O_TRUNC;
  // Not waiting in the open: a FIFO planted in the program's directory
  // would hold it until somebody writes.
  const bool reading = (flags & modeWrite) == 0;
  m_fd = ::open(platform::NarrowLocal(path).c_str(), mode | O_CLOEXEC | (reading ? O_NONBLOCK : 0), 0644);
  if (m_fd < 0 || !reading) return m_fd >= 0;
  // Only a regular file is read: a FIFO with a silent writer, or a link to
  // a device such as /dev/urandom, would hold the reader for good.
  struct stat info {};
  if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int error = info.st_mode == 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    Close();
    errno = error;
    return false;
  }
  m_nLength = static_cast<std::uint64_t>(info.st_size);
  (void)::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
  return true;
}

long CFile::Read(void* buffer, std::size_t count) {
  if (m_fd < 0) return -1;
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(m_fd, out + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<long>(done);
}

bool CFile::Write(const void* buffer, std::size_t count) {
  if (m_fd < 0) return false;
  const auto* in = static_cast<const char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(m_fd, in + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool CFile::SeekToBegin() { return m_fd >= 0 && ::lseek(m_fd, 0, SEEK_SET) == 0; }

bool CFile::Close() {
  if (m_fd < 0) return true;
  const bool ok = ::close(m_fd) == 0;
  m_fd = -1;
  return ok;
}

bool ReplaceFileAtomically(const std::wstring& path, const std::string& content, bool ownerOnly,
                           std::wstring* errorText) {
  TemporaryFile file(path, ownerOnly ? 0600 : 0644);
  if (file.Write(content.data(), content.size()) && file.Commit()) return true;
  if (errorText != nullptr) *errorText = file.ErrorText();
  return false;
}
