#pragma once
// TemporaryFile: the new content of a file, written beside it and renamed
// over it only when complete, so a crash, a full disk or a broken download
// never leaves half a file where the old one was.
//
// The program's directory may be shared (or the program run as root by a
// service): the temporary file is created exclusively under a fresh unique
// name in the target's own directory, so a link planted there can never
// make us write into another file. The replacement keeps the owner, group
// and mode of the file it replaces; a new file gets `newFileMode` and the
// owner and group of its directory.
//
// Threading: one object belongs to one thread at a time; it may be handed on.
#include <sys/types.h>

#include <cstddef>
#include <string>

class TemporaryFile {
 public:
  // ToDisk: Finish waits until the content is on the disk, so a power cut
  // right after the rename cannot leave an empty file. Lazily: for a file
  // replaced again within seconds, whose loss costs nothing.
  enum class Flush { ToDisk, Lazily };
  TemporaryFile(const std::wstring& target, mode_t newFileMode, Flush flush = Flush::ToDisk);
  // Removes the temporary file unless it was committed.
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // False once any step failed (creation included); Error() tells why.
  bool Ok() const { return m_nError == 0; }
  [[nodiscard]] bool Write(const void* bytes, std::size_t count);
  // Flushes the content to disk (unless Lazily), gives it the target's
  // owner, group and mode, and closes it. The file can then be read by Path().
  [[nodiscard]] bool Finish();
  // Finishes (if not done yet) and renames the file over the target; a
  // target that exists and is not a regular file is never replaced.
  [[nodiscard]] bool Commit();

  const std::string& Path() const { return m_strPath; }
  // The errno of the first failed step (0 while all went well), and its text.
  int Error() const { return m_nError; }
  std::wstring ErrorText() const;

 private:
  bool Fail();
  void KeepTargetsOwnerAndMode();

  std::string m_strTarget;
  std::string m_strPath;
  mode_t m_newFileMode;
  Flush m_flush;
  int m_fd = -1;
  int m_nError = 0;
  bool m_bCommitted = false;
  bool m_bTargetNotRegular = false;
};
