// What one per-record step plans for its record, and what came of it. Every
// record a step is handed ends in exactly one outcome, so that a run's counts
// add up to the records it read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "store/ICallbook.h"

namespace tolvo {

enum class RecordOutcome {
  Added,          // a new station row was written
  AlreadyThere,   // the station is in the callbook already (put there before
                  // or earlier in the same list); nothing was written
  LocatorFilled,  // a station already there got the locator it lacked
  NoCallSign,     // the record has no call sign; nothing was written
  Skipped,        // nothing was written for another reason (a report line
                  // too short to hold a station; no step at all)
};

// A step's answer: a row to insert (Added), a locator to fill in a station
// already there (LocatorFilled), or the reason nothing is written (any other
// outcome). The run carries it out.
struct RecordPlan {
  RecordOutcome outcome = RecordOutcome::Skipped;
  StationRow row;        // Added: the new station
  std::string callSign;  // LocatorFilled: the station, as the lookup found it,
  std::string locator;   // and its new locator

  static RecordPlan Skip(RecordOutcome why) { return {why, {}, {}, {}}; }
  static RecordPlan Insert(StationRow row) {
    return {RecordOutcome::Added, std::move(row), {}, {}};
  }
  static RecordPlan FillLocator(std::string callSign, std::string locator) {
    return {RecordOutcome::LocatorFilled, {}, std::move(callSign), std::move(locator)};
  }
};

// The reason a record whose call sign STACJA would hold as `key` adds no
// station: it has no call sign, or the callbook holds that station already;
// nothing when the station is new. The lookup is made either way.
inline std::optional<RecordOutcome> WhyNotNew(std::string_view key, IStationLookup& lookup) {
  const bool found = lookup.Find(key).has_value();
  if (key.empty()) return RecordOutcome::NoCallSign;
  if (found) return RecordOutcome::AlreadyThere;
  return std::nullopt;
}

// The columns a list gives a new station, as its step made them; a list
// without one leaves it empty.
struct NewStation {
  std::string_view callSign{};  // as STACJA holds it
  std::string_view fullName{};
  std::string_view firstName{};
  std::string_view surname{};
  std::string_view town{};
  std::string_view postalCode{};
  std::string_view address{};
  std::string_view locator{};
  std::string_view voivodeship{};
  std::string_view county{};
  std::string_view region{};  // DOMENA
};

// The row of a new station in `country`: the columns of `station` set as
// StationRow::Set sets them (an empty one is NULL), the others NULL.
inline StationRow NewStationRow(const NewStation& station, std::int16_t country) {
  StationRow row;
  row.Set(StationField::STACJA, station.callSign);
  row.Set(StationField::NAZWA, station.fullName);
  row.Set(StationField::IMIE, station.firstName);
  row.Set(StationField::NAZWISKO, station.surname);
  row.Set(StationField::MIASTO, station.town);
  row.Set(StationField::KODPOCZT, station.postalCode);
  row.Set(StationField::ADRES, station.address);
  row.Set(StationField::LOKATOR, station.locator);
  row.Set(StationField::WOJEW, station.voivodeship);
  row.Set(StationField::POWIAT, station.county);
  row.Set(StationField::DOMENA, station.region);
  row.country = country;
  return row;
}

}  // namespace tolvo
