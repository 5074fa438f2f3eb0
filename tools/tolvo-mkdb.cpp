// tolvo-mkdb <folder>: makes <folder>/LOG.DAT as an empty database of the
// logging program's version 1.0 (no callbook table yet), for trying the
// importers by hand (synchronous writes off, like every scratch database).
// An existing file is never overwritten. Everything it says is in Polish.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <system_error>

#include "source/FileLookup.h"
#include "store/Callbook.h"
#include "tools/writers/Tolvo10Database.h"
#include "source/ProcessSetup.h"

int main(int argc, char** argv) {
  tolvo::PrepareProcess();
  if (argc != 2 || argv[1][0] == '-') {
    const bool help =
        argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
    std::fputs(
        "użycie: tolvo-mkdb FOLDER\n"
        "  Tworzy w folderze FOLDER pusty plik LOG.DAT programu Tolvo 1.0 (jeszcze bez\n"
        "  callbooka) do ręcznego wypróbowania importów. Istniejącego pliku nie nadpisuje.\n",
        help ? stdout : stderr);
    return help ? 0 : 2;
  }
  namespace fs = std::filesystem;
  const fs::path folder = argv[1];
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    std::fprintf(stderr, "tolvo-mkdb: %s nie jest folderem\n", folder.c_str());
    return 1;
  }
  const fs::path file = folder / tolvo::kCallbookFile;
  // Any spelling of the name counts: the program finds it without regard to case.
  if (auto existing = tolvo::FindFileCaseBlind(folder, tolvo::kCallbookFile, true);
      existing || fs::exists(fs::symlink_status(file, ec))) {
    std::fprintf(stderr, "tolvo-mkdb: %s już istnieje; nie nadpisano go\n",
                 existing ? existing->c_str() : file.c_str());
    return 1;
  }
  try {
    tolvo::CreateTolvo10Database(file);
  } catch (const std::exception& e) {
    // The server's own words after ours.
    std::fprintf(stderr, "tolvo-mkdb: nie udało się utworzyć bazy %s:\n%s\n", file.c_str(),
                 e.what());
    return 1;
  }
  std::printf("%s\n", fs::absolute(file).c_str());
  return 0;
}
