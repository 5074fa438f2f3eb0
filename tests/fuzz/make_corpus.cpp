// Writes the seed inputs of the fuzz targets: small valid tables, reports and
// records from which the fuzzer starts.
//   tolvo_fuzz_corpus <corpus-folder> <dbase-fixture-folder>
// Each target gets <corpus-folder>/<target>/seed-<what>. The dBASE seeds are
// tables written by DbfWriter and the fixture tables of other programs, each
// joined with its memo file in the form that the dbf target splits again.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzHarness.h"
#include "tests/support/ScratchFolder.h"
#include "tools/writers/DbfWriter.h"
#include "tools/writers/ReportWriter.h"

namespace fs = std::filesystem;
using namespace tolvo;

namespace {

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + p.string());
  return {std::istreambuf_iterator<char>(in), {}};
}

void Seed(const fs::path& corpus, const std::string& target, const std::string& what,
          const std::string& bytes) {
  fs::create_directories(corpus / target);
  fuzz::WriteFile(corpus / target / ("seed-" + what), bytes);
}

// A table (and its memo file, when there is one) as one dbf input.
std::string Joined(const fs::path& table) {
  std::string bytes = ReadAll(table);
  for (const char* ext : {".dbt", ".DBT", ".fpt", ".FPT"}) {
    fs::path memo = table;
    memo.replace_extension(ext);
    if (fs::exists(memo)) {
      const bool fox = ext[1] == 'f' || ext[1] == 'F';
      bytes += fox ? fuzz::kFptMarker : fuzz::kDbtMarker;
      bytes += ReadAll(memo);
      break;
    }
  }
  return bytes;
}

void DbfSeeds(const fs::path& corpus, const fs::path& fixtures) {
  ScratchFolder scratch;
  const fs::path cb = scratch / "CB.DBF";
  WriteDbf(cb, DbfFieldsOf(ImportKindId::CB),
           {{"SP1ABC", "Jan", "Kowalski", "ul. Polna 1", "Warszawa", "KO02MF", "00950"},
            {"SQ9XYZ",
             "\x9c"
             "ukasz",
             "Nowak", "Rynek 2",
             "\x9c\xa2"
             "d\xa6",
             "?", "90001"},
            {"SP2OLD", "Old", "Deleted", "", "", "", ""}},
           {false, false, true});
  Seed(corpus, "dbf", "cb", Joined(cb));

  const fs::path sp = scratch / "LOG_C_SP.DBF";
  WriteDbf(sp, DbfFieldsOf(ImportKindId::LogCSP),
           {{"SP3AAA", "JAN", "JAN KOWALSKI;UL. DLUGA 5;00-950 WARSZAWA", "JO82LK", "P03"},
            {"SP3BBB", "", "", "", ""}});
  Seed(corpus, "dbf", "log-memo", Joined(sp));

  const fs::path empty = scratch / "EMPTY.DBF";
  WriteDbf(empty, {{"Call", 'C', 10}}, {});
  Seed(corpus, "dbf", "empty", Joined(empty));

  for (const auto& entry : fs::directory_iterator(fixtures)) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".dbf" || ext == ".DBF")
      Seed(corpus, "dbf", "fixture-" + entry.path().stem().string(), Joined(entry.path()));
  }
}

void ReportSeeds(const fs::path& corpus) {
  std::vector<std::string> lines = {
      AmateurLine("VE3ABC", "John Paul", "Smith", "12 Main St", "Toronto", "ON", "M5V 2T6"),
      AmateurLine("va7xyz", "First Name Unknown", "Tremblay", "ADDRESS UNKNOWN", "CITY UNKNOWN",
                  "BC", "V6B 1A1"),
      std::string(189, 'x'),
  };
  std::string crlf, lf;
  for (const auto& l : AmateurHeader()) {
    crlf += l + "\r\n";
    lf += l + "\n";
  }
  for (const auto& l : lines) {
    crlf += l + "\r\n";
    lf += l + "\n";
  }
  Seed(corpus, "report", "crlf", crlf);
  Seed(corpus, "report", "lf-ctrlz", lf + "VE1ZZZ after the end\x1A" + "hidden\n");
  // An odd first byte: the report starts just before the reader refills its buffer.
  Seed(corpus, "report", "long", "!" + lf.substr(1) + std::string(300, 'y') + "\r");

  std::string amateur;
  for (const auto& l : lines) amateur += l + "\n";
  amateur += AmateurLine("VE3ABC", "Again", "Smith", "", "", "ON", "");
  Seed(corpus, "import_amateur", "lines", amateur);
}

void ImportSeeds(const fs::path& corpus) {
  Seed(corpus, "import_cb", "records",
       "SP1ABC|Jan|Kowalski|ul. Polna 1|Warszawa|KO02MF|00950\n"
       "sq9xyz|\x9c"
       "ukasz|Nowak|Rynek 2|\x9c\xa2"
       "d\xa6|?|90001\n"
       "SP1ABC|Again|||||\n"
       "  |no call\n");
  Seed(corpus, "import_logcsp", "records",
       "SP3AAA|JAN|JAN KOWALSKI;UL. DLUGA 5;00-950 WARSZAWA|JO82LK|P03\n"
       "SP3KLB||KLUB LACZNOSCI;UL. KROTKA 1;WROCLAW|jo81|D61\n"
       "SP3AAA|OTHER|X;Y;Z||\n"
       "|||\n");
  Seed(corpus, "import_logcok", "records",
       "OK1ABC|Jan|Jan Novak;Hlavni 5;120 00 Praha 2||\n"
       "OK1ABC|Jan||JO70FC|\n"
       "OK2XYZ||Radioklub Brno;Masarykova 1;60200 Brno|JN89|x\n");
  Seed(corpus, "import_okcall", "records",
       "OK1ABC|Jan|Novak|Hlavni 5|Praha|12000\n"
       "ok2xyz|Petr|Svoboda|||\n"
       "OK1ABC|Other|Name|||\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: " << argv[0] << " <corpus-folder> <dbase-fixture-folder>\n";
    return 2;
  }
  try {
    const fs::path corpus = argv[1];
    DbfSeeds(corpus, argv[2]);
    ReportSeeds(corpus);
    ImportSeeds(corpus);
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
  return 0;
}
