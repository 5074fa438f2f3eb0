// What a run can tell of its records beside its counts, each as a CSV file:
// the columns in which a list's station differs from its row in the
// callbook, and the stations that the run adds. A command-line import writes
// them on request, the benchmark times them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "import/ImportRun.h"
#include "store/ICallbook.h"

namespace tolvo {

// One column in which a station as a list gives it differs from its stored
// row. Values in Windows-1250, empty for NULL.
struct ColumnChange {
  std::string_view column;  // as STACJE names it
  std::string stored;
  std::string listed;
};

// The columns that `planned` writes (StationRow::written, and KRAJ when it
// has a country) whose value differs from `stored`'s, in STACJE's order of
// the station fields, KRAJ last. A stored value is taken as a column would
// store it (an empty text is NULL), as the planned one is.
std::vector<ColumnChange> ChangedColumns(const StationRow& planned, const StationRow& stored);

// A CSV file as spreadsheet programs read it: UTF-8 with a byte-order mark,
// fields quoted where they need it, lines ended by CR LF. It is written
// under a temporary name in its folder and takes its own name only at
// Finish, so that a file of that name is either whole or not touched.
class CsvFile {
 public:
  // Creates the temporary file; throws std::runtime_error with a Polish
  // sentence when it cannot.
  explicit CsvFile(std::filesystem::path file);
  // Removes the temporary file, unless Finish put it in place.
  ~CsvFile();
  CsvFile(const CsvFile&) = delete;
  CsvFile& operator=(const CsvFile&) = delete;

  // One line of UTF-8 fields. A field that a spreadsheet would take for a
  // formula (its first character = + - @, a tab or CR) gets an apostrophe
  // in front, so that it shows as text.
  void Line(const std::vector<std::string>& fields);
  // Writes everything out and gives the file its name; throws
  // std::runtime_error (Polish) when that fails, the temporary file then
  // removed.
  void Finish();

  const std::filesystem::path& Path() const { return file_; }

 private:
  [[noreturn]] void Fail(int err);

  std::filesystem::path file_;
  std::filesystem::path temporary_;
  std::FILE* out_ = nullptr;
  bool finished_ = false;
};

// A run's display that passes everything on to `inner` and writes what it
// is asked for of every record done: for a station found, the columns where
// the list differs from the callbook (after the record's plan was carried
// out, as `book` then holds the row); for a station added, its row.
class RecordReports final : public IRunDisplay {
 public:
  RecordReports(IRunDisplay& inner, ICallbook& book);

  // The files to write; each throws as CsvFile does. Headers: znak,
  // kolumna, w callbooku, na liście; znak and the columns of a new row.
  void WriteChangesTo(const std::filesystem::path& file);
  void WriteAddedTo(const std::filesystem::path& file);

  // Ends every file, with `lastLine` (UTF-8) as its last line when it is not
  // empty (why the run ended early), and puts it in place; throws as
  // CsvFile::Finish does.
  void Finish(const std::string& lastLine);

  // Removes the files unfinished, for an end of the program that leaves
  // out the destructors.
  void Abandon();

  // The stations found whose row differs from the list in some column.
  std::int64_t StationsChanged() const { return static_cast<std::int64_t>(changed_.size()); }

  void Begin(std::optional<std::int64_t> total) override { inner_.Begin(total); }
  void ShowRecord(std::int64_t number) override { inner_.ShowRecord(number); }
  bool StopRequested() override { return inner_.StopRequested(); }
  bool WantsRowsOfFound() const override { return changes_ != nullptr; }
  void RecordDone(const RecordPlan& plan) override;

 private:
  IRunDisplay& inner_;
  ICallbook& book_;
  std::unique_ptr<CsvFile> changes_;
  std::unique_ptr<CsvFile> added_;
  std::unordered_set<std::string> changed_;
  StationRow stored_;  // the stored row last read
};

}  // namespace tolvo
