#include "import/ImportRun.h"

#include <utility>

#include "source/DbfTable.h"

namespace tolvo {

RunSummary RunImport(IRecordSource& source, ICallbook& book, IRunDisplay& display) {
  RunSummary summary;
  display.Begin(source.Open());
  std::int64_t number = 0;
  while (source.Next(number)) {
    display.ShowRecord(number);
    if (display.StopRequested()) {
      summary.stopped = true;
      return summary;
    }
    source.Step(book);
    ++summary.records;
  }
  source.Finish();
  return summary;
}

TableSource::TableSource(DbfTable& table, RecordStep step)
    : table_(table), step_(std::move(step)) {}

std::optional<std::int64_t> TableSource::Open() {
  table_.Open();
  started_ = false;
  return table_.RecordCount();
}

bool TableSource::Next(std::int64_t& number) {
  if (started_) {
    table_.Next();
  } else {
    table_.First();
    started_ = true;
  }
  if (table_.Eof()) return false;
  number = table_.RecNo();
  return true;
}

void TableSource::Step(ICallbook& book) {
  if (step_) step_(table_, book);
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

void ReportSource::Step(ICallbook& book) {
  if (step_) step_(line_, book);
}

void ReportSource::Finish() { report_.Close(); }

}  // namespace tolvo
