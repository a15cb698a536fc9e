#pragma once
// CFile: the framework's file class, without exceptions: every operation
// answers whether it worked. Paths are wide texts, stored on disk as UTF-8.
#include <cstddef>
#include <cstdint>
#include <string>

class CFile {
 public:
  enum OpenFlags : unsigned {
    modeRead = 0x0,
    modeWrite = 0x1,
    modeCreate = 0x1000,  // create, or truncate an existing file
    shareDenyNone = 0x40,
  };

  CFile() = default;
  ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // Reading opens regular files only; anything else fails (errno EINVAL).
  [[nodiscard]] bool Open(const std::wstring& path, unsigned flags);
  // The size of a file opened for reading, as it was at the open.
  std::uint64_t GetLength() const { return m_nLength; }
  // Reads up to `count` bytes; answers the number read, or -1 on an error.
  [[nodiscard]] long Read(void* buffer, std::size_t count);
  // Writes every byte or answers false.
  [[nodiscard]] bool Write(const void* buffer, std::size_t count);
  [[nodiscard]] bool SeekToBegin();
  // Closes the file; false when a delayed write error surfaced.
  bool Close();
  bool IsOpen() const { return m_fd >= 0; }

 private:
  int m_fd = -1;
  std::uint64_t m_nLength = 0;
};

// Replaces a file whole through a TemporaryFile, so a crash or a full disk
// leaves either the old file or the new one, never half of one. A replaced
// file keeps its owner, group and mode; `ownerOnly` creates a new one
// readable and writable by its owner only (0600). On failure `errorText`
// (when given) tells the system's reason.
[[nodiscard]] bool ReplaceFileAtomically(const std::wstring& path, const std::string& content, bool ownerOnly,
                                         std::wstring* errorText = nullptr);
