#pragma once
// The caster protocol's literals in one place: what we send, the words we look
// for in the caster's first reply block, and the status texts that stand for a
// reply. A plain "host:port" caster gets HTTP/1.0 without a Host line or
// version header; "http://" and "https://" casters get version 2.
#include <string_view>

namespace ntrip {

// Request lines, each ended by CR LF; an empty line ends the header.
inline constexpr std::string_view kRequestLineStart = "GET /";
inline constexpr std::string_view kRequestLineEnd = " HTTP/1.0\r\n";
inline constexpr std::string_view kUserAgentLine = "User-Agent: NTRIP Fieldcast Pocket PC/1.0.0\r\n";
inline constexpr std::string_view kAcceptLine = "Accept: */*\r\n";
inline constexpr std::string_view kConnectionLine = "Connection: close\r\n";
inline constexpr std::string_view kAuthorizationStart = "Authorization: Basic ";
inline constexpr std::string_view kLineEnd = "\r\n";
// Version 2 (casters written "http://" or "https://").
inline constexpr std::string_view kRequest2LineEnd = " HTTP/1.1\r\n";
inline constexpr std::string_view kHostStart = "Host: ";
inline constexpr std::string_view kVersion2Line = "Ntrip-Version: Ntrip/2.0\r\n";
inline constexpr std::string_view kGgaHeaderStart = "Ntrip-GGA: ";

// Words searched in the first reply block, in the order they are tested:
// "SOURCETABLE 200 OK" must count as a source table, not as an accepted stream.
inline constexpr std::string_view kSourceTableWord = "SOURCETABLE";
inline constexpr std::string_view kUnauthorizedWord = "Unauthorized";
inline constexpr std::string_view kAcceptedWord = "OK";

// Status lines of an accepted stream: NTRIP 1 casters answer "ICY 200 OK" and
// start the data right after that line; HTTP-style casters send header lines
// up to an empty line first.
inline constexpr std::string_view kIcyStatusStart = "ICY ";
inline constexpr std::string_view kHttpStatusStart = "HTTP/";

// Status texts shown to the user.
inline constexpr std::wstring_view kUnauthorizedStatus = L"Adjust User-ID and Password";
inline constexpr std::wstring_view kNoReplyStatus = L"ERROR: No reply from Server within 20 seconds.";
inline constexpr std::wstring_view kRequestTooLongStatus =
    L"ERROR: Mount point or credentials too long for the request.";

}  // namespace ntrip
