#pragma once
// TLS in front of a test caster: a CA and server certificates made by the
// openssl tool at test time, and Debian's stunnel4 terminating TLS on a free
// port of 127.0.0.1 and relaying the plain bytes to the caster's port.
#include <memory>
#include <string>

#include "support/Process.h"
#include "support/TempDir.h"

namespace testing_support {

class TestCertificates {
 public:
  // Makes a CA in `dir` (named by `label`, so two CAs can share a folder).
  TestCertificates(const TempDir& dir, const std::string& label = "ca");
  bool ok() const { return m_ok; }
  // The CA's certificate (PEM): what a client must trust.
  const std::string& caFile() const { return m_caFile; }
  // A server certificate with its key in one PEM file, signed by this CA, for
  // `subjectAltName` ("IP:127.0.0.1", "DNS:caster.example"); "" on failure.
  std::string Server(const std::string& subjectAltName);

 private:
  const TempDir& m_dir;
  std::string m_label;
  std::string m_caFile;
  std::string m_caKey;
  int m_served = 0;
  bool m_ok = false;
};

class TlsFront {
 public:
  // Accepts TLS on a free port and relays to 127.0.0.1:`backendPort`.
  TlsFront(const TempDir& dir, const std::string& certificateFile, int backendPort);
  ~TlsFront();
  TlsFront(const TlsFront&) = delete;
  TlsFront& operator=(const TlsFront&) = delete;
  // False when stunnel did not come up (its log says why).
  bool ok() const { return m_ok; }
  int port() const { return m_port; }
  std::string Log() const;

 private:
  const TempDir& m_dir;
  std::unique_ptr<Process> m_process;
  std::string m_log;
  int m_port = 0;
  bool m_ok = false;
};

}  // namespace testing_support
