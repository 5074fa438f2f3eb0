// tolvo-show [--country N] [--prefix CALLPREFIX] [folder]: prints the callbook
// (table STACJE) of the LOG.DAT in the folder (default: the working folder)
// as an aligned table in UTF-8. --country keeps the rows of one country number
// (KRAJ: 269 Poland, 503 Czech Republic, 1 Canada), --prefix the call signs
// that begin so (letter case aside). The database is only read, in a
// read-only transaction.
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

namespace {

void Usage(std::FILE* to) {
  std::fprintf(to,
               "usage: tolvo-show [--country N] [--prefix CALLPREFIX] [folder]\n"
               "  prints the callbook of folder/LOG.DAT (default: the working folder)\n");
}

bool ParseCountry(std::string_view text, int& out) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  using namespace tolvo::show;
  CallbookFilter filter;
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
    } else if (arg.starts_with("--country")) {
      int country = 0;
      if (!takeValue("--country") || !ParseCountry(value, country)) {
        std::fprintf(stderr, "tolvo-show: --country needs a whole number, such as 269\n");
        return 2;
      }
      filter.country = country;
    } else if (arg.starts_with("--prefix")) {
      if (!takeValue("--prefix") || !tolvo::Utf8ToCp1250(value, filter.prefix)) {
        std::fprintf(stderr, "tolvo-show: --prefix needs a call-sign beginning, such as SP5\n");
        return 2;
      }
    } else if (!arg.starts_with("-") && !haveFolder) {
      folder = std::string(arg);
      haveFolder = true;
    } else {
      Usage(stderr);
      return 2;
    }
  }

  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    std::fprintf(stderr, "tolvo-show: %s is not a folder\n", folder.c_str());
    return 1;
  }
  try {
    const CallbookListing listing = ReadCallbook(folder, filter);
    switch (listing.state) {
      case CallbookListing::State::NoDatabase:
        std::fprintf(stderr, "tolvo-show: there is no LOG.DAT in %s\n",
                     fs::absolute(folder).c_str());
        return 1;
      case CallbookListing::State::NoTable:
        std::printf("%s has no callbook yet (no table STACJE): import a station list first.\n",
                    fs::absolute(listing.database).c_str());
        return 0;
      case CallbookListing::State::Rows:
        std::fputs(FormatCallbook(listing).c_str(), stdout);
        return 0;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tolvo-show: cannot read the callbook: %s\n", e.what());
    return 1;
  }
  return 1;
}
