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
  // Added: the new station. For a station found (AlreadyThere,
  // LocatorFilled), when the lookup WantsRowsOfFound: the row the step
  // would have written for it as a new station; nothing of it is written.
  StationRow row;
  std::string callSign;  // LocatorFilled: the station, as the lookup found it,
  std::string locator;   // and its new locator

  static RecordPlan Skip(RecordOutcome why) { return {why, {}, {}, {}}; }
  static RecordPlan Insert(StationRow row) {
    return {RecordOutcome::Added, std::move(row), {}, {}};
  }
  static RecordPlan FillLocator(std::string callSign, std::string locator) {
    return {RecordOutcome::LocatorFilled, {}, std::move(callSign), std::move(locator)};
  }
  // The plan of a station found, with the row it would have got as a new one.
  RecordPlan WithRow(StationRow newRow) && {
    row = std::move(newRow);
    return std::move(*this);
  }
};

// Whether a record whose call sign STACJA would hold as `key` adds a
// station: `skip` is the reason it does not (no call sign, or the callbook
// holds that station already), nothing when the station is new or when it is
// there and the lookup wants the row the list gives it all the same
// (`found`). The lookup is made either way.
struct NewCheck {
  std::optional<RecordOutcome> skip;
  bool found = false;
};
inline NewCheck CheckNew(std::string_view key, IStationLookup& lookup) {
  const bool found = lookup.Find(key).has_value();
  if (key.empty()) return {RecordOutcome::NoCallSign, found};
  if (found && !lookup.WantsRowsOfFound()) return {RecordOutcome::AlreadyThere, found};
  return {std::nullopt, found};
}

// The columns a list gives a new station, as its step made them; a list
// without one leaves it out (an empty one it gives is NULL all the same, but
// counts as written).
struct NewStation {
  using Column = std::optional<std::string_view>;
  Column callSign{};  // as STACJA holds it
  Column fullName{};
  Column firstName{};
  Column surname{};
  Column town{};
  Column postalCode{};
  Column address{};
  Column locator{};
  Column voivodeship{};
  Column county{};
  Column region{};  // DOMENA
};

// The row of a new station in `country`: the columns of `station` set as
// StationRow::Set sets them (an empty one is NULL), the others NULL.
inline StationRow NewStationRow(const NewStation& station, std::int16_t country) {
  StationRow row;
  const auto set = [&row](StationField f, const NewStation::Column& value) {
    if (value) row.Set(f, *value);
  };
  set(StationField::STACJA, station.callSign);
  set(StationField::NAZWA, station.fullName);
  set(StationField::IMIE, station.firstName);
  set(StationField::NAZWISKO, station.surname);
  set(StationField::MIASTO, station.town);
  set(StationField::KODPOCZT, station.postalCode);
  set(StationField::ADRES, station.address);
  set(StationField::LOKATOR, station.locator);
  set(StationField::WOJEW, station.voivodeship);
  set(StationField::POWIAT, station.county);
  set(StationField::DOMENA, station.region);
  row.country = country;
  return row;
}

// The plan for the row a record gives its station: inserted when the
// station is new; when it is there (the lookup wanted the row all the same),
// the row goes with `ofFound`, what becomes of the found station.
inline RecordPlan PlanRow(StationRow row, std::optional<RecordPlan> ofFound) {
  if (ofFound) return std::move(*ofFound).WithRow(std::move(row));
  return RecordPlan::Insert(std::move(row));
}
inline RecordPlan PlanRow(StationRow row, bool found) {
  if (found) return RecordPlan::Skip(RecordOutcome::AlreadyThere).WithRow(std::move(row));
  return RecordPlan::Insert(std::move(row));
}

}  // namespace tolvo
