// Over TLS a receive reads whatever the caster sent so far, several records
// at once; the records beyond the one handed on wait in the session, where
// the socket's readiness cannot show them. They must be handed on without
// waiting for the caster to send more, or a stream that pauses loses them
// to the silence limit.
#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <chrono>
#include <thread>

#include "net/TCPSocket.h"
#include "net/TlsSession.h"
#include "support/ListeningSocket.h"
#include "support/TempDir.h"
#include "support/TlsFront.h"

namespace {

using testing_support::ListeningSocket;

// The caster's end of one TLS connection, in this process: every Send is
// one record.
class TlsCasterEnd {
 public:
  explicit TlsCasterEnd(const std::string& certificateAndKey) : m_context(SSL_CTX_new(TLS_server_method())) {
    m_ok = m_context != nullptr &&
           SSL_CTX_use_certificate_chain_file(m_context, certificateAndKey.c_str()) == 1 &&
           SSL_CTX_use_PrivateKey_file(m_context, certificateAndKey.c_str(), SSL_FILETYPE_PEM) == 1;
  }
  ~TlsCasterEnd() {
    if (m_ssl != nullptr) SSL_free(m_ssl);
    if (m_context != nullptr) SSL_CTX_free(m_context);
  }
  bool Accept(int fd) {
    if (!m_ok) return false;
    m_ssl = SSL_new(m_context);
    SSL_set_fd(m_ssl, fd);
    return SSL_accept(m_ssl) == 1;
  }
  bool Send(const std::string& bytes) {
    return SSL_write(m_ssl, bytes.data(), static_cast<int>(bytes.size())) == static_cast<int>(bytes.size());
  }

 private:
  SSL_CTX* m_context;
  SSL* m_ssl = nullptr;
  bool m_ok = false;
};

struct TlsConnected : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(certificates.ok()) << dir.Read("openssl.log");
    tls::SetExtraCaFile(certificates.caFile());
    ASSERT_NE(listener.port(), 0);
    ASSERT_TRUE(socket.Connect("127.0.0.1", listener.port()));
    ASSERT_TRUE(listener.Accept());
    bool accepted = false;
    std::thread caster([&] { accepted = casterEnd.Accept(listener.clientFd()); });
    std::string problem;
    const bool started = socket.StartTls("127.0.0.1", problem);
    caster.join();
    ASSERT_TRUE(started && accepted) << problem;
  }
  void TearDown() override { tls::SetExtraCaFile(""); }

  testing_support::TempDir dir;
  testing_support::TestCertificates certificates{dir};
  TlsCasterEnd casterEnd{certificates.Server("IP:127.0.0.1")};
  ListeningSocket listener;
  TCPSocket socket;
};

TEST_F(TlsConnected, RecordsThatCameTogetherAreHandedOnWithoutWaitingForMore) {
  // Smaller and larger than a block, one exactly a block, one byte.
  std::string sent;
  for (const int size : {300, 200, 700, TCPSocket::kBufferSize, 1}) {
    const std::string record(static_cast<std::size_t>(size), static_cast<char>('a' + sent.size() % 26));
    ASSERT_TRUE(casterEnd.Send(record));
    sent += record;
  }
  // The caster now stays silent: a receive that waited for the socket would
  // time out with bytes still in the session.
  std::string received;
  while (received.size() < sent.size()) {
    ASSERT_TRUE(socket.recvMsg(5)) << received.size() << " of " << sent.size();
    ASSERT_LE(socket.m_len, TCPSocket::kBufferSize);
    received.append(socket.m_buffer, static_cast<std::size_t>(socket.m_len));
    if (received.size() < sent.size()) {
      EXPECT_TRUE(socket.WaitForData(std::chrono::milliseconds(0)));
    }
  }
  EXPECT_EQ(received, sent);
  EXPECT_FALSE(socket.WaitForData(std::chrono::milliseconds(0)));
}

}  // namespace
