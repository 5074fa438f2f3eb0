// What the fuzz targets do with one input, shared with the GoogleTest that
// replays saved inputs, so that a finding is reproduced through the very
// same code. Every case runs the real reader or importer over the bytes and
// checks what must hold for any input:
//
//   - a damaged table may be refused, but only with the reader's own error
//     (ReaderError); anything else escaping is a fault;
//   - reading a table twice gives the same records and the same error;
//   - a report's lines are those of its bytes, split, cleaned and cut;
//   - an importer given any field values raises nothing, and importing the
//     same records a second time changes no row.
//
// A broken rule throws Violation, which no case catches: libFuzzer reports
// it as a crash, GoogleTest as a failed test.
#pragma once

#include <stdlib.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "import/ImportKinds.h"
#include "import/ImportRun.h"
#include "source/DbfTable.h"
#include "import/ListFields.h"
#include "source/RecordFields.h"
#include "source/TextReport.h"
#include "store/MemoryCallbook.h"
#include "text/CountryNumbers.h"
#include "text/FieldText.h"

namespace tolvo::fuzz {

class Violation : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

inline void Require(bool holds, const std::string& what) {
  if (!holds) throw Violation(what);
}

// Writes `bytes` as the whole content of `path`, replacing what was there.
inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path.string() + ": " + std::strerror(errno));
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) throw std::runtime_error("cannot write " + path.string());
}

// ---------------------------------------------------------------- dBASE tables

// An input for the table reader: the table's bytes, then optionally one of
// these markers and the bytes of its memo file. The marker names the memo
// file's kind (.DBT or .FPT), so both memo layouts are reached.
inline constexpr std::string_view kDbtMarker = "<<DBT>>";
inline constexpr std::string_view kFptMarker = "<<FPT>>";
inline constexpr const char* kTableName = "FUZZ.DBF";

// The table as its header lays it out, read here independently of the
// reader, to check which records it delivers and the bytes of its
// character fields.
struct RawTable {
  std::string_view bytes;
  std::int64_t recordCount = 0;
  std::size_t headerLength = 0;
  std::size_t recordLength = 0;

  explicit RawTable(std::string_view b) : bytes(b) {
    auto at = [&](std::size_t i) {
      return static_cast<std::uint32_t>(static_cast<unsigned char>(b[i]));
    };
    recordCount = at(4) | at(5) << 8 | at(6) << 16 | static_cast<std::int64_t>(at(7)) << 24;
    headerLength = at(8) | at(9) << 8;
    recordLength = at(10) | at(11) << 8;
  }
  // Record `recNo` (from 1), deletion flag first; empty when the file does
  // not hold it in full.
  std::string_view Record(std::int64_t recNo) const {
    const std::uint64_t start = headerLength + static_cast<std::uint64_t>(recNo - 1) * recordLength;
    if (start + recordLength > bytes.size()) return {};
    return bytes.substr(start, recordLength);
  }
};

// What one pass over the table delivered: every value of every record, then
// the error that stopped it, if any. Checks each record against the file:
// the records delivered are exactly those not marked deleted, in order, as
// far as the walk got, and a walk ends without error only when the file
// holds every record its header declares.
inline std::string ReadPass(DbfTable& table, const RawTable& raw, bool first) {
  std::string out;
  std::int64_t expected = 0;  // the last record number checked
  auto nextLive = [&] {
    for (++expected; expected <= raw.recordCount; ++expected) {
      const std::string_view r = raw.Record(expected);
      if (r.empty() || r[0] != '*') break;
    }
  };
  try {
    if (first) table.First();
    Require(table.RecordCount() == raw.recordCount, "record count differs from the header");
    while (!table.Eof()) {
      const std::int64_t recNo = table.RecNo();
      nextLive();
      Require(recNo == expected,
              "delivered record " + std::to_string(recNo) + ", want " + std::to_string(expected));
      const std::string_view record = raw.Record(recNo);
      Require(!record.empty(), "delivered record " + std::to_string(recNo) +
                                   ", which the file does not hold in full");
      out += std::to_string(recNo) + ':';
      std::size_t offset = 1;
      for (const DbfField& field : table.Fields()) {
        try {
          const std::string value = field.AsString();
          if (field.type() == 'C') {
            std::string_view stored = record.substr(offset, field.length());
            while (!stored.empty() && (stored.back() == ' ' || stored.back() == '\0'))
              stored.remove_suffix(1);
            Require(value == stored, "field " + field.name() + " of record " +
                                         std::to_string(recNo) + " is not its stored bytes");
          }
          if (field.type() == 'N' || field.type() == 'F')
            Require(value.size() <= field.length(),
                    "field " + field.name() + " gave more bytes than it holds");
          Require(field.AsString() == value, "field " + field.name() + " read twice differs");
          out += value;
        } catch (const ReaderError& e) {
          out += "!";
          out += e.what();
        }
        out += '|';
        offset += field.length();
      }
      Require(offset <= raw.recordLength, "the fields run past the record");
      table.Next();
    }
    Require(table.RecNo() == 0, "a record number after the end");
    nextLive();
    Require(expected > raw.recordCount, "the walk ended before record " + std::to_string(expected));
    Require(raw.headerLength + static_cast<std::uint64_t>(raw.recordCount) * raw.recordLength <=
                raw.bytes.size(),
            "a walk over a table cut short ended without error");
  } catch (const ReaderError& e) {
    out += "\nstopped: ";
    out += e.what();
  }
  return out;
}

// Expects the working folder to be a scratch folder of its own.
inline void DbfCase(std::string_view bytes) {
  std::string_view tableBytes = bytes;
  std::string_view memoBytes;
  const char* memoName = nullptr;
  const std::size_t dbt = bytes.find(kDbtMarker);
  const std::size_t fpt = bytes.find(kFptMarker);
  if (dbt != std::string_view::npos || fpt != std::string_view::npos) {
    const bool isDbt = dbt < fpt;
    const std::size_t at = isDbt ? dbt : fpt;
    tableBytes = bytes.substr(0, at);
    memoBytes = bytes.substr(at + kDbtMarker.size());
    memoName = isDbt ? "FUZZ.DBT" : "FUZZ.FPT";
  }
  std::remove("FUZZ.DBT");
  std::remove("FUZZ.FPT");
  WriteFile(kTableName, tableBytes);
  if (memoName) WriteFile(memoName, memoBytes);

  DbfTable table("Calls", kTableName);
  try {
    table.Open();
  } catch (const ReaderError&) {
    Require(!table.Active(), "a table that failed to open is still open");
    return;
  }
  Require(table.Active() && table.RecordCount() >= 0, "an opened table is not active");

  // Open has already moved to the first record; a second walk from First
  // must see the same file the same way.
  const RawTable raw(tableBytes);
  const std::string firstPass = ReadPass(table, raw, false);
  const std::string secondPass = ReadPass(table, raw, true);
  Require(firstPass == secondPass,
          "a second walk over the same table differs:\n" + firstPass + "\n----\n" + secondPass);

  for (const DbfField& field : table.Fields()) {
    const DbfField& byName = table.FieldByName(field.name());
    Require(byName.name().size() == field.name().size() &&
                strncasecmp(byName.name().c_str(), field.name().c_str(), field.name().size()) == 0,
            "field " + field.name() + " not found by its own name");
  }
  // Field names have at most ten bytes, so this one is never there.
  const std::string missing = "NO_SUCH_FIELD";
  try {
    table.FieldByName(missing);
    throw Violation("a field that no table can hold was found");
  } catch (const ReaderError& e) {
    const std::string what = e.what();
    Require(what.substr(0, what.find('\n')) == "Calls: Field '" + missing + "' not found",
            std::string("wrong text for a missing field: ") + e.what());
  }
}

// ---------------------------------------------------------------- text report

// The lines a report of these bytes holds: everything before the first
// Ctrl-Z, split at each LF, CR LF and lone CR; a last piece without a line
// end counts when it is not empty; each line cut to TextReport::kKeep bytes.
// A line longer than TextReport::kMaxLine ends them: the reader raises there.
struct ExpectedReport {
  std::vector<std::string> lines;
  bool tooLong = false;  // a line after `lines` is too long
};
inline ExpectedReport ExpectedReportLines(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\x1A'));
  ExpectedReport want;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find_first_of("\r\n");
    const std::string_view piece = bytes.substr(0, end);
    if (piece.size() > TextReport::kMaxLine) {
      want.tooLong = true;
      break;
    }
    want.lines.emplace_back(piece.substr(0, TextReport::kKeep));
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + (bytes.substr(end, 2) == "\r\n" ? 2 : 1));
  }
  return want;
}

// Expects the working folder to be a scratch folder of its own. An input
// whose first byte is odd comes after a long first line that ends up to 255
// bytes (its second byte) before the reader's 64 KiB buffer is refilled, so
// that lines, CR LF pairs and Ctrl-Z fall across refills.
inline void ReportCase(std::string_view bytes) {
  std::string content;
  if (bytes.size() >= 2 && (static_cast<unsigned char>(bytes[0]) & 1)) {
    content.assign((1u << 16) - static_cast<unsigned char>(bytes[1]), 'x');
    content.back() = '\n';
  }
  content += bytes;
  WriteFile("AMATEUR.RPT", content);
  const ExpectedReport expected = ExpectedReportLines(content);
  const std::vector<std::string>& want = expected.lines;

  TextReport report;
  report.Open("AMATEUR.RPT");
  std::vector<std::string> got;
  std::string line;
  bool raised = false;
  try {
    while (report.ReadLine(line)) {
      got.push_back(line);
      Require(got.size() <= want.size(), "more lines than the report holds");
    }
  } catch (const std::runtime_error& e) {
    raised = true;
    Require(expected.tooLong, std::string("an error for a report line: ") + e.what());
  }
  Require(raised == expected.tooLong, "no error for a line longer than TextReport::kMaxLine");
  if (!raised) {
    Require(line.empty(), "a line handed out at the end");
    Require(!report.ReadLine(line), "a line after the end");
  }
  report.Close();

  Require(got.size() == want.size(),
          "read " + std::to_string(got.size()) + " lines, want " + std::to_string(want.size()));
  for (std::size_t i = 0; i < want.size(); ++i)
    Require(got[i] == want[i], "line " + std::to_string(i + 1) + " differs");
}

// ---------------------------------------------------------------- importers

using Importer = ImportKindId;

// The fields each dBASE importer reads, in table order.
inline std::vector<std::string> ImporterFields(Importer which) {
  std::vector<std::string> names;
  for (const ListField& field : ListFieldsOf(which)) names.emplace_back(field.name);
  return names;
}

// The country number each importer gives its rows.
inline std::int16_t Country(Importer which) {
  switch (which) {
    case Importer::CB:
    case Importer::LogCSP: return kCountryPoland;
    case Importer::LogCOK:
    case Importer::OKCall: return kCountryCzechRepublic;
    case Importer::Amateur: break;
  }
  return kCountryCanada;
}

// One source record: values by field name, matched without regard to case
// as the reader does. Every field the importer names exists.
class FuzzRecord : public IRecordFields {
 public:
  FuzzRecord(const std::vector<std::string>& names, const std::vector<std::string_view>& values) {
    for (std::size_t i = 0; i < names.size(); ++i)
      values_[AsciiUpper(names[i])] = i < values.size() ? std::string(values[i]) : std::string();
  }
  std::string FieldAsString(std::string_view name) const override {
    const auto it = values_.find(AsciiUpper(name));
    if (it == values_.end()) throw Violation("the importer asked for a field it does not read");
    return it->second;
  }

 private:
  std::map<std::string, std::string> values_;
};

inline std::vector<std::string_view> Split(std::string_view text, char at) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t p = text.find(at);
    parts.push_back(text.substr(0, p));
    if (p == std::string_view::npos) return parts;
    text.remove_prefix(p + 1);
  }
}

// Records are the input's lines; for the dBASE importers a record's field
// values are separated by '|' in table order (missing ones are empty), for
// AMATEUR.RPT the line is the record, of any length.
inline constexpr char kRecordSeparator = '\n';
inline constexpr char kFieldSeparator = '|';

// The input's records as a source for the importers' run loop.
class InputRecords final : public IRecordSource {
 public:
  InputRecords(Importer which, const std::vector<std::string_view>& records)
      : which_(which), records_(records) {}
  std::optional<std::int64_t> Open() override {
    next_ = 0;
    return static_cast<std::int64_t>(records_.size());
  }
  bool Next(std::int64_t& number) override {
    if (next_ >= records_.size()) return false;
    number = static_cast<std::int64_t>(++next_);
    return true;
  }
  RecordPlan Step(IStationLookup& lookup) override {
    const std::string_view record = records_[next_ - 1];
    const ImportKind& kind = ImportKindOf(which_);
    if (kind.lineStep) return kind.lineStep(record, lookup);
    return kind.recordStep(FuzzRecord(ImporterFields(which_), Split(record, kFieldSeparator)),
                           lookup);
  }

 private:
  Importer which_;
  const std::vector<std::string_view>& records_;
  std::size_t next_ = 0;
};

inline void ImportAll(Importer which, const std::vector<std::string_view>& records,
                      MemoryCallbook& book) {
  InputRecords source(which, records);
  NoDisplay none;
  RunImport(source, book, none);
}

inline bool SameRows(const MemoryCallbook& a, const MemoryCallbook& b) {
  if (a.Rows().size() != b.Rows().size()) return false;
  for (auto i = a.Rows().begin(), j = b.Rows().begin(); i != a.Rows().end(); ++i, ++j)
    if (i->first != j->first || i->second.text != j->second.text ||
        i->second.country != j->second.country)
      return false;
  return true;
}

inline void ImportCase(Importer which, std::string_view bytes) {
  const std::vector<std::string_view> records = Split(bytes, kRecordSeparator);
  MemoryCallbook book;
  ImportAll(which, records, book);
  Require(book.inserts <= static_cast<int>(records.size()), "more rows than records");
  for (const auto& [key, row] : book.Rows()) {
    Require(!key.empty() && row[StationField::STACJA].has_value(), "a row without a call sign");
    Require(row.country == Country(which), "a row with another country's number");
  }

  // Every station of the input is now known: a second import of the same
  // records appends nothing and changes nothing.
  const MemoryCallbook before = book;
  ImportAll(which, records, book);
  Require(book.inserts == before.inserts, "a second import appended rows");
  Require(SameRows(book, before), "a second import changed rows");
}

// ---------------------------------------------------------------- the targets

// Each fuzz target's case by the target's name without "fuzz_" (also the
// name of its folders of seeds and of saved findings).
using Case = void (*)(std::string_view bytes);
inline const std::map<std::string, Case, std::less<>>& Cases() {
  static const std::map<std::string, Case, std::less<>> cases = {
      {"dbf", DbfCase},
      {"report", ReportCase},
      {"import_cb", [](std::string_view b) { ImportCase(Importer::CB, b); }},
      {"import_logcsp", [](std::string_view b) { ImportCase(Importer::LogCSP, b); }},
      {"import_logcok", [](std::string_view b) { ImportCase(Importer::LogCOK, b); }},
      {"import_okcall", [](std::string_view b) { ImportCase(Importer::OKCall, b); }},
      {"import_amateur", [](std::string_view b) { ImportCase(Importer::Amateur, b); }},
  };
  return cases;
}

// ---------------------------------------------------------------- scratch folder

// For the fuzz targets, from LLVMFuzzerInitialize: makes a folder of their
// own under $TOLVO_FUZZ_SCRATCH, else /dev/shm (memory), else /tmp, and
// enters it for the process's lifetime (removing it at a normal end). The
// fuzzer reads its arguments after this, so every path among them (corpus
// folders, inputs, artifact prefix, dictionary) is first made absolute, and
// crash inputs go to the folder the target was started from unless an
// artifact prefix says otherwise.
inline void EnterScratchFolder(int* argc, char*** argv) {
  namespace fs = std::filesystem;
  static std::string made;
  static std::vector<std::string> args;
  static std::vector<char*> argvOut;
  if (!made.empty()) return;

  const fs::path started = fs::current_path();
  bool hasPrefix = false;
  for (int i = 0; i < *argc; ++i) {
    std::string a = (*argv)[i];
    if (i > 0 && !a.empty() && a[0] != '-') {
      a = (started / a).string();
    } else if (i > 0) {
      for (const char* flag : {"-artifact_prefix=", "-exact_artifact_path=", "-dict="}) {
        const std::string_view f(flag);
        if (a.compare(0, f.size(), f) == 0 && a.size() > f.size() && a[f.size()] != '/')
          a = std::string(f) + (started / a.substr(f.size())).string();
      }
      if (a.compare(0, 17, "-artifact_prefix=") == 0) hasPrefix = true;
    }
    args.push_back(std::move(a));
  }
  if (!hasPrefix) args.push_back("-artifact_prefix=" + started.string() + "/");
  for (auto& a : args) argvOut.push_back(a.data());
  argvOut.push_back(nullptr);
  *argc = static_cast<int>(args.size());
  *argv = argvOut.data();

  std::string parent = "/tmp";
  if (const char* env = std::getenv("TOLVO_FUZZ_SCRATCH"); env && *env) parent = env;
  else if (std::error_code ec; fs::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK) == 0)
    parent = "/dev/shm";
  std::string pattern = parent + "/tolvo-fuzz-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    std::perror("cannot make a scratch folder");
    std::abort();
  }
  made = pattern;
  fs::current_path(made);
  std::atexit([] {
    std::error_code ec;
    fs::current_path("/", ec);
    fs::remove_all(made, ec);
  });
}

}  // namespace tolvo::fuzz
