// tolvo-show [--country N] [--prefix PREFIX] [--full] [folder]: prints the
// callbook (table STACJE) of the LOG.DAT in the folder (default: the working
// folder) as an aligned table in UTF-8, 120 columns wide with long values
// cut, or with every value whole under --full. --country keeps the rows of
// one country number (KRAJ: 269 Poland, 503 Czech Republic, 1 Canada),
// --prefix the call signs that begin so (letter case aside). The database is
// only read, in a read-only transaction. Everything it says is in Polish.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

#include "text/Cp1250Text.h"
#include "tools/show/CallbookListing.h"
#include "tools/show/CallbookTable.h"
#include "source/ProcessSetup.h"

namespace {

void Usage(std::FILE* to) {
  std::fputs(
      "użycie: tolvo-show [--country N] [--prefix PREFIKS] [--full] [FOLDER]\n"
      "  Wypisuje callbook (tabelę STACJE) z pliku LOG.DAT w folderze FOLDER (domyślnie\n"
      "  w bieżącym): jedną stację w wierszu, w kolejności znaków wywoławczych.\n"
      "  --country N       tylko stacje kraju o numerze N (269 Polska, 503 Czechy, 1 Kanada)\n"
      "  --prefix PREFIKS  tylko znaki wywoławcze zaczynające się od PREFIKS, np. SP9\n"
      "  --full            wartości w całości; bez tej opcji tabela mieści się w 120 kolumnach,\n"
      "                    a dłuższe wartości są ucięte i kończą się znakiem „…”\n",
      to);
}

bool ParseCountry(std::string_view text, int& out) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end;
}

}  // namespace

int main(int argc, char** argv) {
  tolvo::PrepareProcess();
  namespace fs = std::filesystem;
  using namespace tolvo::show;
  CallbookFilter filter;
  bool whole = false;
  fs::path folder = ".";
  bool haveFolder = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::string_view value;
    auto takeValue = [&](std::string_view option) {
      if (arg == option) {
        if (i + 1 >= argc) return false;
        value = argv[++i];
        return true;
      }
      if (arg.size() > option.size() && arg.starts_with(option) && arg[option.size()] == '=') {
        value = arg.substr(option.size() + 1);
        return true;
      }
      return false;
    };
    if (arg == "-h" || arg == "--help") {
      Usage(stdout);
      return 0;
    } else if (arg == "--full") {
      whole = true;
    } else if (arg.starts_with("--country")) {
      int country = 0;
      if (!takeValue("--country") || !ParseCountry(value, country)) {
        std::fprintf(stderr, "tolvo-show: --country wymaga liczby całkowitej, np. 269\n");
        return 2;
      }
      filter.country = country;
    } else if (arg.starts_with("--prefix")) {
      if (!takeValue("--prefix") || !tolvo::Utf8ToCp1250(value, filter.prefix)) {
        std::fprintf(stderr, "tolvo-show: --prefix wymaga początku znaku wywoławczego, np. SP5\n");
        return 2;
      }
    } else if (!arg.starts_with("-") && !haveFolder) {
      folder = std::string(arg);
      haveFolder = true;
    } else {
      if (arg.starts_with("-")) std::fprintf(stderr, "tolvo-show: nieznana opcja %s\n", argv[i]);
      else std::fprintf(stderr, "tolvo-show: podaj tylko jeden folder\n");
      Usage(stderr);
      return 2;
    }
  }

  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    std::fprintf(stderr, "tolvo-show: %s nie jest folderem\n", folder.c_str());
    return 1;
  }
  try {
    const CallbookListing listing = ReadCallbook(folder, filter);
    switch (listing.state) {
      case CallbookListing::State::NoDatabase:
        std::fprintf(stderr, "tolvo-show: w folderze %s nie ma pliku LOG.DAT\n",
                     fs::absolute(folder).lexically_normal().c_str());
        return 1;
      case CallbookListing::State::InUse:
        std::fprintf(stderr, "tolvo-show: %s\n", InUseText(listing.database).c_str());
        return 1;
      case CallbookListing::State::NoTable:
        std::printf(
            "%s nie ma jeszcze callbooka (tabeli STACJE): najpierw wczytaj listę stacji w "
            "TolvoIMP.\n",
            listing.database.c_str());
        return 0;
      case CallbookListing::State::Rows:
        std::fputs(FormatCallbook(listing, whole).c_str(), stdout);
        return 0;
    }
  } catch (const std::exception& e) {
    // The server's own words follow ours.
    std::fprintf(stderr, "tolvo-show: nie udało się odczytać callbooka z LOG.DAT:\n%s\n", e.what());
    return 1;
  }
  return 1;
}
