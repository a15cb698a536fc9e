#pragma once
// The facts a failure's status text leaves out (the address tried and the
// system's reason, the caster's own words, the device behind COMn), one
// line each, for whoever reads the debug trace or a service's log.
#include <string>
#include <string_view>

// Writes "reason: <text>" to the debug trace, and also to standard error
// when that was asked for (a service whose trace goes to a file).
void ReportFailureReason(std::string_view text);
void SetFailureReasonsToStandardError(bool on);

// "host:port" as tried.
std::string CasterAddress(const std::string& host, int port);
// "caster host:port".
std::string CasterNamed(const std::string& host, int port);
// What the system calls the error number; "closed by the caster" for 0, the
// receive's sign of an orderly end.
std::string SystemReason(int error);
// The first line of a caster's reply, safe for a log: printable ASCII kept,
// every other byte as \xNN, at most 100 characters.
std::string FirstReplyLine(std::string_view block);
// "COM3 is /dev/ttyUSB0" or "COM3 has no device".
std::string PortDevice(int portNumber);
