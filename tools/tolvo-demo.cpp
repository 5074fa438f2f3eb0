// tolvo-demo <folder>: prepares a folder for trying the program: a fresh
// LOG.DAT of the logging program's version 1.0 and one sample file of every
// station list (CB.DBF, LOG_C_SP.DBF, LOG_C_OK.DBF, okcall.dbf, AMATEUR.RPT)
// with a few hundred invented stations each. The folder is made when missing.
// A folder that already holds LOG.DAT is left as it is, so running the tool
// again reuses the demo; a folder with a station list but no LOG.DAT is not
// touched either.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "tools/demo/DemoFolder.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  using namespace tolvo::demo;
  if (argc != 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
    std::fprintf(stderr, "usage: tolvo-demo <folder>\n");
    return argc == 2 ? 0 : 2;
  }
  const fs::path folder = argv[1];
  try {
    DemoCounts counts;
    if (PrepareDemoFolder(folder, &counts) == DemoFolder::AlreadyThere) {
      std::printf("tolvo-demo: %s already holds LOG.DAT; left as it is\n", folder.c_str());
      return 0;
    }
    std::printf("tolvo-demo: prepared %s\n", fs::absolute(folder).c_str());
    std::printf("  LOG.DAT       Tolvo 1.0 database (no callbook yet)\n");
    std::printf("  CB.DBF        %lld records (%lld marked deleted)\n",
                static_cast<long long>(counts.cb), static_cast<long long>(counts.cbDeleted));
    std::printf("  LOG_C_SP.DBF  %lld records, memo LOG_C_SP.DBT\n",
                static_cast<long long>(counts.logCSp));
    std::printf("  LOG_C_OK.DBF  %lld records, memo LOG_C_OK.DBT\n",
                static_cast<long long>(counts.logCOk));
    std::printf("  okcall.dbf    %lld records\n", static_cast<long long>(counts.okcall));
    std::printf("  AMATEUR.RPT   %lld lines after the header, %lld of them stations\n",
                static_cast<long long>(counts.amateurLines),
                static_cast<long long>(counts.amateurStations));
    std::printf("Start tolvoimp in that folder to import the lists; tolvo-show %s lists the"
                " callbook.\n",
                folder.c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tolvo-demo: %s\n", e.what());
    return 1;
  }
}
