// One walk over a source of station records, the same for every caller: the
// import dialog, the benchmark, the fuzz harness and a command-line import.
// The run hands each record to the list's per-record step, writes what the
// step planned, counts it, tells a display which record it is at, and asks
// the display between two records whether to stop. What differs between the callers is only the
// display: the dialog's labels and bar with a pass of the message loop, nothing at all for a
// headless run, a terminal line for a command-line tool.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "import/RecordOutcome.h"
#include "source/RecordFields.h"
#include "source/TextReport.h"
#include "store/ICallbook.h"

namespace tolvo {

class DbfTable;

// A report's station lines start after this many header lines.
inline constexpr int kReportHeaderLines = 4;

// What should be done with one record of a dBASE table, or one station line
// of a report. A step is given the record and a lookup; it looks up the call
// sign itself, when and only when it needs the stored station (so that the
// order of its field reads and its lookup is its own), and returns its plan.
// It never writes: the run carries the plan out (CarryOut). An empty step
// plans nothing (Skipped).
using RecordStep = std::function<RecordPlan(const IRecordFields& record, IStationLookup& lookup)>;
using LineStep = std::function<RecordPlan(std::string_view line, IStationLookup& lookup)>;

// Writes what `plan` says (one INSERT for a row to insert, one UPDATE for a
// locator to fill, nothing otherwise) and returns its outcome. Errors of the
// callbook pass through, the record then not done with.
RecordOutcome CarryOut(const RecordPlan& plan, ICallbook& book);

// What a run walks over.
class IRecordSource {
 public:
  virtual ~IRecordSource() = default;
  // Opens the source for a walk from its start. Returns the number of its
  // records where it is known before the walk (a table's header says it),
  // nullopt otherwise (a report's lines are counted as they are read).
  virtual std::optional<std::int64_t> Open() = 0;
  // Moves to the next record, on the first call after Open to the first
  // one; false when there is none left. `number` gets the record's number:
  // a table's record number (from 1), otherwise the count so far.
  virtual bool Next(std::int64_t& number) = 0;
  // Hands the current record to the per-record step; returns its plan.
  virtual RecordPlan Step(IStationLookup& lookup) = 0;
  // After Next returned false: true when the source is not at its end yet
  // but stopped in a long stretch of records that are none for the step
  // (records marked deleted), so that the run can ask whether to stop; the
  // next Next goes on from there.
  virtual bool Passing() const { return false; }
  // The walk has reached the end of the source.
  virtual void Finish() {}
  // The records marked deleted that the walk has passed over so far
  // (those after the last record too, once Next has said there is none).
  virtual std::int64_t PassedOver() const { return 0; }
};

// What a run reports to.
class IRunDisplay {
 public:
  virtual ~IRunDisplay() = default;
  // The source is open; `total` as IRecordSource::Open returned it.
  virtual void Begin(std::optional<std::int64_t> total) = 0;
  // Record `number` is the next one for the step.
  virtual void ShowRecord(std::int64_t number) = 0;
  // Asked after every ShowRecord, before the step: true ends the run there,
  // between two records, with every record before it handled. Asked too,
  // without a ShowRecord, while the source passes over a long stretch of
  // records marked deleted.
  virtual bool StopRequested() = 0;
  // Whether the steps are to plan, for a station found, the row they would
  // write for a new one (see IStationLookup::WantsRowsOfFound), for
  // RecordDone to see.
  virtual bool WantsRowsOfFound() const { return false; }
  // The record shown last is done with: `plan` was carried out.
  virtual void RecordDone(const RecordPlan& plan) { (void)plan; }
};

// Shows nothing and never stops a run.
class NoDisplay final : public IRunDisplay {
 public:
  void Begin(std::optional<std::int64_t>) override {}
  void ShowRecord(std::int64_t) override {}
  bool StopRequested() override { return false; }
};

// What a run did. The counts of the outcomes add up to `records`.
struct RunSummary {
  std::int64_t records = 0;  // records handed to the step, and done with
  bool stopped = false;      // the display asked to stop before the end
  std::int64_t added = 0;
  std::int64_t alreadyThere = 0;
  std::int64_t locatorsFilled = 0;
  std::int64_t noCallSign = 0;
  std::int64_t skipped = 0;
  std::int64_t deleted = 0;  // records marked deleted, passed over unread

  // Counts one record that the step is done with.
  void Count(RecordOutcome outcome);
};

// Walks `source` from its start to its end, or until `display` asks to
// stop: for each record ShowRecord, StopRequested, then the step with `book`
// as its lookup, the step's plan carried out into `book`, and RecordDone;
// while the source is Passing, StopRequested alone. Errors of the source, the step and
// the callbook pass through and end the run.
RunSummary RunImport(IRecordSource& source, ICallbook& book, IRunDisplay& display);
// The same, with `summary` (reset first) kept up to date record by record,
// so that after an error it still tells what was done before it.
void RunImport(IRecordSource& source, ICallbook& book, IRunDisplay& display, RunSummary& summary);

// A dBASE table, walked from its first record; records marked deleted are
// passed over, a long stretch of them in pieces (DbfTable::Pass::Some). The
// table stays open after the run (Open does nothing for a
// table that is open already), so that the next run reads the same table
// from its first record again.
class TableSource final : public IRecordSource {
 public:
  TableSource(DbfTable& table, RecordStep step);
  std::optional<std::int64_t> Open() override;
  bool Next(std::int64_t& number) override;
  RecordPlan Step(IStationLookup& lookup) override;
  bool Passing() const override;
  std::int64_t PassedOver() const override;

 private:
  DbfTable& table_;
  RecordStep step_;
  bool started_ = false;
};

// A text report: its header lines are passed over, every line after them
// is a record (short ones included: the step decides). The file is closed
// when the walk reaches its end, or when the source goes.
class ReportSource final : public IRecordSource {
 public:
  ReportSource(std::filesystem::path file, LineStep step);
  std::optional<std::int64_t> Open() override;
  bool Next(std::int64_t& number) override;
  RecordPlan Step(IStationLookup& lookup) override;
  void Finish() override;

 private:
  std::filesystem::path file_;
  LineStep step_;
  TextReport report_;
  std::string line_;
  std::int64_t count_ = 0;
  bool headerRead_ = false;
};

}  // namespace tolvo
