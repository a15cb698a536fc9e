#include "net/CasterEndpoint.h"

#include <cwctype>

namespace {

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (static_cast<wchar_t>(std::towlower(static_cast<wint_t>(text[i]))) != prefix[i]) return false;
  return true;
}

// The number `text` starts with; 0 when it starts with none or is no TCP
// port (the connection then fails plainly).
int LeadingPort(std::wstring_view text) {
  long value = 0;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') break;
    value = value * 10 + (c - L'0');
    if (value > 65535) return 0;
  }
  return static_cast<int>(value);
}

}  // namespace

CasterEndpoint ParseCasterText(std::wstring_view text) {
  CasterEndpoint endpoint;
  int defaultPort = 0;
  if (StartsWithNoCase(text, L"https://")) {
    endpoint.protocol = CasterProtocol::Ntrip2Tls;
    defaultPort = kDefaultTlsPort;
    text.remove_prefix(8);
  } else if (StartsWithNoCase(text, L"http://")) {
    endpoint.protocol = CasterProtocol::Ntrip2;
    defaultPort = kDefaultNtrip2Port;
    text.remove_prefix(7);
  }
  if (endpoint.protocol != CasterProtocol::Ntrip1) text = text.substr(0, text.find(L'/'));
  std::wstring_view rest;
  if (text.starts_with(L'[') && text.find(L']') != std::wstring_view::npos) {
    const std::size_t close = text.find(L']');
    endpoint.host = text.substr(1, close - 1);
    rest = text.substr(close + 1);
  } else {
    const std::size_t colon = text.find(L':');
    endpoint.host = text.substr(0, colon);
    rest = colon == std::wstring_view::npos ? std::wstring_view() : text.substr(colon);
  }
  endpoint.port = rest.starts_with(L':') ? LeadingPort(rest.substr(1)) : 0;
  if (endpoint.port == 0 && (rest.empty() || rest == L":")) endpoint.port = defaultPort;
  return endpoint;
}

std::string HostAndPort(std::string_view host, int port) {
  const std::string shown = host.find(':') != std::string_view::npos ? "[" + std::string(host) + "]" : std::string(host);
  return shown + ":" + std::to_string(port);
}
