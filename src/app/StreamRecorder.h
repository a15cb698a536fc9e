#pragma once
// --record FILE: appends every block relayed to the receiver to FILE,
// exactly, for post-processing and for showing a caster its fault. A file
// that cannot be opened or written (a full disk) ends the recording with
// a reason line; the stream goes on. Output thread only.
#include <cstddef>
#include <string>
#include <utility>

class StreamRecorder {
 public:
  explicit StreamRecorder(std::string path = {}) : m_path(std::move(path)) {}
  ~StreamRecorder();
  StreamRecorder(const StreamRecorder&) = delete;
  StreamRecorder& operator=(const StreamRecorder&) = delete;

  void SetPath(std::string path) { m_path = std::move(path); }
  // False when this block ended the recording; Problem() then says why.
  bool Append(const char* bytes, std::size_t count);
  const std::string& Problem() const { return m_strProblem; }

 private:
  bool End(const std::string& what, int error);

  std::string m_path;
  int m_fd = -1;
  bool m_bEnded = false;
  std::string m_strProblem;
};
