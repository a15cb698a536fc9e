#include "sourcetable/CityTable.h"

#include <algorithm>

#include "platform/Text.h"

namespace {

// Blocks are filled up to this size and never grow beyond it, so adding a
// stream never copies the texts already stored.
constexpr std::size_t kBlockBytes = 1 << 20;
constexpr std::size_t kFirstBlockBytes = 4096;

void AppendUtf8(std::string& out, const std::wstring& text) {
  for (const wchar_t c : text) {
    if (static_cast<unsigned>(c) < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out += platform::EncodeUtf8(std::wstring_view(&c, 1));
    }
  }
}

}  // namespace

void CityTable::clear() {
  m_streams.clear();
  m_blocks.clear();
  m_networks.clear();
}

std::string_view CityTable::TextOf(const Stream& stream, Text text) const {
  const std::uint32_t from = text == 0 ? 0 : stream.ends[text - 1];
  return std::string_view(*m_blocks[stream.block]).substr(stream.start + from, stream.ends[text] - from);
}

std::wstring CityTable::Decoded(std::size_t i, Text text) const {
  if (i >= m_streams.size()) return {};
  // Stored as UTF-8 of what the record held, so decoding gives it back.
  return platform::DecodeExternal(TextOf(m_streams[i], text));
}

const _CityTableEntry CityTable::operator[](std::size_t i) const {
  _CityTableEntry e;
  if (i >= m_streams.size()) return e;
  const Stream& s = m_streams[i];
  const auto text = [&](Text t) { return platform::DecodeExternal(TextOf(s, t)); };
  e.mountpoint = text(kMountpoint);
  e.identifier = text(kIdentifier);
  e.format = text(kFormat);
  e.formatDetails = text(kFormatDetails);
  e.carrier = text(kCarrier);
  e.carrierValue = s.carrierValue;
  e.navSystem = text(kNavSystem);
  e.network = text(kNetwork);
  e.country = text(kCountry);
  e.latitude = text(kLatitude);
  e.longitude = text(kLongitude);
  e.nmea = text(kNmea);
  e.nmeaValue = s.nmeaValue;
  e.solution = text(kSolution);
  e.generator = text(kGenerator);
  e.comprEncryp = text(kComprEncryp);
  e.authentication = text(kAuthentication);
  e.fee = text(kFee);
  e.bitrate = text(kBitrate);
  e.misc = text(kMisc);
  e.formatRaw = text(kFormatRaw);
  e.label = text(kLabel);
  if (s.network >= 0 && static_cast<std::size_t>(s.network) < m_networks.size()) {
    const NetworkTexts& n = m_networks[static_cast<std::size_t>(s.network)];
    e.registration = n.registration;
    e.operatorName = n.operatorName;
    e.details = n.details;
  }
  return e;
}

std::wstring CityTable::Mountpoint(std::size_t i) const { return Decoded(i, kMountpoint); }
std::wstring CityTable::Network(std::size_t i) const { return Decoded(i, kNetwork); }
std::wstring CityTable::Authentication(std::size_t i) const { return Decoded(i, kAuthentication); }
std::wstring CityTable::Label(std::size_t i) const { return Decoded(i, kLabel); }
std::int32_t CityTable::NmeaValue(std::size_t i) const { return i < m_streams.size() ? m_streams[i].nmeaValue : 0; }

std::size_t CityTable::FindLabel(std::wstring_view label) const {
  // Compared as stored bytes: no text is decoded for the streams passed by.
  const std::string wanted = platform::EncodeUtf8(label);
  for (std::size_t i = 0; i < m_streams.size(); ++i) {
    if (TextOf(m_streams[i], kLabel) == wanted) return i;
  }
  return m_streams.size();
}

void CityTable::SetLabel(std::size_t i, std::wstring_view label) {
  if (i >= m_streams.size()) return;
  _CityTableEntry entry = (*this)[i];
  entry.label = label;
  const int network = m_streams[i].network;
  Append(entry, network);
  m_streams[i] = m_streams.back();
  m_streams.pop_back();
}

void CityTable::SetNetworks(const std::vector<_NetTableEntry>& networks) {
  m_networks.clear();
  m_networks.reserve(networks.size());
  for (const _NetTableEntry& n : networks) m_networks.push_back({n.webReg, n.operatorName, n.webNet});
}

std::string& CityTable::BlockFor(std::size_t bytes) {
  if (m_blocks.empty() || m_blocks.back()->size() + bytes > m_blocks.back()->capacity()) {
    // Small tables stay small: blocks double from 4 kB up to the full size.
    const std::size_t previous = m_blocks.empty() ? kFirstBlockBytes / 2 : m_blocks.back()->capacity();
    auto block = std::make_unique<std::string>();
    block->reserve(std::max(bytes, std::min(kBlockBytes, 2 * previous)));
    m_blocks.push_back(std::move(block));
  }
  return *m_blocks.back();
}

void CityTable::Append(const _CityTableEntry& e, int network) {
  const std::wstring* const texts[kTextCount] = {
      &e.mountpoint, &e.identifier, &e.format,         &e.formatDetails, &e.carrier, &e.navSystem, &e.network,
      &e.country,    &e.latitude,   &e.longitude,      &e.nmea,          &e.solution, &e.generator, &e.comprEncryp,
      &e.authentication, &e.fee,    &e.bitrate,        &e.misc,          &e.formatRaw, &e.label};
  Stream s;
  m_scratch.clear();
  for (std::size_t t = 0; t < kTextCount; ++t) {
    AppendUtf8(m_scratch, *texts[t]);
    s.ends[t] = static_cast<std::uint32_t>(m_scratch.size());
  }
  std::string& block = BlockFor(m_scratch.size());
  s.block = static_cast<std::uint32_t>(m_blocks.size() - 1);
  s.start = static_cast<std::uint32_t>(block.size());
  block += m_scratch;
  s.carrierValue = e.carrierValue;
  s.nmeaValue = e.nmeaValue;
  s.network = network;
  m_streams.push_back(s);
}

void CityTable::ShrinkToFit() {
  if (!m_blocks.empty()) m_blocks.back()->shrink_to_fit();
}
