#pragma once
// The caster text says how to reach the caster: "host:port" is the plain
// version 1 protocol the program always spoke, "http://host:port" version 2
// over TCP and "https://host:port" version 2 over TLS. The host may be a
// name, an IPv4 address or a bracketed IPv6 address ("[::1]:2101").
#include <string>
#include <string_view>

enum class CasterProtocol { Ntrip1, Ntrip2, Ntrip2Tls };

struct CasterEndpoint {
  CasterProtocol protocol = CasterProtocol::Ntrip1;
  std::wstring host;  // without brackets
  int port = 0;       // 0 when the text names none and its form has no default
};

inline constexpr int kDefaultNtrip2Port = 2101;
inline constexpr int kDefaultTlsPort = 443;

// Splits the stored caster text. For "host:port" the port is the number the
// text after the first colon starts with (0 without one), as it always was.
CasterEndpoint ParseCasterText(std::wstring_view text);

// "host:port", with brackets around an IPv6 host: the form reason lines and
// requests show.
std::string HostAndPort(std::string_view host, int port);
