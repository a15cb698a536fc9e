// Casters written http://, https:// and with IPv6 addresses, end to end:
// the window, the real threads, a pseudo-terminal as the receiver. Chunked
// replies come from a scripted version 2 caster; TLS from stunnel4 in front
// of it or of str2str, with certificates made by openssl for the test.
#include <algorithm>

#include "app/FieldcastDlg.h"
#include "app/StreamingFixture.h"
#include "net/TlsSession.h"
#include "platform/HostLookup.h"
#include "platform/Trace.h"
#include "support/ScriptedCaster.h"
#include "support/TlsFront.h"

using testing_support::ReadFileBytes;
using testing_support::ScriptedCaster;
using testing_support::TestDataPath;

namespace {

constexpr wchar_t kConnectionFailed[] = L"ERROR: Connection to Server failed.";

std::string RawRtcm() { return ReadFileBytes(TestDataPath("rtcm/caster-stream-raw-rtcm3-msm7.pygnssutils.bin")); }

}  // namespace

class ModernCasterTest : public StreamingTest {
 protected:
  struct Outcome {
    std::string received;  // what reached the receiver
    std::wstring status;   // when the run ended or the bytes had arrived
    std::string trace;     // the debug trace, reason lines included
    bool running = false;
  };

  void TearDown() override {
    tls::SetExtraCaFile("");
    unsetenv("SSL_CERT_FILE");
    StreamingTest::TearDown();
  }

  Outcome Stream(const std::string& casterText, std::size_t bytes) {
    return Stream(casterText, [bytes](const std::string& received) { return received.size() >= bytes; });
  }
  // Streams MP1 from the caster written `casterText` until `enough` says so
  // of what reached the receiver, or the run ended.
  Outcome Stream(const std::string& casterText, const std::function<bool(const std::string&)>& enough) {
    Configure(0, "", /*output=*/0, /*attempts=*/1);
    std::string ini = dir.Read("GNSS.ini");
    const std::string old = "IP Port=127.0.0.1:0";
    ini.replace(ini.find(old), old.size(), "IP Port=" + casterText);
    dir.Write("GNSS.ini", ini);
    EXPECT_TRUE(platform::SetTraceTarget(platform::TraceTarget::File, dir.File("trace.log")));
    Outcome outcome;
    {
      ReceiverReader reader(pty);
      CFieldcastDlg dlg;
      display.Do([&] { dlg.NotifyCommand(IDC_START, 0); })
          .WaitUntil([&] { return enough(reader.Bytes()) || dlg.m_bRunning == 0; })
          .Do([&] {
            outcome.status = Status(dlg);
            outcome.running = dlg.m_bRunning != 0;
            if (outcome.running) dlg.NotifyCommand(IDC_STOP, 0);
          })
          .WaitUntil([&] { return dlg.m_bRunning == 0; })
          .Key(VK_F1);
      dlg.DoModal();
      // Anything past the awaited bytes would show up in a moment.
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      outcome.received = reader.Bytes();
    }
    platform::SetTraceTarget(platform::TraceTarget::None);
    outcome.trace = dir.Read("trace.log");
    return outcome;
  }

  static std::string Ntrip2Request(const std::string& hostHeader) {
    return "GET /MP1 HTTP/1.1\r\nHost: " + hostHeader + "\r\nNtrip-Version: Ntrip/2.0\r\n";
  }
};

// The mend: chunk-size lines never reach the receiver, and neither do the
// blank line and header lines some version 1 casters send after ICY 200 OK.
TEST_F(ModernCasterTest, OnlyPayloadReachesTheReceiverWhateverTheFraming) {
  const std::string rtcm = RawRtcm().substr(0, 20000);
  const struct {
    const char* legend;
    std::function<void(ScriptedCaster::Client&)> script;
  } cases[] = {
      {"chunked in random sizes across segments",
       [&](ScriptedCaster::Client& c) { (void)(ScriptedCaster::SendChunked(c, rtcm, 700) && c.Pause(std::chrono::seconds(30))); }},
      {"content length, then more that is no payload",
       [&](ScriptedCaster::Client& c) {
         (void)(c.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(rtcm.size()) + "\r\n\r\n" + rtcm +
                       "TRAILING") &&
                c.Pause(std::chrono::seconds(30)));
       }},
      {"a head longer than a receive block",
       [&](ScriptedCaster::Client& c) {
         (void)(c.Send("HTTP/1.1 200 OK\r\nServer: " + std::string(3000, 'S') + "\r\nContent-Type: gnss/data\r\n\r\n") &&
                c.Pause(std::chrono::milliseconds(50)) && c.Send(rtcm) && c.Pause(std::chrono::seconds(30)));
       }},
      {"ICY with header lines",
       [&](ScriptedCaster::Client& c) {
         (void)(c.Send("ICY 200 OK\r\nServer: NTRIP Caster 2.0\r\nContent-Type: gnss/data\r\n\r\n") &&
                c.Pause(std::chrono::milliseconds(50)) && c.Send(rtcm) && c.Pause(std::chrono::seconds(30)));
       }},
      {"ICY with a blank line",
       [&](ScriptedCaster::Client& c) {
         (void)(c.Send("ICY 200 OK\r\n\r\n" + rtcm) && c.Pause(std::chrono::seconds(30)));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    ScriptedCaster caster(c.script);
    const Outcome out = Stream("http://127.0.0.1:" + std::to_string(caster.port()), rtcm.size());
    EXPECT_EQ(out.received.size(), rtcm.size());
    EXPECT_TRUE(out.received == rtcm);
    ASSERT_FALSE(caster.Requests().empty());
    EXPECT_EQ(caster.Requests()[0].rfind(Ntrip2Request("127.0.0.1:" + std::to_string(caster.port())), 0), 0u)
        << caster.Requests()[0];
  }
}

// The real capture was cut inside a size line: its whole chunks reach the
// receiver, the cut ends the run with a reason line instead of reaching it.
TEST_F(ModernCasterTest, RealChunkedCaptureArrivesDechunkedAndItsCutEndsTheRun) {
  const std::string capture = ReadFileBytes(TestDataPath("rtcm/caster-stream-http-chunked-rtcm3.pygnssutils.bin"));
  ScriptedCaster caster([&](ScriptedCaster::Client& c) {
    (void)(c.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n") && c.Send(capture) &&
           c.Pause(std::chrono::seconds(30)));
  });
  const Outcome out = Stream("http://127.0.0.1:" + std::to_string(caster.port()), 1u << 20);
  EXPECT_EQ(out.received.size(), 22469u);
  EXPECT_EQ(out.received.substr(0, 8), capture.substr(4, 8));
  EXPECT_EQ(out.received.find("\r\n64\r\n"), std::string::npos);
  EXPECT_FALSE(out.running);
  EXPECT_EQ(out.status, kConnectionFailed);
  EXPECT_NE(out.trace.find("reason: caster 127.0.0.1:" + std::to_string(caster.port()) +
                           ": malformed reply, chunk size line without a size"),
            std::string::npos)
      << out.trace;
}

class TlsCasterTest : public ModernCasterTest {
 protected:
  void SetUp() override {
    ModernCasterTest::SetUp();
    ASSERT_TRUE(certificates.ok()) << dir.Read("openssl.log");
    // The test CA stands in for the system's trusted ones.
    setenv("SSL_CERT_FILE", certificates.caFile().c_str(), 1);
  }
  testing_support::TestCertificates certificates{dir};
};

// str2str is a version 1 caster: it answers the version 2 request with
// ICY 200 OK, which is accepted as it always was.
TEST_F(TlsCasterTest, HttpsThroughStunnelToStr2strStreamsByteForByte) {
  testing_support::Str2StrCaster caster(Options());
  ASSERT_TRUE(caster.Start()) << caster.Log();
  testing_support::TlsFront front(dir, certificates.Server("IP:127.0.0.1"), caster.casterPort());
  ASSERT_TRUE(front.ok()) << front.Log();
  const std::string rtcm = RawRtcm().substr(0, 8000);
  // str2str relays only what comes after a client joined: warm-up bytes
  // until one arrived, then the capture.
  std::atomic<bool> flowing{false};
  std::atomic<bool> done{false};
  std::thread feeder([&] {
    while (!flowing && !done) {
      (void)caster.Feed("W");
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (flowing) (void)caster.Feed(rtcm);
  });
  const Outcome out = Stream("https://127.0.0.1:" + std::to_string(front.port()), [&](const std::string& received) {
    if (!received.empty()) flowing = true;
    return received.size() >= rtcm.size() + received.find_first_not_of('W');
  });
  done = true;
  feeder.join();
  const std::size_t start = out.received.find_first_not_of('W');
  ASSERT_NE(start, std::string::npos) << front.Log();
  EXPECT_TRUE(out.received.substr(start) == rtcm);
  EXPECT_TRUE(out.running);
}

// A failed check ends the run with its reason; nothing goes out in plain
// text and nothing reaches the receiver.
TEST_F(TlsCasterTest, CertificatesThatFailTheChecksAreRefusedWithTheirReasons) {
  testing_support::TestCertificates stranger(dir, "stranger");
  ASSERT_TRUE(stranger.ok());
  const struct {
    const char* legend;
    std::string certificate;
    bool trustByCaFile;
    const char* reason;
  } cases[] = {
      {"another name", certificates.Server("DNS:caster.example"), false,
       "certificate verify failed (IP address mismatch)"},
      {"untrusted CA", stranger.Server("IP:127.0.0.1"), false,
       "certificate verify failed (unable to get local issuer certificate)"},
      {"that CA added by --ca-file", stranger.Server("IP:127.0.0.1"), true, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    ScriptedCaster caster([](ScriptedCaster::Client& client) {
      (void)(client.Send("ICY 200 OK\r\nDATA") && client.Pause(std::chrono::seconds(30)));
    });
    testing_support::TlsFront front(dir, c.certificate, caster.port());
    ASSERT_TRUE(front.ok()) << front.Log();
    if (c.trustByCaFile) tls::SetExtraCaFile(stranger.caFile());
    const std::string text = "https://127.0.0.1:" + std::to_string(front.port());
    const Outcome out = Stream(text, [](const std::string& received) { return received.size() >= 4; });
    tls::SetExtraCaFile("");
    if (c.reason == nullptr) {
      EXPECT_EQ(out.received, "DATA");
      continue;
    }
    EXPECT_EQ(out.received, "");
    EXPECT_FALSE(out.running);
    EXPECT_EQ(out.status, kConnectionFailed) << out.trace << front.Log();
    EXPECT_NE(out.trace.find("reason: caster 127.0.0.1:" + std::to_string(front.port()) + ": " + c.reason),
              std::string::npos)
        << out.trace;
    EXPECT_TRUE(caster.Requests().empty());  // the request never went out
  }
}

// Chunked over TLS: records and chunks cut each other anywhere.
TEST_F(TlsCasterTest, ChunkedRepliesOverTlsArriveDechunked) {
  const std::string rtcm = RawRtcm().substr(0, 16000);
  ScriptedCaster caster([&](ScriptedCaster::Client& c) {
    (void)(ScriptedCaster::SendChunked(c, rtcm, 900, 3) && c.Pause(std::chrono::seconds(30)));
  });
  testing_support::TlsFront front(dir, certificates.Server("IP:127.0.0.1"), caster.port());
  ASSERT_TRUE(front.ok()) << front.Log();
  const Outcome out = Stream("https://127.0.0.1:" + std::to_string(front.port()), rtcm.size());
  EXPECT_TRUE(out.received == rtcm) << out.received.size();
  ASSERT_FALSE(caster.Requests().empty());
  // The default port of the form is left out of the Host line only when it is 443.
  EXPECT_EQ(caster.Requests()[0].rfind(Ntrip2Request("127.0.0.1:" + std::to_string(front.port())), 0), 0u);
}

TEST_F(ModernCasterTest, IPv6CastersAreReachedByAddressAndByName) {
  std::vector<std::string> addresses;
  const bool localhostHasIPv6 = platform::LookupHostAddresses("localhost", addresses) &&
                                std::find(addresses.begin(), addresses.end(), "::1") != addresses.end();
  for (const char* form : {"[::1]:", "http://[::1]:", "localhost:"}) {
    SCOPED_TRACE(form);
    // A name with both families: only the IPv6 address has a caster.
    if (std::string_view(form) == "localhost:" && !localhostHasIPv6) continue;
    ScriptedCaster caster(
        [](ScriptedCaster::Client& c) { (void)(c.Send("ICY 200 OK\r\nDATA") && c.Pause(std::chrono::seconds(30))); },
        /*ipv6=*/true);
    ASSERT_NE(caster.port(), 0) << "no IPv6 loopback here";
    const std::string port = std::to_string(caster.port());
    EXPECT_EQ(Stream(form + port, 4).received, "DATA");
    ASSERT_EQ(caster.Requests().size(), 1u);
    if (std::string_view(form).starts_with("http")) {
      EXPECT_EQ(caster.Requests()[0].rfind(Ntrip2Request("[::1]:" + port), 0), 0u);
    }
  }
  if (!localhostHasIPv6) std::fprintf(stderr, "localhost has no IPv6 address here: its case was left out\n");
}
