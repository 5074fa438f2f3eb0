// tolvo-demo <folder>: prepares a folder for trying the program: a fresh
// LOG.DAT of the logging program's version 1.0 and one sample file of every
// station list (CB.DBF, LOG_C_SP.DBF, LOG_C_OK.DBF, okcall.dbf, AMATEUR.RPT)
// with a few hundred invented stations each. The folder is made when missing.
// A folder that already holds LOG.DAT is left as it is, so running the tool
// again reuses the demo; a folder with a station list but no LOG.DAT is not
// touched either. Everything it says is in Polish.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "text/PolishPlural.h"
#include "tools/demo/DemoFolder.h"
#include "source/ProcessSetup.h"

namespace {

void Usage(std::FILE* to) {
  std::fputs(
      "użycie: tolvo-demo FOLDER\n"
      "  Przygotowuje FOLDER (tworzy go, gdy go nie ma) do wypróbowania programu: świeży\n"
      "  LOG.DAT programu Tolvo 1.0 i przykładowy plik każdej z pięciu list stacji\n"
      "  z wymyślonymi stacjami. Folderu, w którym już jest LOG.DAT, nie zmienia.\n",
      to);
}

std::string Records(std::int64_t n) {
  return tolvo::PolishCount(static_cast<std::uint64_t>(n), "rekord", "rekordy", "rekordów");
}

}  // namespace

int main(int argc, char** argv) {
  tolvo::PrepareProcess();
  namespace fs = std::filesystem;
  using namespace tolvo::demo;
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    Usage(stdout);
    return 0;
  }
  if (argc != 2 || std::string(argv[1]).starts_with("-")) {
    Usage(stderr);
    return 2;
  }
  const fs::path folder = argv[1];
  try {
    DemoCounts counts;
    if (PrepareDemoFolder(folder, &counts) == DemoFolder::AlreadyThere) {
      std::printf("tolvo-demo: w folderze %s jest już LOG.DAT; pozostawiono go bez zmian\n",
                  folder.c_str());
      return 0;
    }
    std::printf("tolvo-demo: przygotowano folder %s\n",
                fs::absolute(folder).lexically_normal().c_str());
    std::printf("  LOG.DAT       baza programu Tolvo 1.0 (jeszcze bez callbooka)\n");
    std::printf("  CB.DBF        %s (w tym usuniętych: %lld)\n", Records(counts.cb).c_str(),
                static_cast<long long>(counts.cbDeleted));
    std::printf("  LOG_C_SP.DBF  %s, pola memo w LOG_C_SP.DBT\n", Records(counts.logCSp).c_str());
    std::printf("  LOG_C_OK.DBF  %s, pola memo w LOG_C_OK.DBT\n", Records(counts.logCOk).c_str());
    std::printf("  okcall.dbf    %s\n", Records(counts.okcall).c_str());
    std::printf("  AMATEUR.RPT   %s po nagłówku (w tym ze stacjami: %lld)\n",
                tolvo::PolishCount(static_cast<std::uint64_t>(counts.amateurLines), "wiersz",
                                   "wiersze", "wierszy")
                    .c_str(),
                static_cast<long long>(counts.amateurStations));
    std::printf(
        "Uruchom tolvoimp w tym folderze i wczytaj listy; potem callbook pokaże"
        " polecenie tolvo-show %s\n",
        folder.c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tolvo-demo: %s\n", e.what());
    return 1;
  }
}
