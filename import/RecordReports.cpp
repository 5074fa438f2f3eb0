#include "import/RecordReports.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <utility>

#include "source/FileHelpers.h"
#include "text/Cp1250Text.h"

namespace tolvo {
namespace {

constexpr std::string_view kCountryColumn = "KRAJ";

std::string CountryText(const std::optional<std::int16_t>& country) {
  return country ? std::to_string(*country) : std::string();
}

std::string TextOf(const std::optional<std::string>& value) {
  return value ? *value : std::string();
}

std::string Utf8(const std::optional<std::string>& value) {
  return value ? Cp1250ToUtf8(*value) : std::string();
}

// A field as CSV holds it: quoted when it holds a separator, a quote or a
// line end; made text where a spreadsheet would read a formula.
void AppendField(std::string& line, std::string_view field) {
  std::string value;
  if (!field.empty() && (field[0] == '=' || field[0] == '+' || field[0] == '-' || field[0] == '@' ||
                         field[0] == '\t' || field[0] == '\r'))
    value = "'";
  value += field;
  if (value.find_first_of(",\"\r\n") == std::string::npos) {
    line += value;
    return;
  }
  line += '"';
  for (char c : value) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

}  // namespace

std::vector<ColumnChange> ChangedColumns(const StationRow& planned, const StationRow& stored) {
  std::vector<ColumnChange> changes;
  for (std::size_t i = 0; i < kStationTextFieldCount; ++i) {
    const auto field = static_cast<StationField>(i);
    if (!planned.Writes(field)) continue;
    // The stored value as the column would take it, without a copy.
    const std::optional<std::string_view> was =
        stored.text[i] ? ColumnView(field, *stored.text[i]) : std::nullopt;
    const std::optional<std::string>& listed = planned.text[i];
    if (was.has_value() != listed.has_value() || (was && *was != *listed))
      changes.push_back({InfoOf(field).column, TextOf(stored.text[i]), TextOf(planned.text[i])});
  }
  if (planned.country && planned.country != stored.country)
    changes.push_back({kCountryColumn, CountryText(stored.country), CountryText(planned.country)});
  return changes;
}

// ---- CsvFile ----

CsvFile::CsvFile(std::filesystem::path file) : file_(std::move(file)) {
  const std::filesystem::path folder = file_.has_parent_path() ? file_.parent_path() : ".";
  std::string pattern = (folder / ("." + file_.filename().string() + ".XXXXXX")).string();
  const int fd = mkstemp(pattern.data());
  if (fd < 0) Fail(errno);
  temporary_ = pattern;
  // A file as any other that the user makes, not mkstemp's owner-only one.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, static_cast<mode_t>(0666 & ~mask));
  out_ = fdopen(fd, "wb");
  if (!out_) {
    const int err = errno;
    close(fd);
    Fail(err);
  }
  std::fputs("\xEF\xBB\xBF", out_);
}

CsvFile::~CsvFile() {
  if (out_) std::fclose(out_);
  if (!finished_ && !temporary_.empty()) unlink(temporary_.c_str());
}

void CsvFile::Fail(int err) {
  if (out_) std::fclose(out_);
  out_ = nullptr;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
  throw std::runtime_error("Nie udało się zapisać pliku " + file_.string() + ": " + ErrnoText(err));
}

void CsvFile::Line(const std::vector<std::string>& fields) {
  if (!out_) return;
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i != 0) line += ',';
    AppendField(line, fields[i]);
  }
  line += "\r\n";
  std::fwrite(line.data(), 1, line.size(), out_);
}

void CsvFile::Finish() {
  if (!out_) return;
  errno = 0;
  if (std::fflush(out_) != 0 || std::ferror(out_) || fsync(fileno(out_)) != 0)
    Fail(errno != 0 ? errno : EIO);
  const int closed = std::fclose(out_);
  out_ = nullptr;
  if (closed != 0 || rename(temporary_.c_str(), file_.c_str()) != 0) Fail(errno);
  finished_ = true;
}

// ---- RecordReports ----

RecordReports::RecordReports(IRunDisplay& inner, ICallbook& book) : inner_(inner), book_(book) {}

void RecordReports::WriteChangesTo(const std::filesystem::path& file) {
  changes_ = std::make_unique<CsvFile>(file);
  book_.ExpectStoredRows();
  changes_->Line({"znak", "kolumna", "w callbooku", "na liście"});
}

void RecordReports::WriteAddedTo(const std::filesystem::path& file) {
  added_ = std::make_unique<CsvFile>(file);
  std::vector<std::string> header = {"znak"};
  for (const StationFieldInfo& info : kStationFieldInfo)
    if (info.column != InfoOf(StationField::STACJA).column) header.emplace_back(info.column);
  header.emplace_back(kCountryColumn);
  added_->Line(header);
}

void RecordReports::RecordDone(const RecordPlan& plan) {
  inner_.RecordDone(plan);
  const std::optional<std::string>& call = plan.row[StationField::STACJA];
  if (!call) return;
  if (added_ && plan.outcome == RecordOutcome::Added) {
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < kStationTextFieldCount; ++i)
      fields.push_back(Utf8(plan.row.text[i]));
    fields.push_back(CountryText(plan.row.country));
    added_->Line(fields);
    return;
  }
  if (!changes_ ||
      (plan.outcome != RecordOutcome::AlreadyThere && plan.outcome != RecordOutcome::LocatorFilled))
    return;
  if (!book_.StoredRow(*call, stored_)) return;
  const std::vector<ColumnChange> changes = ChangedColumns(plan.row, stored_);
  if (changes.empty()) return;
  const std::string station = Cp1250ToUtf8(*call);
  for (const ColumnChange& c : changes)
    changes_->Line(
        {station, std::string(c.column), Cp1250ToUtf8(c.stored), Cp1250ToUtf8(c.listed)});
  changed_.insert(*call);
}

void RecordReports::Abandon() {
  changes_.reset();
  added_.reset();
}

void RecordReports::Finish(const std::string& lastLine) {
  for (CsvFile* file : {changes_.get(), added_.get()}) {
    if (!file) continue;
    if (!lastLine.empty()) file->Line({lastLine});
    file->Finish();
  }
}

}  // namespace tolvo
