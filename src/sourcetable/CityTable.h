#pragma once
// The streams of a source table, stored compactly: a caster may list a
// hundred thousand streams, and a record of two dozen wide strings each
// (about 1.6 kB a stream) would need 160 MB for them. Here every text of a
// stream is kept as UTF-8 in shared blocks, one small index record per
// stream, and the texts its network contributes once per network.
//
// Reading looks like a vector of `_CityTableEntry`: `size()`, `[i]`, `at(i)`,
// `front()`, `back()` and iteration hand out each stream as a fresh copy of
// the record (const, so that writing into the copy does not compile). The
// look-ups the lists need read single texts without building the record.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sourcetable/SourceTableEntries.h"

class CityTable {
 public:
  class const_iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = _CityTableEntry;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = const _CityTableEntry;
    const_iterator(const CityTable* table, std::size_t index) : m_table(table), m_index(index) {}
    const _CityTableEntry operator*() const { return (*m_table)[m_index]; }
    const_iterator& operator++() {
      ++m_index;
      return *this;
    }
    const_iterator operator++(int) { return const_iterator(m_table, m_index++); }
    bool operator==(const const_iterator& other) const { return m_index == other.m_index; }

   private:
    const CityTable* m_table;
    std::size_t m_index;
  };

  std::size_t size() const { return m_streams.size(); }
  bool empty() const { return m_streams.empty(); }
  void clear();
  // Out of range gives an empty record (the program throws no exceptions).
  const _CityTableEntry operator[](std::size_t i) const;
  const _CityTableEntry at(std::size_t i) const { return (*this)[i]; }
  const _CityTableEntry front() const { return (*this)[0]; }
  const _CityTableEntry back() const { return (*this)[size() - 1]; }
  const_iterator begin() const { return const_iterator(this, 0); }
  const_iterator end() const { return const_iterator(this, size()); }

  // Single texts of stream i, as the record would hold them.
  std::wstring Mountpoint(std::size_t i) const;
  std::wstring Network(std::size_t i) const;
  std::wstring Authentication(std::size_t i) const;
  std::wstring Label(std::size_t i) const;
  std::int32_t NmeaValue(std::size_t i) const;
  // The first stream whose label is `label`, or size() when none is.
  std::size_t FindLabel(std::wstring_view label) const;
  // Gives stream i another label (tests and benchmarks make labels unique).
  void SetLabel(std::size_t i, std::wstring_view label);

  // Building, as the stream pass reads: the networks' texts first, then each
  // stream with the index of its network in that list (-1: none).
  void SetNetworks(const std::vector<_NetTableEntry>& networks);
  void Append(const _CityTableEntry& entry, int network);
  // Gives back what the last block does not use.
  void ShrinkToFit();

 private:
  // The texts of a stream, in this order, one after the other in a block.
  enum Text : std::size_t {
    kMountpoint, kIdentifier, kFormat, kFormatDetails, kCarrier, kNavSystem, kNetwork, kCountry,
    kLatitude, kLongitude, kNmea, kSolution, kGenerator, kComprEncryp, kAuthentication, kFee,
    kBitrate, kMisc, kFormatRaw, kLabel, kTextCount
  };
  struct Stream {
    std::uint32_t block = 0;
    std::uint32_t start = 0;                // offset of the first text in its block
    std::uint32_t ends[kTextCount] = {};    // end of each text, from `start`
    std::int32_t carrierValue = 0;
    std::int32_t nmeaValue = 0;
    std::int32_t network = -1;
  };
  struct NetworkTexts {
    std::wstring registration, operatorName, details;
  };

  std::string_view TextOf(const Stream& stream, Text text) const;
  std::wstring Decoded(std::size_t i, Text text) const;
  // Room for `bytes` more in the last block (a new block when it is full).
  std::string& BlockFor(std::size_t bytes);

  std::deque<Stream> m_streams;  // grows without moving what it holds
  std::vector<std::unique_ptr<std::string>> m_blocks;  // each keeps its capacity: texts never move
  std::vector<NetworkTexts> m_networks;
  std::string m_scratch;
};
