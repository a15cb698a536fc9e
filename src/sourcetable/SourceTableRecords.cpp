#include "sourcetable/SourceTableRecords.h"

#include <limits>

#include "platform/Text.h"

namespace sourcetable {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool Contains(const std::wstring& text, std::wstring_view part) { return text.find(part) != std::wstring::npos; }

}  // namespace

std::int32_t LeadingNumber(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && IsSpace(field[i])) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  // Accumulate in 64 bits and stop growing past the 32-bit range, so a long
  // run of digits cannot overflow.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t value = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    value = value * 10 + (field[i] - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) return static_cast<std::int32_t>(-value);
  return static_cast<std::int32_t>(value == kLimit ? kLimit - 1 : value);
}

void FillNetEntry(std::span<const std::string_view> f, _NetTableEntry& e) {
  using platform::DecodeExternal;
  e.identifier = DecodeExternal(f[1]);
  e.operatorName = DecodeExternal(f[2]);
  e.authentication = DecodeExternal(f[3]);
  e.fee = DecodeExternal(f[4]);
  e.webNet = DecodeExternal(f[5]);
  e.webStr = DecodeExternal(f[6]);
  e.webReg = DecodeExternal(f[7]);
  e.misc = DecodeExternal(f[8]);
}

void FillCityEntry(std::span<const std::string_view> f, _CityTableEntry& e) {
  using platform::DecodeExternal;
  e.mountpoint = DecodeExternal(f[1]);
  e.identifier = DecodeExternal(f[2]);
  e.format = DecodeExternal(f[3]);
  e.formatRaw = e.format;
  e.formatDetails = DecodeExternal(f[4]);
  e.carrier = DecodeExternal(f[5]);
  e.carrierValue = LeadingNumber(f[5]);
  e.navSystem = DecodeExternal(f[6]);
  e.network = DecodeExternal(f[7]);
  e.country = DecodeExternal(f[8]);
  e.latitude = DecodeExternal(f[9]);
  e.longitude = DecodeExternal(f[10]);
  e.nmea = DecodeExternal(f[11]);
  e.nmeaValue = LeadingNumber(f[11]);
  e.solution = DecodeExternal(f[12]);
  e.generator = DecodeExternal(f[13]);
  e.comprEncryp = DecodeExternal(f[14]);
  e.authentication = DecodeExternal(f[15]);
  e.fee = DecodeExternal(f[16]);
  e.bitrate = DecodeExternal(f[17]);
  e.misc = DecodeExternal(f[18]);
}

void FillBroadcasterEntry(std::span<const std::string_view> f, _BroadcasterTableEntry& e) {
  using platform::DecodeExternal;
  e.host = DecodeExternal(f[1]);
  e.port = DecodeExternal(f[2]);
  e.identifier = DecodeExternal(f[3]);
  e.operatorName = DecodeExternal(f[4]);
  e.nmea = DecodeExternal(f[5]);
  e.country = DecodeExternal(f[6]);
  e.latitude = DecodeExternal(f[7]);
  e.longitude = DecodeExternal(f[8]);
  e.rest = DecodeExternal(f[9]);
}

void LinkToNetwork(_CityTableEntry& e, const _NetTableEntry* network) {
  if (network == nullptr) {
    e.registration.clear();
    e.operatorName.clear();
    e.details.clear();
    return;
  }
  e.registration = network->webReg;
  e.operatorName = network->operatorName;
  e.details = network->webNet;
}

void ClassifyAndLabel(_CityTableEntry& e) {
  if (Contains(e.format, L"RTCM")) {
    if (e.carrierValue == 0 && Contains(e.navSystem, L"GPS")) {
      e.format = Contains(e.navSystem, L"GPS+GLO") ? L"DGNSS" : L"DGPS";
    } else if (e.carrierValue == 1 || e.carrierValue == 2) {
      e.format = L"RTK";
    }
  }
  // A DGPS stream is GPS only, so its label leaves the navigation system out.
  const bool dgps = e.format == L"DGPS";
  e.label.clear();
  e.label.reserve(e.identifier.size() + e.format.size() + e.navSystem.size() + e.network.size() + 3);
  e.label.append(e.identifier).append(L"/").append(e.format).append(L"/");
  if (!dgps) e.label.append(e.navSystem).append(L"/");
  e.label.append(e.network);
}

}  // namespace sourcetable
