// What one per-record step plans for its record, and what came of it. Every
// record a step is handed ends in exactly one outcome, so that a run's counts
// add up to the records it read.
#pragma once

#include <string>
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

}  // namespace tolvo
