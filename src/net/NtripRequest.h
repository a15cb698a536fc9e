#pragma once
// The request sent to the caster right after connecting. With a mount point
// it asks for that stream; with an empty one ("GET / ") for the source table.
#include <string>
#include <string_view>

class TCPSocket;

// Builds the request into the socket's m_buffer and sets m_len. The
// Authorization line is sent only when `base64Credentials` is not empty,
// that is, when the user's credential text is not empty (a bare ":" still
// encodes to "Og=="). A request that would not fit the buffer is refused:
// false, `errorText` holds the status text to show, the buffer is untouched.
[[nodiscard]] bool BuildNtripRequest(TCPSocket& socket, std::wstring_view mountPoint,
                                     std::string_view base64Credentials, std::wstring& errorText);

// A mount point with a control character is refused (it would add header
// lines of a caster's choosing to the request): this status says so.
inline constexpr std::wstring_view kMountPointControlStatus = L"ERROR: Mount point holds a control character.";

// The same bytes as a string (for callers and tests that want to see them).
std::string NtripRequestBytes(std::wstring_view mountPoint, std::string_view base64Credentials);

// The version 2 request for casters written "http://" or "https://":
// HTTP/1.1 with Host and the version header. The mount point goes out as
// UTF-8 with whatever a request line cannot carry percent-encoded. `gga`
// (a position already known, without its line end) goes in an Ntrip-GGA
// header when not empty and the request still fits without it otherwise.
std::string Ntrip2RequestBytes(std::wstring_view mountPoint, std::string_view base64Credentials,
                               std::string_view hostHeader, std::string_view gga);
[[nodiscard]] bool BuildNtrip2Request(TCPSocket& socket, std::wstring_view mountPoint,
                                      std::string_view base64Credentials, std::string_view hostHeader,
                                      std::string_view gga, std::wstring& errorText);

// The Host header's value for a caster: "host:port", IPv6 in brackets,
// the port left out when it is the form's default. Characters a header
// cannot carry are dropped.
std::string HostHeaderValue(std::string_view host, int port, int defaultPort);
