// The texts that tell a user or an operator what happened.
#include <gtest/gtest.h>

#include "app/FailureReason.h"
#include "app/ReconnectCountdown.h"
#include "app/StartLine.h"

TEST(FailureTexts, TheCastersFirstLineReachesTheLogOnlyAsPrintableText) {
  struct Case {
    std::string reply, line;
  } const cases[] = {
      {"HTTP/1.0 401 Unauthorized\r\nWWW-Authenticate: Basic\r\n\r\n", "HTTP/1.0 401 Unauthorized"},
      {"\x1b[2J\x1b]0;owned\x07 hi\n", "\\x1B[2J\\x1B]0;owned\\x07 hi"},
      {std::string("a\0b", 3), "a\\x00b"},
      {"caf\xc3\xa9", "caf\\xC3\\xA9"},
      {std::string(300, 'x'), std::string(100, 'x') + "..."},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FirstReplyLine(c.reply), c.line);
}

TEST(FailureTexts, TheCountdownNamesTheComingAttempt) {
  struct Case {
    int seconds, attemptsLeft, attempts;
    std::wstring text;
  } const cases[] = {
      {37, 7, 10, L"Reconnecting in 37 s (attempt 3 of 10)"},
      {1, 9, 10, L"Reconnecting in 1 s (attempt 1 of 10)"},
      {5, 0, 10, L"Reconnecting in 5 s (attempt 10 of 10)"},
      {2, -1, 0, L"Reconnecting in 2 s (attempt 1 of 1)"},  // no attempts set: a lost stream still gets one
  };
  for (const Case& c : cases) EXPECT_EQ(ReconnectCountdownText(c.seconds, c.attemptsLeft, c.attempts), c.text);
}

TEST(FailureTexts, TheStartLineNamesStreamCasterAndPort) {
  struct Case {
    StartFacts facts;
    std::string line;
  } const cases[] = {
      {{L"MP1", L"caster.example:2101", true, 1, "/dev/ttyUSB0", 115200, 8, 0, 0},
       "fieldcast: streaming MP1 from caster.example:2101 to COM1 (/dev/ttyUSB0, 115200 8N1)"},
      {{L"MP1", L"10.0.0.1:2101", true, 3, "/dev/ttyS1", 4800, 7, 2, 2},
       "fieldcast: streaming MP1 from 10.0.0.1:2101 to COM3 (/dev/ttyS1, 4800 7E2)"},
      {{L"MP1", L"h:1", true, 2, "", 9600, 8, 1, 1}, "fieldcast: streaming MP1 from h:1 to COM2 (no device, 9600 8O1.5)"},
      {{L"MP1", L"h:1", false, 1, "/dev/ttyUSB0", 19200, 8, 0, 0},
       "fieldcast: streaming MP1 from h:1 to no port (output None: received and counted only)"},
      {{L"", L"h:1", true, 1, "/dev/ttyUSB0", 19200, 8, 0, 0}, "fieldcast: fetching the source table from h:1"},
      {{L"M\x1b[2J", L"h:1", false, 1, "", 19200, 8, 0, 0},
       "fieldcast: streaming M\\x1B[2J from h:1 to no port (output None: received and counted only)"},
  };
  for (const Case& c : cases) EXPECT_EQ(StartLineText(c.facts), c.line);
}
