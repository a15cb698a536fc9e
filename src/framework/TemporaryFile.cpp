#include "framework/TemporaryFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "platform/Text.h"

TemporaryFile::TemporaryFile(const std::wstring& target, mode_t newFileMode, Flush flush)
    : m_strTarget(platform::NarrowLocal(target)), m_newFileMode(newFileMode), m_flush(flush) {
  // mkstemp opens with O_CREAT | O_EXCL: an existing name, a link included,
  // is never opened; it tries other names instead.
  std::string pattern = m_strTarget + ".XXXXXX";
  m_fd = ::mkstemp(pattern.data());
  if (m_fd < 0) {
    Fail();
    return;
  }
  m_strPath = pattern;
}

TemporaryFile::~TemporaryFile() {
  if (m_fd >= 0) ::close(m_fd);
  if (!m_bCommitted && !m_strPath.empty()) ::unlink(m_strPath.c_str());
}

bool TemporaryFile::Fail() {
  if (m_nError == 0) m_nError = errno != 0 ? errno : EIO;
  return false;
}

bool TemporaryFile::Write(const void* bytes, std::size_t count) {
  if (!Ok() || m_fd < 0) return false;
  const auto* in = static_cast<const char*>(bytes);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(m_fd, in + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail();
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Root replacing a user's file must hand it back to that user, and root
// making a new file in a user's folder must give it to the folder's owner:
// otherwise the user's next run cannot read their own settings.
void TemporaryFile::KeepTargetsOwnerAndMode() {
  struct stat old {};
  if (::lstat(m_strTarget.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) {
    struct stat folder {};
    const std::string directory = m_strTarget.substr(0, m_strTarget.find_last_of('/') + 1);
    if (::stat(directory.empty() ? "." : directory.c_str(), &folder) == 0) (void)!::fchown(m_fd, folder.st_uid, folder.st_gid);
    if (::fchmod(m_fd, m_newFileMode) != 0) Fail();
    return;
  }
  // Only root may give a file away; for anybody else the owner is already
  // theirs, and a group they are not in stays as mkstemp made it.
  (void)!::fchown(m_fd, old.st_uid, old.st_gid);
  if (::fchmod(m_fd, old.st_mode & 0777) != 0) Fail();
}

bool TemporaryFile::Finish() {
  if (!Ok()) return false;
  if (m_fd < 0) return true;
  KeepTargetsOwnerAndMode();
  if (Ok() && m_flush == Flush::ToDisk && ::fsync(m_fd) != 0) Fail();
  const int fd = m_fd;
  m_fd = -1;
  if (::close(fd) != 0) Fail();
  return Ok();
}

bool TemporaryFile::Commit() {
  // Whatever stands at the target and is not a regular file (a FIFO, a link
  // to a device) was not made by the program, and is not its to replace.
  struct stat target {};
  if (::stat(m_strTarget.c_str(), &target) == 0 && !S_ISREG(target.st_mode)) {
    m_bTargetNotRegular = !S_ISDIR(target.st_mode);
    errno = m_bTargetNotRegular ? EINVAL : EISDIR;
    return Fail();
  }
  if (!Finish()) return false;
  if (::rename(m_strPath.c_str(), m_strTarget.c_str()) != 0) return Fail();
  m_bCommitted = true;
  return true;
}

std::wstring TemporaryFile::ErrorText() const {
  if (m_bTargetNotRegular) return L"not a regular file";
  return platform::WidenLocal(std::error_code(m_nError, std::generic_category()).message());
}
