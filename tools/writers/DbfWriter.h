// Writes dBASE III tables for tests, tools and benchmarks: character fields
// and memo fields (with a .DBT memo file), an optional deleted mark per
// record, values kept as raw bytes. Records go straight to the file, so a
// table of any size costs one record of memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "import/ImportKinds.h"

namespace tolvo {

struct DbfFieldSpec {
  std::string name;        // at most 10 bytes
  char type = 'C';         // 'C' (character) or 'M' (memo)
  std::size_t length = 0;  // 'C': 1..255; ignored for 'M' (always 10)
};

class DbfWriter {
 public:
  // Creates (or replaces) `table`, and its memo file when a field is 'M'.
  // Throws std::invalid_argument on a bad field list, std::runtime_error
  // when a file cannot be written.
  DbfWriter(const std::filesystem::path& table, std::vector<DbfFieldSpec> fields);
  ~DbfWriter();  // finishes a table that was not finished; errors are lost then
  DbfWriter(const DbfWriter&) = delete;
  DbfWriter& operator=(const DbfWriter&) = delete;

  // One record, one value per field in field order. A character value longer
  // than its field, or a memo holding a Ctrl-Z, throws std::invalid_argument.
  void Add(const std::vector<std::string>& values, bool deleted = false);
  // Writes the record count into the header and closes the files.
  void Finish();

  std::int64_t Count() const { return count_; }
  // The memo file that goes with `table`: same stem, ".DBT" (".dbt" beside
  // a lower-case extension).
  static std::filesystem::path MemoPath(const std::filesystem::path& table);

 private:
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  using FilePtr = std::unique_ptr<std::FILE, FileCloser>;
  void Write(std::FILE* f, const void* data, std::size_t size, const std::filesystem::path& p);
  std::string AddMemo(std::string_view text);

  std::filesystem::path table_;
  std::filesystem::path memoPath_;
  std::vector<DbfFieldSpec> fields_;
  FilePtr file_;
  FilePtr memo_;
  std::uint32_t nextBlock_ = 1;
  std::int64_t count_ = 0;
  std::string record_;
};

// The layout of the list that `kind` reads, as the import core describes
// it, with the names in capitals as dBASE writes them.
std::vector<DbfFieldSpec> DbfFieldsOf(ImportKindId kind);

// A whole table in one call; `deleted` (when not empty) marks records.
void WriteDbf(const std::filesystem::path& table, const std::vector<DbfFieldSpec>& fields,
              const std::vector<std::vector<std::string>>& rows,
              const std::vector<bool>& deleted = {});

}  // namespace tolvo
