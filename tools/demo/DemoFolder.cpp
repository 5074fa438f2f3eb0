#include "tools/demo/DemoFolder.h"

#include <algorithm>
#include <exception>
#include <string>
#include <system_error>
#include <vector>

#include "source/FileHelpers.h"
#include "source/FileLookup.h"
#include "store/Firebird.h"
#include "tools/demo/DemoRecords.h"
#include "tools/demo/DemoStations.h"
#include "tools/demo/Random.h"
#include "tools/writers/DbfWriter.h"
#include "tools/writers/ReportWriter.h"
#include "tools/writers/Tolvo10Database.h"

namespace tolvo::demo {

namespace fs = std::filesystem;

namespace {

// Writes the table of list `kind`; the number of its records.
std::int64_t Write(const fs::path& file, ImportKindId kind, const std::vector<Record>& records) {
  try {
    DbfWriter out(file, DbfFieldsOf(kind));
    for (const Record& rec : records) out.Add(rec.values, rec.deleted);
    out.Finish();
  } catch (const std::runtime_error& e) {
    throw DemoError(e.what());  // names the file already
  } catch (const std::exception& e) {
    throw DemoError(file.string() + ": " + e.what());
  }
  return static_cast<std::int64_t>(records.size());
}

// Two lists of `count` stations that `make` makes: each station in the
// first, the second or both, as Share(r, both, firstOnly) decides.
struct TwoLists {
  std::vector<Station> first, second;
};
TwoLists MakeTwoLists(Rng& r, CallSigns& calls, int count, Station (*make)(Rng&, CallSigns&),
                      int both, int firstOnly) {
  TwoLists lists;
  for (int i = 0; i < count; ++i) {
    const Station s = make(r, calls);
    const Lists in = Share(r, both, firstOnly);
    if (in != Lists::Second) lists.first.push_back(s);
    if (in != Lists::First) lists.second.push_back(s);
  }
  return lists;
}

}  // namespace

DemoCounts WriteDemoSources(const fs::path& folder, std::uint64_t seed) {
  Rng r(seed);
  CallSigns calls;
  DemoCounts counts;

  const auto [cb, sp] = MakeTwoLists(r, calls, 460, MakePolish, 35, 32);
  const auto [okcall, ok] = MakeTwoLists(r, calls, 400, MakeCzech, 35, 35);
  std::vector<Station> ca;
  for (int i = 0; i < 340; ++i) ca.push_back(MakeCanadian(r, calls));

  const std::vector<Record> cbRecords = CbRecords(r, cb, calls);
  counts.cb = Write(folder / "CB.DBF", ImportKindId::CB, cbRecords);
  counts.cbDeleted = std::count_if(cbRecords.begin(), cbRecords.end(),
                                   [](const Record& rec) { return rec.deleted; });
  counts.logCSp = Write(folder / "LOG_C_SP.DBF", ImportKindId::LogCSP, LogCSpRecords(r, sp));
  counts.logCOk = Write(folder / "LOG_C_OK.DBF", ImportKindId::LogCOK, LogCOkRecords(r, ok));
  counts.okcall = Write(folder / "okcall.dbf", ImportKindId::OKCall, OkcallRecords(r, okcall));

  const std::vector<std::string> lines = AmateurLines(r, ca, &counts.amateurStations);
  try {
    WriteAmateurReport(folder / "AMATEUR.RPT", lines);
  } catch (const std::exception& e) {
    throw DemoError(e.what());
  }
  counts.amateurLines = static_cast<std::int64_t>(lines.size());
  return counts;
}

DemoFolder PrepareDemoFolder(const fs::path& folder, DemoCounts* counts) {
  std::error_code ec;
  if (!fs::exists(folder, ec)) {
    fs::create_directories(folder, ec);
    if (ec)
      throw DemoError(folder.string() + ": nie można utworzyć folderu: " + ErrnoText(ec.value()));
  } else if (!fs::is_directory(folder, ec)) {
    throw DemoError(folder.string() + " nie jest folderem");
  }
  if (auto db = FindFileCaseBlind(folder, kDemoDatabase, true)) {
    if (fs::is_directory(*db, ec))
      throw DemoError(db->string() + " jest folderem, a nie bazą danych");
    return DemoFolder::AlreadyThere;
  }
  for (std::string_view name : kDemoSourceFiles)
    if (auto found = FindFileCaseBlind(folder, name, true))
      throw DemoError("w folderze " + folder.string() + " nie ma LOG.DAT, ale jest " +
                      found->filename().string() +
                      "; nic nie zapisano, bo to może być czyjaś własna lista. Wskaż pusty "
                      "albo nowy folder.");

  auto removeMade = [&folder] {
    std::error_code ignored;
    for (std::string_view name : kDemoSourceFiles) fs::remove(folder / name, ignored);
    fs::remove(folder / kDemoDatabase, ignored);
  };
  try {
    const DemoCounts made = WriteDemoSources(folder);
    CreateTolvo10Database(folder / kDemoDatabase);
    if (counts) *counts = made;
  } catch (const DatabaseError& e) {
    removeMade();
    // The server's own words after ours.
    throw DemoError((folder / kDemoDatabase).string() +
                    ": nie udało się utworzyć bazy danych: " + e.what());
  } catch (...) {
    removeMade();
    throw;
  }
  return DemoFolder::Created;
}

}  // namespace tolvo::demo
