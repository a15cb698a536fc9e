#include "sourcetable/SourceTableRecords.h"

#include <limits>

#include "platform/Text.h"

namespace sourcetable {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Most fields are plain ASCII, where UTF-8 and one character per byte agree;
// those are widened straight into the field's own storage, which a table
// read again reuses instead of freeing and allocating every text anew.
void AssignField(std::wstring& out, std::string_view field) {
  for (const char c : field) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      out = platform::DecodeExternal(field);
      return;
    }
  }
  out.resize(field.size());
  for (size_t i = 0; i < field.size(); ++i) out[i] = static_cast<unsigned char>(field[i]);
}

std::wstring DecodeField(std::string_view field) {
  std::wstring out;
  AssignField(out, field);
  return out;
}

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
  e.identifier = DecodeField(f[1]);
  e.operatorName = DecodeField(f[2]);
  e.authentication = DecodeField(f[3]);
  e.fee = DecodeField(f[4]);
  e.webNet = DecodeField(f[5]);
  e.webStr = DecodeField(f[6]);
  e.webReg = DecodeField(f[7]);
  e.misc = DecodeField(f[8]);
}

void FillCityEntry(std::span<const std::string_view> f, _CityTableEntry& e) {
  AssignField(e.mountpoint, f[1]);
  AssignField(e.identifier, f[2]);
  AssignField(e.format, f[3]);
  e.formatRaw = e.format;
  AssignField(e.formatDetails, f[4]);
  AssignField(e.carrier, f[5]);
  e.carrierValue = LeadingNumber(f[5]);
  AssignField(e.navSystem, f[6]);
  AssignField(e.network, f[7]);
  AssignField(e.country, f[8]);
  AssignField(e.latitude, f[9]);
  AssignField(e.longitude, f[10]);
  AssignField(e.nmea, f[11]);
  e.nmeaValue = LeadingNumber(f[11]);
  AssignField(e.solution, f[12]);
  AssignField(e.generator, f[13]);
  AssignField(e.comprEncryp, f[14]);
  AssignField(e.authentication, f[15]);
  AssignField(e.fee, f[16]);
  AssignField(e.bitrate, f[17]);
  AssignField(e.misc, f[18]);
}

void FillBroadcasterEntry(std::span<const std::string_view> f, _BroadcasterTableEntry& e) {
  e.host = DecodeField(f[1]);
  e.port = DecodeField(f[2]);
  e.identifier = DecodeField(f[3]);
  e.operatorName = DecodeField(f[4]);
  e.nmea = DecodeField(f[5]);
  e.country = DecodeField(f[6]);
  e.latitude = DecodeField(f[7]);
  e.longitude = DecodeField(f[8]);
  e.rest = DecodeField(f[9]);
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
