#include "net/NtripRequest.h"

#include <cstring>

#include "net/NtripProtocol.h"
#include "net/TCPSocket.h"
#include "platform/ControlCharacters.h"
#include "platform/Text.h"

std::string NtripRequestBytes(std::wstring_view mountPoint, std::string_view base64Credentials) {
  std::string request;
  request += ntrip::kRequestLineStart;
  request += platform::EncodeUtf8(mountPoint);
  request += ntrip::kRequestLineEnd;
  request += ntrip::kUserAgentLine;
  request += ntrip::kAcceptLine;
  request += ntrip::kConnectionLine;
  if (!base64Credentials.empty()) {
    request += ntrip::kAuthorizationStart;
    request += base64Credentials;
    request += ntrip::kLineEnd;
  }
  request += ntrip::kLineEnd;
  return request;
}

namespace {

bool IsPathChar(unsigned char c) {
  if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  return std::string_view("-._~!$&'()*+,;=:@/").find(static_cast<char>(c)) != std::string_view::npos;
}

std::string PercentEncoded(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsPathChar(byte)) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

// Only printable ASCII goes into a header value.
std::string HeaderSafe(std::string_view text) {
  std::string out;
  for (const char c : text)
    if (c >= 0x20 && c < 0x7F) out += c;
  return out;
}

bool StoreRequest(TCPSocket& socket, const std::string& request) {
  if (request.size() > static_cast<std::size_t>(TCPSocket::kBufferSize)) return false;
  std::memcpy(socket.m_buffer, request.data(), request.size());
  socket.m_buffer[request.size()] = 0;
  socket.m_len = static_cast<std::int32_t>(request.size());
  return true;
}

}  // namespace

std::string HostHeaderValue(std::string_view host, int port, int defaultPort) {
  const std::string safe = HeaderSafe(host);
  std::string value = safe.find(':') != std::string::npos ? "[" + safe + "]" : safe;
  if (port != defaultPort) value += ":" + std::to_string(port);
  return value;
}

std::string Ntrip2RequestBytes(std::wstring_view mountPoint, std::string_view base64Credentials,
                               std::string_view hostHeader, std::string_view gga) {
  std::string request;
  request += ntrip::kRequestLineStart;
  request += PercentEncoded(platform::EncodeUtf8(mountPoint));
  request += ntrip::kRequest2LineEnd;
  request += ntrip::kHostStart;
  request += HeaderSafe(hostHeader);
  request += ntrip::kLineEnd;
  request += ntrip::kVersion2Line;
  request += ntrip::kUserAgentLine;
  if (!base64Credentials.empty()) {
    request += ntrip::kAuthorizationStart;
    request += base64Credentials;
    request += ntrip::kLineEnd;
  }
  if (!gga.empty()) {
    request += ntrip::kGgaHeaderStart;
    request += HeaderSafe(gga);
    request += ntrip::kLineEnd;
  }
  request += ntrip::kConnectionLine;
  request += ntrip::kLineEnd;
  return request;
}

bool BuildNtrip2Request(TCPSocket& socket, std::wstring_view mountPoint, std::string_view base64Credentials,
                        std::string_view hostHeader, std::string_view gga, std::wstring& errorText) {
  if (platform::HasControlCharacter(mountPoint)) {
    errorText = kMountPointControlStatus;
    return false;
  }
  // The position also follows the request; without the header a request
  // that would not fit still may.
  if (StoreRequest(socket, Ntrip2RequestBytes(mountPoint, base64Credentials, hostHeader, gga)) ||
      StoreRequest(socket, Ntrip2RequestBytes(mountPoint, base64Credentials, hostHeader, {})))
    return true;
  errorText = ntrip::kRequestTooLongStatus;
  return false;
}

bool BuildNtripRequest(TCPSocket& socket, std::wstring_view mountPoint, std::string_view base64Credentials,
                       std::wstring& errorText) {
  if (platform::HasControlCharacter(mountPoint)) {
    errorText = kMountPointControlStatus;
    return false;
  }
  const std::string request = NtripRequestBytes(mountPoint, base64Credentials);
  if (request.size() > static_cast<std::size_t>(TCPSocket::kBufferSize)) {
    errorText = ntrip::kRequestTooLongStatus;
    return false;
  }
  std::memcpy(socket.m_buffer, request.data(), request.size());
  socket.m_buffer[request.size()] = 0;
  socket.m_len = static_cast<std::int32_t>(request.size());
  return true;
}
