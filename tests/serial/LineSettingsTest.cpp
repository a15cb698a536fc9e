// How line settings become termios attributes (a pty cannot show data bits
// or parity, so they are checked here).
#include "serial/LineSettings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using serial::LineSettings;

TEST(LineSettingsTest, BuildsRawAttributesForEachCombination) {
  const struct {
    LineSettings settings;
    tcflag_t size, parity;
    bool twoStopBits;
    speed_t speed;
  } rows[] = {
      {{4800, 8, 0, 0}, CS8, 0, false, B4800},
      {{19200, 7, 2, 0}, CS7, PARENB, false, B19200},  // even
      {{38400, 7, 1, 2}, CS7, PARENB | PARODD, true, B38400},  // odd
      {{50, 8, 2, 2}, CS8, PARENB, true, B50},
      {{921600, 8, 0, 0}, CS8, 0, false, B921600},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.settings.baud);
    termios attributes{};
    // Whatever the driver had switched on must not survive into raw mode.
    attributes.c_lflag = ICANON | ECHO | ISIG | IEXTEN;
    attributes.c_iflag = ICRNL | IXON | ISTRIP;
    attributes.c_oflag = OPOST | ONLCR;
    attributes.c_cflag = CS8 | PARENB | PARODD | CSTOPB;
    ASSERT_TRUE(serial::MakeRawAttributes(attributes, row.settings));
    EXPECT_EQ(attributes.c_cflag & CSIZE, row.size);
    EXPECT_EQ(attributes.c_cflag & (PARENB | PARODD), row.parity);
    EXPECT_EQ((attributes.c_cflag & CSTOPB) != 0, row.twoStopBits);
    EXPECT_EQ(attributes.c_cflag & (CREAD | CLOCAL), tcflag_t{CREAD | CLOCAL});
    EXPECT_EQ(cfgetispeed(&attributes), row.speed);
    EXPECT_EQ(cfgetospeed(&attributes), row.speed);
    EXPECT_EQ(attributes.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(attributes.c_iflag & (ICRNL | IXON | ISTRIP), 0u);
    EXPECT_EQ(attributes.c_oflag & OPOST, 0u);
  }
}

TEST(LineSettingsTest, RefusesWhatTermiosCannotExpress) {
  const struct {
    const char* why;
    LineSettings settings;
  } rows[] = {
      {"rate without a termios constant", {14400, 8, 0, 0}},
      {"zero baud", {0, 8, 0, 0}},
      {"negative baud", {-9600, 8, 0, 0}},
      {"1.5 stop bits", {4800, 8, 0, 1}},
      {"stop-bits code 3", {4800, 8, 0, 3}},
      {"9 data bits", {4800, 9, 0, 0}},
      {"4 data bits", {4800, 4, 0, 0}},
      {"mark parity code", {4800, 8, 3, 0}},
      {"negative parity code", {4800, 8, -1, 0}},
  };
  for (const auto& row : rows) {
    termios attributes{};
    EXPECT_FALSE(serial::MakeRawAttributes(attributes, row.settings)) << row.why;
  }
}

}  // namespace
