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
