// What one per-record step did with its record. Every record a step is
// handed ends in exactly one of these, so that a run's counts add up to the
// records it read.
#pragma once

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

}  // namespace tolvo
