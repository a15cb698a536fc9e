#include "support/TlsFront.h"

#include <fstream>

#include "support/Str2StrCaster.h"
#include "support/WaitFor.h"

namespace testing_support {

namespace {

bool Run(const std::vector<std::string>& argv, const std::string& log) {
  Process process(argv, {}, log);
  return process.WaitExit() == 0;
}

// A small elliptic-curve key: quick to make on a loaded machine.
const std::vector<std::string> kNewKey = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace

TestCertificates::TestCertificates(const TempDir& dir, const std::string& label)
    : m_dir(dir), m_label(label), m_caFile(dir.File(label + ".pem")), m_caKey(dir.File(label + ".key")) {
  m_ok = Run(Join({"openssl", "req", "-x509"}, Join(kNewKey, {"-keyout", m_caKey, "-out", m_caFile, "-days", "2",
                                                              "-subj", "/CN=Fieldcast test " + label, "-addext",
                                                              "basicConstraints=critical,CA:TRUE", "-addext",
                                                              "keyUsage=critical,keyCertSign,cRLSign"})),
             dir.File("openssl.log"));
}

std::string TestCertificates::Server(const std::string& subjectAltName) {
  const std::string base = m_dir.File(m_label + "-server" + std::to_string(++m_served));
  std::ofstream(base + ".ext") << "subjectAltName=" << subjectAltName << "\nbasicConstraints=CA:FALSE\n";
  const std::string log = m_dir.File("openssl.log");
  if (!m_ok ||
      !Run(Join({"openssl", "req", "-new"}, Join(kNewKey, {"-keyout", base + ".key", "-out", base + ".csr", "-subj",
                                                           "/CN=caster"})),
           log) ||
      !Run({"openssl", "x509", "-req", "-in", base + ".csr", "-CA", m_caFile, "-CAkey", m_caKey, "-CAcreateserial",
            "-out", base + ".crt", "-days", "2", "-extfile", base + ".ext"},
           log))
    return {};
  std::ofstream(base + ".pem") << ReadFileBytes(base + ".crt") << ReadFileBytes(base + ".key");
  return base + ".pem";
}

TlsFront::TlsFront(const TempDir& dir, const std::string& certificateFile, int backendPort)
    : m_dir(dir), m_log(dir.File("stunnel-" + std::to_string(backendPort) + ".log")) {
  // stunnel cannot bind port 0 and report it: a port that was free a moment
  // ago, tried again when it was taken meanwhile.
  for (int attempt = 0; attempt < 5 && !m_ok; ++attempt) {
    m_port = PickFreePort();
    const std::string config = dir.File("stunnel-" + std::to_string(m_port) + ".conf");
    std::ofstream(config) << "foreground = yes\npid =\ndebug = 5\n[caster]\naccept = 127.0.0.1:" << m_port
                          << "\nconnect = 127.0.0.1:" << backendPort << "\ncert = " << certificateFile << "\n";
    m_process = std::make_unique<Process>(std::vector<std::string>{"stunnel4", config}, std::vector<std::string>{},
                                          m_log);
    m_ok = WaitFor([&] { return !m_process->Running() || IsListening(m_port); }) && m_process->Running();
  }
}

TlsFront::~TlsFront() = default;

std::string TlsFront::Log() const { return ReadFileBytes(m_log); }

}  // namespace testing_support
