#include "net/TlsSession.h"

#include <arpa/inet.h>
#include <poll.h>

#include <cerrno>
#include <csignal>
#include <ctime>

#include "net/OpenSsl.h"
#include "platform/Clock.h"

namespace tls {

namespace {

std::mutex g_caMutex;
std::string g_extraCaFile;

std::string ExtraCaFile() {
  std::lock_guard lock(g_caMutex);
  return g_extraCaFile;
}

bool SigpipeIgnored() {
  struct sigaction current {};
  return sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

bool IsIpAddress(const std::string& host) {
  in6_addr v6{};
  in_addr v4{};
  return inet_pton(AF_INET, host.c_str(), &v4) == 1 || inet_pton(AF_INET6, host.c_str(), &v6) == 1;
}

std::string LastSslError(const OpenSsl& api, const char* fallback) {
  const unsigned long code = api.ERR_get_error();
  api.ERR_clear_error();
  if (code == 0) return fallback;
  char text[256];
  api.ERR_error_string_n(code, text, sizeof text);
  // "error:0A000086:SSL routines::certificate verify failed": the last part.
  std::string_view reason(text);
  const std::size_t colon = reason.rfind(':');
  return std::string(colon == std::string_view::npos ? reason : reason.substr(colon + 1));
}

// A fresh context per connection: the CA file may change between runs and
// connections are few.
SSL_CTX* NewContext(const OpenSsl& api, std::string& problem) {
  SSL_CTX* context = api.SSL_CTX_new(api.TLS_client_method());
  if (context == nullptr) {
    problem = "TLS not available";
    return nullptr;
  }
  api.SSL_CTX_ctrl(context, SSL_CTRL_SET_MIN_PROTO_VERSION, TLS1_2_VERSION, nullptr);
  api.SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
  api.SSL_CTX_set_default_verify_paths(context);
  const std::string caFile = ExtraCaFile();
  if (!caFile.empty() && api.SSL_CTX_load_verify_locations(context, caFile.c_str(), nullptr) != 1) {
    problem = "CA file " + caFile + " cannot be used (" + LastSslError(api, "unreadable") + ")";
    api.SSL_CTX_free(context);
    return nullptr;
  }
  // The write buffer may move between retries of a write that had to wait.
  api.SSL_CTX_ctrl(context, SSL_CTRL_MODE, SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER | SSL_MODE_ENABLE_PARTIAL_WRITE, nullptr);
  return context;
}

// OpenSSL writes with write(), which raises SIGPIPE when the caster has
// gone. For the calls into a session the signal is held back on this
// thread, and one it raised is taken off before it is let through again.
class SigpipeHeld {
 public:
  explicit SigpipeHeld(bool needless = false) {
    if (needless) return;
    sigemptyset(&m_pipe);
    sigaddset(&m_pipe, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    m_wasPending = sigismember(&pending, SIGPIPE) == 1;
    m_blocked = pthread_sigmask(SIG_BLOCK, &m_pipe, &m_old) == 0;
  }
  ~SigpipeHeld() {
    if (!m_blocked) return;
    sigset_t pending;
    sigpending(&pending);
    if (!m_wasPending && sigismember(&pending, SIGPIPE) == 1) {
      const timespec none{0, 0};
      while (sigtimedwait(&m_pipe, nullptr, &none) < 0 && errno == EINTR) {
      }
    }
    pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
  }
  SigpipeHeld(const SigpipeHeld&) = delete;
  SigpipeHeld& operator=(const SigpipeHeld&) = delete;

 private:
  sigset_t m_pipe{};
  sigset_t m_old{};
  bool m_wasPending = false;
  bool m_blocked = false;
};

}  // namespace

void SetExtraCaFile(const std::string& path) {
  std::lock_guard lock(g_caMutex);
  g_extraCaFile = path;
}

Session::~Session() {
  const SigpipeHeld held;
  if (m_ssl != nullptr) m_api->SSL_free(m_ssl);
}

bool Session::Handshake(int fd, const std::string& host, std::int64_t deadline,
                        std::string& problem) {
  m_api = LoadOpenSsl(problem);
  if (m_api == nullptr) return false;
  const OpenSsl& api = *m_api;
  SSL_CTX* context = NewContext(api, problem);
  if (context == nullptr) return false;
  SSL* ssl = api.SSL_new(context);
  api.SSL_CTX_free(context);  // the session keeps its own reference
  if (ssl == nullptr) {
    problem = "TLS not available";
    return false;
  }
  {
    std::lock_guard lock(m_mutex);
    m_ssl = ssl;
    m_bSigpipeIgnored = SigpipeIgnored();
  }
  api.SSL_set_fd(ssl, fd);
  // Everything the caster sent so far in one read, not a record header and
  // its body in two; what is left waits in the session (HasPending).
  api.SSL_set_read_ahead(ssl, 1);
  if (IsIpAddress(host)) {
    api.X509_VERIFY_PARAM_set1_ip_asc(api.SSL_get0_param(ssl), host.c_str());
  } else {
    api.SSL_ctrl(ssl, SSL_CTRL_SET_TLSEXT_HOSTNAME, TLSEXT_NAMETYPE_host_name, const_cast<char*>(host.c_str()));
    api.SSL_set1_host(ssl, host.c_str());
  }
  for (;;) {
    int rc = 0;
    int error = 0;
    {
      std::lock_guard lock(m_mutex);
      const SigpipeHeld held;
      api.ERR_clear_error();
      rc = api.SSL_connect(ssl);
      error = api.SSL_get_error(ssl, rc);
    }
    if (rc == 1) return true;
    if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
      if (platform::MonotonicMilliseconds() >= deadline ||
          !platform::WaitUntil(fd, error == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT, deadline)) {
        problem = "TLS handshake timed out";
        return false;
      }
      continue;
    }
    const long verify = api.SSL_get_verify_result(ssl);
    if (verify != X509_V_OK)
      problem = std::string("certificate verify failed (") + api.X509_verify_cert_error_string(verify) + ")";
    else
      problem = "TLS handshake failed (" + LastSslError(api, "connection closed") + ")";
    api.ERR_clear_error();
    return false;
  }
}

int Session::Read(char* bytes, int size) {
  std::lock_guard lock(m_mutex);
  if (m_ssl == nullptr) return kError;
  const OpenSsl& api = *m_api;
  const SigpipeHeld held(m_bSigpipeIgnored);
  api.ERR_clear_error();
  const int rc = api.SSL_read(m_ssl, bytes, size);
  if (rc > 0) return rc;
  switch (api.SSL_get_error(m_ssl, rc)) {
    case SSL_ERROR_WANT_READ: return kWantRead;
    case SSL_ERROR_WANT_WRITE: return kWantWrite;
    case SSL_ERROR_ZERO_RETURN: return kClosed;
    default: api.ERR_clear_error(); return kError;
  }
}

int Session::Write(const char* bytes, int size) {
  std::lock_guard lock(m_mutex);
  if (m_ssl == nullptr) return kError;
  const OpenSsl& api = *m_api;
  const SigpipeHeld held(m_bSigpipeIgnored);
  api.ERR_clear_error();
  const int rc = api.SSL_write(m_ssl, bytes, size);
  if (rc > 0) return rc;
  switch (api.SSL_get_error(m_ssl, rc)) {
    case SSL_ERROR_WANT_READ: return kWantRead;
    case SSL_ERROR_WANT_WRITE: return kWantWrite;
    default: api.ERR_clear_error(); return kError;
  }
}

bool Session::HasPending() {
  std::lock_guard lock(m_mutex);
  return m_ssl != nullptr && m_api->SSL_has_pending(m_ssl) == 1;
}

}  // namespace tls
