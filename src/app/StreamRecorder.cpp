#include "app/StreamRecorder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "app/FailureReason.h"

StreamRecorder::~StreamRecorder() {
  if (m_fd >= 0) ::close(m_fd);
}

bool StreamRecorder::Append(const char* bytes, std::size_t count) {
  if (m_path.empty() || m_bEnded || count == 0) return true;
  if (m_fd < 0) {
    m_fd = ::open(m_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0) return End("cannot be opened", errno);
  }
  // A short write (the disk filled up in the middle) is retried for the
  // rest, so the file never holds a block twice or a gap before its end.
  while (count > 0) {
    const ssize_t written = ::write(m_fd, bytes, count);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return End("cannot be written", written < 0 ? errno : ENOSPC);
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

bool StreamRecorder::End(const std::string& what, int error) {
  m_bEnded = true;
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  m_strProblem = "recording " + m_path + " " + what + " (" + SystemReason(error) + "); the recording ends, the stream goes on";
  ReportFailureReason(m_strProblem);
  return false;
}
