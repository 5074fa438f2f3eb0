// The tables that common dBASE readers read, read here too: variants of the
// fixture tables as other programs write them (made by
// fixtures/dbf/make_variants.py, which also reads each with shapelib's
// dbfdump and with python3-dbfread). For every variant:
//   - the reader delivers its base table's records, less the ones the
//     variant deletes or empties, or refuses it with the text that says why;
//   - where both references read it and agree, the reader agrees with them:
//     the same number of records and the same values in the fields that
//     both of them read (dbfdump reads no memo and no binary field).
// Skipped only when python3, dbfdump or dbfread is missing.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>

#include "source/DbfTable.h"
#include "tests/support/ScratchFolder.h"

namespace tolvo {
namespace {

namespace fs = std::filesystem;

using Value = std::optional<std::string>;  // none: the reader does not read the field
using Row = std::vector<Value>;

struct Reference {
  bool read = false;
  std::string why;  // of a refusal
  std::vector<Row> rows;
};

struct Variant {
  std::string name, table, base;
  std::vector<std::string> fields;
  std::string classes;  // per field: 'n' compared as numbers, 't' as bytes
  std::string refusal;  // the text the reader must refuse it with; empty: it reads
  std::vector<std::int64_t> dropped;
  std::vector<std::pair<std::int64_t, std::string>> emptied;
  std::map<std::string, Reference> refs;
};

struct Ours {
  std::string error;  // empty when read
  std::vector<std::int64_t> recNos;
  std::vector<Row> rows;
};

fs::path FixtureDir() {
  const char* root = std::getenv("TOLVO_FIXTURES");
  if (root && *root) return fs::path(root) / "dbf";
  return fs::path(__FILE__).parent_path().parent_path() / "fixtures" / "dbf";
}

std::string FromHex(const std::string& token) {  // "x" + hex
  std::string out;
  for (std::size_t i = 1; i + 1 < token.size(); i += 2)
    out += static_cast<char>(std::stoi(token.substr(i, 2), nullptr, 16));
  return out;
}

std::vector<Variant> ParseMatrix(const fs::path& file) {
  std::vector<Variant> out;
  std::ifstream in(file);
  std::string line;
  Reference* ref = nullptr;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string word;
    words >> word;
    auto rest = [&] {
      std::string r;
      std::getline(words >> std::ws, r);
      return r;
    };
    if (word == "variant") {
      out.emplace_back();
      words >> out.back().name >> out.back().table >> out.back().base;
      continue;
    }
    Variant& v = out.back();
    if (word == "fields") {
      while (words >> word) {
        v.fields.push_back(word.substr(0, word.size() - 2));
        v.classes += word.back();
      }
    } else if (word == "expect") {
      words >> word;
      if (word == "refuse") v.refusal = rest();
    } else if (word == "drop") {
      std::int64_t n;
      words >> n;
      v.dropped.push_back(n);
    } else if (word == "empty") {
      std::int64_t n;
      words >> n >> word;
      v.emptied.emplace_back(n, word);
    } else if (word == "ref") {
      std::string status;
      words >> word >> status;
      ref = &v.refs[word];
      ref->read = status == "ok";
      ref->why = rest();
    } else if (word == "row") {
      Row row;
      while (words >> word) row.push_back(word == "-" ? Value() : Value(FromHex(word)));
      ref->rows.push_back(row);
    }
  }
  return out;
}

Ours ReadOurs(const fs::path& folder, const std::string& table) {
  WorkingFolderGuard in(folder);
  Ours ours;
  try {
    DbfTable t("Calls", table);
    t.Open();
    for (t.First(); !t.Eof(); t.Next()) {
      ours.recNos.push_back(t.RecNo());
      Row row;
      for (const DbfField& f : t.Fields()) row.push_back(f.AsString());
      ours.rows.push_back(row);
    }
  } catch (const ReaderError& e) {
    ours.error = e.what();
  }
  return ours;
}

bool SameValue(const std::string& a, const std::string& b, char kind) {
  if (kind != 'n' || a.empty() || b.empty()) return a == b;
  char* endA = nullptr;
  char* endB = nullptr;
  const double x = std::strtod(a.c_str(), &endA), y = std::strtod(b.c_str(), &endB);
  return *endA == '\0' && *endB == '\0' && x == y;
}

// Whether two readers delivered the same records, compared in the fields
// that both read; `why` tells the first difference.
bool Agree(const std::vector<Row>& a, const std::vector<Row>& b, const Variant& v,
           std::string* why = nullptr) {
  if (a.size() != b.size()) {
    if (why) *why = std::to_string(a.size()) + " records against " + std::to_string(b.size());
    return false;
  }
  for (std::size_t r = 0; r < a.size(); ++r)
    for (std::size_t f = 0; f < v.fields.size(); ++f) {
      const Value& x = a[r].at(f);
      const Value& y = b[r].at(f);
      if (x && y && !SameValue(*x, *y, v.classes[f])) {
        if (why)
          *why = "record " + std::to_string(r + 1) + " field " + v.fields[f] + ": \"" + *x +
                 "\" against \"" + *y + "\"";
        return false;
      }
    }
  return true;
}

// The outcome of running the generator: 0, 77 (a reference is missing) or
// another exit code; its output in `log`.
int MakeVariants(const fs::path& out, std::string& log) {
  const fs::path script = FixtureDir() / "make_variants.py";
  // Debian's python3 carries python3-dbfread; another python3 on the PATH
  // may not.
  const std::string python = fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
  const std::string command = python + " '" + script.string() + "' '" + FixtureDir().string() +
                              "' '" + out.string() + "' > '" + (out / "log").string() + "' 2>&1";
  fs::create_directories(out);
  const int status = std::system(command.c_str());
  std::ifstream in(out / "log");
  log.assign(std::istreambuf_iterator<char>(in), {});
  if (status == -1 || !WIFEXITED(status)) return -1;
  const int code = WEXITSTATUS(status);
  return code == 127 ? 77 : code;  // 127: no python3 at all
}

std::string Outcome(const Reference& r, const std::vector<Row>& ours, const Variant& v) {
  if (!r.read) return "refuses (" + r.why + ")";
  std::string why;
  return Agree(r.rows, ours, v, &why) ? "same as ours" : "differs: " + why;
}

TEST(DbfCompatibility, ReadsWhatTheCommonReadersRead) {
  ScratchFolder folder;
  std::string log;
  const int code = MakeVariants(folder.Path(), log);
  if (code == 77) GTEST_SKIP() << "a reference reader is missing: " << log;
  ASSERT_EQ(code, 0) << log;
  const std::vector<Variant> variants = ParseMatrix(folder / "matrix.txt");
  ASSERT_GT(variants.size(), 300u);  // 256 language bytes and the variants of five tables

  std::map<std::string, Ours> bases;
  std::ostringstream summary;  // what each reader made of each variant
  std::map<std::string, int> languageOutcomes;
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.name);
    const Ours ours = ReadOurs(folder / v.name, v.table);
    if (v.name == v.base) {
      ASSERT_EQ(ours.error, "") << "a base table must be read";
      bases[v.name] = ours;
    }
    const Reference& dump = v.refs.at("dbfdump");
    const Reference& read = v.refs.at("dbfread");
    const std::string outcome =
        "ours " + (ours.error.empty() ? "read" : "refuses (" + ours.error + ")") + "; dbfdump " +
        Outcome(dump, ours.rows, v) + "; dbfread " + Outcome(read, ours.rows, v);
    const std::size_t language = v.name.find("-language-");
    if (language == std::string::npos) summary << v.name << ": " << outcome << "\n";
    else ++languageOutcomes[v.name.substr(0, language) + " with any language byte: " + outcome];

    if (!v.refusal.empty()) {
      EXPECT_NE(ours.error.find(v.refusal), std::string::npos) << ours.error;
      continue;
    }
    if (!ours.error.empty()) {
      ADD_FAILURE() << "refused: " << ours.error;
      continue;
    }

    // Its base's records, less what the variant took away.
    const Ours& base = bases.at(v.base);
    Ours want;
    for (std::size_t i = 0; i < base.rows.size(); ++i) {
      const std::int64_t recNo = base.recNos[i];
      if (std::count(v.dropped.begin(), v.dropped.end(), recNo)) continue;
      Row row = base.rows[i];
      for (const auto& [n, name] : v.emptied) {
        if (n == recNo)
          row[std::find(v.fields.begin(), v.fields.end(), name) - v.fields.begin()] = "";
      }
      want.recNos.push_back(recNo);
      want.rows.push_back(row);
    }
    EXPECT_EQ(ours.recNos, want.recNos);
    EXPECT_EQ(ours.rows, want.rows);

    std::string why;
    if (dump.read && read.read && Agree(dump.rows, read.rows, v)) {
      EXPECT_TRUE(Agree(dump.rows, ours.rows, v, &why)) << "both references differ: " << why;
    }
  }
  for (const auto& [outcome, count] : languageOutcomes)
    summary << outcome << " (" << count << " variants)\n";
  std::cout << summary.str();
}

}  // namespace
}  // namespace tolvo
