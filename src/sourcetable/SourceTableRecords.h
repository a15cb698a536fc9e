#pragma once
// Turning the fields of one record into its entry, and what the stream list
// derives from a stream: its network's details, format class and label.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "sourcetable/SourceTableEntries.h"

namespace sourcetable {

// Fields read per record type, the type field included; the last one takes
// the rest of the line.
inline constexpr std::size_t kNetFieldCount = 9;
inline constexpr std::size_t kStreamFieldCount = 19;
inline constexpr std::size_t kCasterFieldCount = 10;

// The field's leading decimal number (leading white space and a sign
// allowed), 0 when it does not begin with one; clamped to the 32-bit range.
std::int32_t LeadingNumber(std::string_view field);

// Each expects exactly the field count above (fields[0] is the type field).
void FillNetEntry(std::span<const std::string_view> fields, _NetTableEntry& entry);
void FillCityEntry(std::span<const std::string_view> fields, _CityTableEntry& entry);
void FillBroadcasterEntry(std::span<const std::string_view> fields, _BroadcasterTableEntry& entry);

// Copies the network's registration, operator and details address into the
// stream; a stream without a network (nullptr) gets them empty.
void LinkToNetwork(_CityTableEntry& entry, const _NetTableEntry* network);

// Replaces `format` by the stream's class ("DGPS", "DGNSS", "RTK") where it is
// an RTCM stream, then composes the `label`.
void ClassifyAndLabel(_CityTableEntry& entry);

}  // namespace sourcetable
