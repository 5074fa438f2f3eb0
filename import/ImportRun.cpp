#include "import/ImportRun.h"

#include <utility>

#include "source/DbfTable.h"

namespace tolvo {
namespace {

// The callbook's lookup, asking the steps for the rows of stations found.
class RowsOfFoundLookup final : public IStationLookup {
 public:
  explicit RowsOfFoundLookup(IStationLookup& inner) : inner_(inner) {}
  std::optional<StoredStation> Find(std::string_view callSign) override {
    return inner_.Find(callSign);
  }
  bool WantsRowsOfFound() const override { return true; }

 private:
  IStationLookup& inner_;
};

}  // namespace

void RunSummary::Count(RecordOutcome outcome) {
  ++records;
  switch (outcome) {
    case RecordOutcome::Added: ++added; return;
    case RecordOutcome::AlreadyThere: ++alreadyThere; return;
    case RecordOutcome::LocatorFilled: ++locatorsFilled; return;
    case RecordOutcome::NoCallSign: ++noCallSign; return;
    case RecordOutcome::Skipped: ++skipped; return;
  }
  ++skipped;  // a value outside the enumeration still counts once
}

RecordOutcome CarryOut(const RecordPlan& plan, ICallbook& book) {
  if (plan.outcome == RecordOutcome::Added) book.Insert(plan.row);
  if (plan.outcome == RecordOutcome::LocatorFilled) book.FillLocator(plan.callSign, plan.locator);
  return plan.outcome;
}

RunSummary RunImport(IRecordSource& source, ICallbook& book, IRunDisplay& display) {
  RunSummary summary;
  RunImport(source, book, display, summary);
  return summary;
}

void RunImport(IRecordSource& source, ICallbook& book, IRunDisplay& display, RunSummary& summary) {
  summary = RunSummary{};
  RowsOfFoundLookup rowsOfFound(book);
  IStationLookup& lookup =
      display.WantsRowsOfFound() ? static_cast<IStationLookup&>(rowsOfFound) : book;
  display.Begin(source.Open());
  std::int64_t number = 0;
  for (;;) {
    const bool more = source.Next(number);
    summary.deleted = source.PassedOver();
    if (!more && !source.Passing()) break;
    if (more) display.ShowRecord(number);
    if (display.StopRequested()) {
      summary.stopped = true;
      return;
    }
    if (!more) continue;
    const RecordPlan plan = source.Step(lookup);
    summary.Count(CarryOut(plan, book));
    display.RecordDone(plan);
  }
  source.Finish();
}

TableSource::TableSource(DbfTable& table, RecordStep step)
    : table_(table), step_(std::move(step)) {}

std::optional<std::int64_t> TableSource::Open() {
  table_.Open(DbfTable::Pass::Some);
  started_ = false;
  return table_.RecordCount();
}

bool TableSource::Next(std::int64_t& number) {
  if (started_) {
    table_.Next(DbfTable::Pass::Some);
  } else {
    table_.First(DbfTable::Pass::Some);
    started_ = true;
  }
  // The table passes over deleted records by itself, and counts them.
  if (table_.Eof()) return false;
  number = table_.RecNo();
  return true;
}

bool TableSource::Passing() const { return table_.Passing(); }

std::int64_t TableSource::PassedOver() const { return started_ ? table_.DeletedPassed() : 0; }

RecordPlan TableSource::Step(IStationLookup& lookup) {
  return step_ ? step_(table_, lookup) : RecordPlan::Skip(RecordOutcome::Skipped);
}

ReportSource::ReportSource(std::filesystem::path file, LineStep step)
    : file_(std::move(file)), step_(std::move(step)) {}

std::optional<std::int64_t> ReportSource::Open() {
  report_.Open(file_);
  count_ = 0;
  headerRead_ = false;
  return std::nullopt;
}

bool ReportSource::Next(std::int64_t& number) {
  if (!headerRead_) {
    headerRead_ = true;
    for (int i = 0; i < kReportHeaderLines && report_.ReadLine(line_); ++i) {
    }
  }
  if (!report_.ReadLine(line_)) return false;
  number = ++count_;
  return true;
}

RecordPlan ReportSource::Step(IStationLookup& lookup) {
  return step_ ? step_(line_, lookup) : RecordPlan::Skip(RecordOutcome::Skipped);
}

void ReportSource::Finish() { report_.Close(); }

}  // namespace tolvo
