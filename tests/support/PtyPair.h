#pragma once
// A pseudo-terminal pair standing in for a receiver on a serial port: the
// program opens the slave (through FIELDCAST_COMn), the test plays the
// receiver on the master. The pair also keeps a slave descriptor of its own
// open, so that bytes the program wrote stay readable after the program
// closed its port (a pty whose slave side is fully closed reports a hang-up).
#include <chrono>
#include <string>
#include <string_view>

#include "support/WaitFor.h"

namespace testing_support {

class PtyPair {
 public:
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  // False when the pair could not be created (the test should fail).
  bool ok() const { return m_master >= 0 && m_slave >= 0; }
  const std::string& SlavePath() const { return m_slavePath; }
  int MasterFd() const { return m_master; }

  // Writes all bytes to the master; false when the deadline passed first.
  bool WriteMaster(std::string_view bytes,
                   std::chrono::milliseconds deadline = kGenerousDeadline);
  // Reads until `count` bytes arrived or the deadline passed; answers what came.
  std::string ReadMaster(size_t count, std::chrono::milliseconds deadline = kGenerousDeadline);
  // Reads whatever the master holds right now.
  std::string ReadMasterAvailable();

  // Closing the master is unplugging the receiver: the slave then fails.
  void CloseMaster();
  // The receiver stops taking bytes (as one that stops reading or holds its
  // flow-control line): every write to the slave then takes nothing at all.
  void StopTakingBytes();
  void CloseSlave();

 private:
  int m_master = -1;
  int m_slave = -1;
  std::string m_slavePath;
};

}  // namespace testing_support
