// The call signs of STACJE with their locators, held in memory for the
// lookups of one writing transaction: read once from the transaction's own
// view and kept up to date with its own inserts and updates, it answers
// every lookup as the table would in that transaction.
//
// A station costs 18 bytes of entry and 8 to 16 bytes of hash slots (24 for
// the moment the slots are doubled); the entries are kept in blocks of a
// fixed size, so that growing never moves or copies them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "store/StationFields.h"

namespace tolvo {

class StationIndex {
 public:
  // The widest values an entry holds: the widths of STACJA and LOKATOR.
  static constexpr std::size_t kCallSignBytes = InfoOf(StationField::STACJA).width;
  static constexpr std::size_t kLocatorBytes = InfoOf(StationField::LOKATOR).width;

  // Forgets every station.
  void Clear();

  // Adds a station by its call sign (trailing blanks do not count) or, when
  // it is there already, gives it `locator`; returns its number, as Find
  // gives it. Nothing, and nothing changed, when a value is wider than an
  // entry holds.
  std::optional<std::uint32_t> Put(std::string_view callSign, std::string_view locator);

  // The station whose call sign equals `callSign` exactly, trailing blanks
  // not counting; nullopt when there is none.
  std::optional<std::uint32_t> Find(std::string_view callSign) const;
  // The call sign and the locator of a station Find gave, as stored.
  std::string_view CallSign(std::uint32_t station) const;
  std::string_view Locator(std::uint32_t station) const;

 private:
  struct Entry {
    std::array<char, kCallSignBytes> callSign;
    std::array<char, kLocatorBytes> locator;
    std::uint8_t callSignSize;
    std::uint8_t locatorSize;
  };
  static constexpr std::size_t kBlockEntries = 1024;
  static constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;

  Entry& At(std::uint32_t i) { return blocks_[i / kBlockEntries][i % kBlockEntries]; }
  const Entry& At(std::uint32_t i) const { return blocks_[i / kBlockEntries][i % kBlockEntries]; }
  // The slot that holds `key`, or the empty slot where it would go.
  std::size_t SlotOf(std::string_view key) const;
  void Grow();

  std::vector<std::unique_ptr<Entry[]>> blocks_;
  std::vector<std::uint32_t> slots_;  // entry numbers; kNoEntry where empty
  std::size_t count_ = 0;
  int shift_ = 64;  // a hash shifted right by this much is a slot number
};

}  // namespace tolvo
