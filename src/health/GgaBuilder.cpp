#include "health/GgaBuilder.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool Number(const std::string& text, double& value) {
  if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789.-+") != std::string::npos) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && std::isfinite(value);
}

// "ddmm.mmmmm" with `degreeDigits` digits of degrees; minutes rounded so
// that 59.999999 never shows as 60.
std::string Angle(double degrees, int degreeDigits) {
  long long hundredThousandths = std::llround(std::fabs(degrees) * 60 * 100000);
  const long long whole = hundredThousandths / (60 * 100000);
  hundredThousandths -= whole * 60 * 100000;
  char text[80];
  std::snprintf(text, sizeof text, "%0*lld%02lld.%05lld", degreeDigits, whole, hundredThousandths / 100000,
                hundredThousandths % 100000);
  return text;
}

}  // namespace

bool ParseFixedPosition(const std::string& text, FixedPosition& position) {
  const size_t first = text.find(',');
  const size_t second = first == std::string::npos ? first : text.find(',', first + 1);
  if (second == std::string::npos || text.find(',', second + 1) != std::string::npos) return false;
  FixedPosition p;
  if (!Number(text.substr(0, first), p.latDeg) || !Number(text.substr(first + 1, second - first - 1), p.lonDeg) ||
      !Number(text.substr(second + 1), p.heightM))
    return false;
  if (std::fabs(p.latDeg) > 90 || std::fabs(p.lonDeg) > 180 || p.heightM < -1000 || p.heightM > 100000) return false;
  position = p;
  return true;
}

std::string BuildGga(const FixedPosition& p, std::time_t utc) {
  std::tm t{};
  gmtime_r(&utc, &t);
  char body[160];
  std::snprintf(body, sizeof body, "GPGGA,%02d%02d%02d.00,%s,%c,%s,%c,1,12,1.0,%.3f,M,0.000,M,,", t.tm_hour, t.tm_min,
                t.tm_sec, Angle(p.latDeg, 2).c_str(), p.latDeg < 0 ? 'S' : 'N', Angle(p.lonDeg, 3).c_str(),
                p.lonDeg < 0 ? 'W' : 'E', p.heightM);
  unsigned char sum = 0;
  for (const char* c = body; *c != '\0'; ++c) sum ^= static_cast<unsigned char>(*c);
  char sentence[200];
  std::snprintf(sentence, sizeof sentence, "$%s*%02X\r\n", body, sum);
  return sentence;
}
