#include "store/StationIndex.h"

#include <algorithm>
#include <cstring>

#include "text/FieldText.h"

namespace tolvo {
namespace {

std::uint64_t HashOf(std::string_view key) {
  std::uint64_t h = 0xcbf29ce484222325ull;  // FNV-1a
  for (unsigned char c : key) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  return h * 0x9E3779B97F4A7C15ull;  // spreads the low bits into the high ones
}

std::string_view CallSignOf(const std::array<char, StationIndex::kCallSignBytes>& bytes,
                            std::uint8_t size) {
  return {bytes.data(), size};
}

}  // namespace

void StationIndex::Clear() {
  blocks_.clear();
  slots_.clear();
  count_ = 0;
  shift_ = 64;
}

std::size_t StationIndex::SlotOf(std::string_view key) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = static_cast<std::size_t>(HashOf(key) >> shift_) & mask;
  for (;; slot = (slot + 1) & mask) {
    const std::uint32_t e = slots_[slot];
    if (e == kNoEntry) return slot;
    const Entry& entry = At(e);
    if (CallSignOf(entry.callSign, entry.callSignSize) == key) return slot;
  }
}

// The slots are doubled when half of them are taken, so that a lookup that
// finds nothing ends at an empty slot after a step or two.
void StationIndex::Grow() {
  slots_.assign(std::max<std::size_t>(64, slots_.size() * 2), kNoEntry);
  shift_ = 64;
  for (std::size_t size = slots_.size(); size > 1; size /= 2) --shift_;
  // The entries are walked in their order, which reads them one after the
  // other; their call signs are distinct, so each takes the first free slot
  // from its hash on, without comparing.
  const std::size_t mask = slots_.size() - 1;
  for (std::uint32_t e = 0; e < count_; ++e) {
    const Entry& entry = At(e);
    std::size_t slot =
        static_cast<std::size_t>(HashOf(CallSignOf(entry.callSign, entry.callSignSize)) >> shift_) &
        mask;
    while (slots_[slot] != kNoEntry) slot = (slot + 1) & mask;
    slots_[slot] = e;
  }
}

std::optional<std::uint32_t> StationIndex::Put(std::string_view callSign,
                                               std::string_view locator) {
  const std::string_view key = StripTrailingSpaces(callSign);
  if (key.size() > kCallSignBytes || locator.size() > kLocatorBytes) return std::nullopt;
  if (slots_.empty() || 2 * (count_ + 1) > slots_.size()) Grow();
  const std::size_t slot = SlotOf(key);
  std::uint32_t e = slots_[slot];
  if (e == kNoEntry) {
    if (count_ == blocks_.size() * kBlockEntries)
      blocks_.push_back(std::make_unique<Entry[]>(kBlockEntries));
    e = static_cast<std::uint32_t>(count_++);
    Entry& entry = At(e);
    // An empty view may have no data at all, which memcpy must not be given.
    if (!key.empty()) std::memcpy(entry.callSign.data(), key.data(), key.size());
    entry.callSignSize = static_cast<std::uint8_t>(key.size());
    slots_[slot] = e;
  }
  Entry& entry = At(e);
  if (!locator.empty()) std::memcpy(entry.locator.data(), locator.data(), locator.size());
  entry.locatorSize = static_cast<std::uint8_t>(locator.size());
  return e;
}

std::optional<std::uint32_t> StationIndex::Find(std::string_view callSign) const {
  const std::string_view key = StripTrailingSpaces(callSign);
  if (slots_.empty() || key.size() > kCallSignBytes) return std::nullopt;
  const std::uint32_t e = slots_[SlotOf(key)];
  if (e == kNoEntry) return std::nullopt;
  return e;
}

std::string_view StationIndex::CallSign(std::uint32_t station) const {
  const Entry& entry = At(station);
  return CallSignOf(entry.callSign, entry.callSignSize);
}

std::string_view StationIndex::Locator(std::uint32_t station) const {
  const Entry& entry = At(station);
  return {entry.locator.data(), entry.locatorSize};
}

}  // namespace tolvo
