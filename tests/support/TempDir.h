#pragma once
// A fresh directory per test, removed with everything in it at the end.
#include <string>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return m_path; }
  std::string File(const std::string& name) const { return m_path + "/" + name; }
  // Writes or reads a whole file as bytes.
  void Write(const std::string& name, const std::string& content) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;

 private:
  std::string m_path;
};

// Reads a whole file as bytes ("" when missing).
std::string ReadFileBytes(const std::string& path);

// The real captures and tables the tests use (tests/data, copied with their
// provenance from the team's shared collection).
std::string TestDataPath(const std::string& relative);

}  // namespace testing_support
