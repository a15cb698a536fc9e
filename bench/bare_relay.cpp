// bare_relay: the least an NTRIP client can do per block, as a yardstick for
// the program's relay cost. It takes the program's command line and its
// settings directory (IP Port, Mount Point in GNSS.ini; the device from
// FIELDCAST_COM1), sends one request, skips the reply's header and then
// blocks in a read and a write per block: no window, no checks, no threads,
// no reconnection. With an https:// address it does the same over TLS
// (certificate not checked: it only measures). Whatever a benchmark measures
// for it is the floor of that set-up; the program's figures are read against it.
#include <fcntl.h>
#include <netdb.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

std::string IniValue(const std::string& file, const std::string& key) {
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return {};
}

int Connect(const std::string& host, const std::string& port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0) return -1;
  const int fd = socket(found->ai_family, found->ai_socktype, 0);
  const bool ok = fd >= 0 && connect(fd, found->ai_addr, found->ai_addrlen) == 0;
  freeaddrinfo(found);
  return ok ? fd : -1;
}

// A plain socket or a TLS session over it, read and written the same way.
struct Link {
  int fd = -1;
  SSL* ssl = nullptr;
  long Read(char* bytes, int size) { return ssl ? SSL_read(ssl, bytes, size) : recv(fd, bytes, size, 0); }
  // The request is short: it goes in one piece or the run fails.
  bool SendWhole(const std::string& text) {
    return ssl ? SSL_write(ssl, text.data(), static_cast<int>(text.size())) == static_cast<int>(text.size())
               : send(fd, text.data(), text.size(), 0) == static_cast<long>(text.size());
  }
};

bool WriteAll(int fd, const char* bytes, long size) {
  while (size > 0) {
    const long n = write(fd, bytes, size);
    if (n < 0) return false;
    bytes += n;
    size -= n;
  }
  return true;
}

int Fail(const char* what) {
  std::fprintf(stderr, "bare_relay: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--dir") == 0) dir = argv[i + 1];
  const char* device = std::getenv("FIELDCAST_COM1");
  if (dir.empty() || device == nullptr) return Fail("needs --dir DIR and FIELDCAST_COM1");
  std::string address = IniValue(dir + "/GNSS.ini", "IP Port");
  const std::string mount = IniValue(dir + "/GNSS.ini", "Mount Point");
  const bool tls = address.rfind("https://", 0) == 0;
  if (tls) address.erase(0, 8);
  const std::size_t colon = address.rfind(':');
  if (colon == std::string::npos || mount.empty()) return Fail("GNSS.ini names no caster or mount point");
  const std::string host = address.substr(0, colon);

  Link link;
  link.fd = Connect(host, address.substr(colon + 1));
  if (link.fd < 0) return Fail("cannot connect");
  if (tls) {
    SSL_CTX* context = SSL_CTX_new(TLS_client_method());
    link.ssl = context ? SSL_new(context) : nullptr;
    if (link.ssl == nullptr || SSL_set_fd(link.ssl, link.fd) != 1) return Fail("cannot set up TLS");
    SSL_set_read_ahead(link.ssl, 1);
    SSL_set_tlsext_host_name(link.ssl, host.c_str());
    if (SSL_connect(link.ssl) != 1) return Fail("TLS handshake failed");
  }
  if (!link.SendWhole("GET /" + mount + " HTTP/1.0\r\nUser-Agent: NTRIP bare_relay\r\n\r\n"))
    return Fail("cannot send the request");

  const int port = open(device, O_WRONLY | O_NOCTTY);
  termios settings{};
  if (port < 0 || tcgetattr(port, &settings) != 0) return Fail("cannot open the device");
  cfmakeraw(&settings);
  tcsetattr(port, TCSANOW, &settings);

  // An NTRIP 1 reply is one status line; an HTTP one ends at its blank
  // line. Whatever came after it is stream. Chunked replies are not handled.
  char buffer[500];
  std::string header;
  std::size_t end = std::string::npos;
  while (end == std::string::npos) {
    const long n = link.Read(buffer, sizeof buffer);
    if (n <= 0 || header.size() > 8192) return Fail("no reply header");
    header.append(buffer, static_cast<std::size_t>(n));
    const bool icy = header.rfind("ICY 200 OK\r\n", 0) == 0;
    const std::size_t found = header.find(icy ? "\r\n" : "\r\n\r\n");
    if (found != std::string::npos) end = found + (icy ? 2 : 4);
  }
  if (header.rfind("ICY 200", 0) != 0 && header.rfind("HTTP/1.1 200", 0) != 0 && header.rfind("HTTP/1.0 200", 0) != 0)
    return Fail("the caster refused the stream");
  const std::string rest = header.substr(end);
  if (!WriteAll(port, rest.data(), static_cast<long>(rest.size()))) return Fail("write failed");
  for (;;) {
    const long n = link.Read(buffer, sizeof buffer);
    if (n <= 0) return 0;
    if (!WriteAll(port, buffer, n)) return Fail("write failed");
  }
}
