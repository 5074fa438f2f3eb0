// The program against a database file that goes wrong under it: the process
// killed mid-import, the file read-only, held by another process, replaced or
// deleted between imports, the disk full, a commit that the server refuses.
// Each time: a clear message, no crash, nothing committed is lost, and the
// file passes Firebird's own validation afterwards.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <tuple>
#include <optional>
#include <random>
#include <thread>

#include "tests/fault/FaultHarness.h"
#include "tests/support/FirebirdServer.h"
#include "tools/writers/ReportWriter.h"

namespace tolvo::fault {
namespace {

class DatabaseFault : public FaultTest {
 protected:
  void ExpectValid() { EXPECT_EQ(ValidationErrors(db), "") << "validation of " << db; }
  // A durable LOG.DAT and an okcall.dbf of `count` stations OK1...; the
  // list's rows.
  std::vector<std::vector<std::string>> DatabaseAndOkCall(int count) {
    CreateDurableDatabase(db);
    auto rows = OkCallRows("OK1", count);
    WriteOkCall(dir / "okcall.dbf", rows);
    return rows;
  }
};

std::set<std::string> Union(std::set<std::string> a, const std::set<std::string>& b) {
  a.insert(b.begin(), b.end());
  return a;
}

TEST_F(DatabaseFault, KilledMidImportLosesOnlyTheRunningImport) {
  const auto czech = DatabaseAndOkCall(300);
  WriteAmateurReport(dir / "AMATEUR.RPT", AmateurLines("VA", 2000));

  // An import committed at the end of the program.
  EXPECT_EQ(RunDriver(dir.Path(), {"okcall", "close"}), std::vector<Shown>{Plain(kFinished)});
  ASSERT_EQ(CallSigns(db), CallsOf(czech));

  // Two imports in one session: the first is committed when the second
  // opens the callbook; the second is killed while it waits inside a record.
  {
    Driver run(dir.Path(), {"--pause-at", "500", "okcall", "amateur", "close"});
    ASSERT_TRUE(run.WaitFor("paused")) << run.Describe();
    run.Kill();
    EXPECT_EQ(run.Status(), -SIGKILL);
    EXPECT_EQ(run.Messages(), std::vector<Shown>{Plain(kFinished)});
  }
  EXPECT_EQ(CallSigns(db), CallsOf(czech));
  ExpectValid();

  // Killed while it runs at full speed, with the database busy.
  {
    Driver run(dir.Path(), {"amateur", "close"});
    ASSERT_TRUE(run.WaitFor("step amateur 1200")) << run.Describe();
    run.Kill();
    EXPECT_EQ(run.Status(), -SIGKILL);
  }
  EXPECT_EQ(CallSigns(db), CallsOf(czech));
  ExpectValid();

  // The next start works as if nothing had happened.
  EXPECT_EQ(RunDriver(dir.Path(), {"amateur", "close"}), std::vector<Shown>{Plain(kFinished)});
  EXPECT_EQ(CallSigns(db), Union(CallsOf(czech), CallsOf("VA", 2000)));
  ExpectValid();
}

TEST_F(DatabaseFault, ReadOnlyDatabaseIsRefusedAndLeftAsItIs) {
  const auto czech = DatabaseAndOkCall(3);
  EXPECT_EQ(RunDriver(dir.Path(), {"okcall", "close"}), std::vector<Shown>{Plain(kFinished)});
  WriteAmateurReport(dir / "AMATEUR.RPT", AmateurLines("VA", 20));

  std::vector<std::string> asUser;
  if (geteuid() == 0) {
    const auto user = UnprivilegedUser(dir.Path());
    if (!user) GTEST_SKIP() << "running as root and cannot become another user";
    asUser = *user;
  }
  auto run = [&](std::vector<std::string> actions) {
    actions.insert(actions.begin(), asUser.begin(), asUser.end());
    return RunDriver(dir.Path(), actions);
  };

  using fs::perms;
  fs::permissions(db, perms::owner_read | perms::group_read | perms::others_read);
  const std::string before = ReadBytes(db);
  const std::vector<Shown> refused = run({"amateur", "close"});
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_TRUE(IsRefusal(refused[0], {"Brak prawa zapisu do pliku " + db.string(), "0444"}));
  EXPECT_EQ(ReadBytes(db), before);

  // The same user with the right to write imports normally: it was the
  // file's mode that refused.
  fs::permissions(db, perms::owner_read | perms::owner_write | perms::group_read |
                          perms::group_write | perms::others_read | perms::others_write);
  EXPECT_EQ(run({"amateur", "close"}), std::vector<Shown>{Plain(kFinished)});
  EXPECT_EQ(CallSigns(db), Union(CallsOf(czech), CallsOf("VA", 20)));
  ExpectValid();
}

TEST_F(DatabaseFault, DatabaseHeldByAnotherRunIsRefusedUntilItEnds) {
  const auto czech = DatabaseAndOkCall(50);
  WriteAmateurReport(dir / "AMATEUR.RPT", AmateurLines("VA", 50));

  // The first program has imported and keeps its connection (and its
  // uncommitted rows) while a second one tries.
  Driver holder(dir.Path(), {"okcall", "wait", "close"});
  ASSERT_TRUE(holder.WaitFor("waiting")) << holder.Describe();
  const std::vector<Shown> refused = RunDriver(dir.Path(), {"amateur", "close"});
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_TRUE(IsRefusal(refused[0], {"Plik " + db.string() + " jest otwarty przez inny program"}));
  holder.Send();
  holder.Finish();
  EXPECT_TRUE(holder.EndedCleanly()) << holder.Describe();
  EXPECT_EQ(holder.Messages(), std::vector<Shown>{Plain(kFinished)});
  EXPECT_EQ(CallSigns(db), CallsOf(czech));

  EXPECT_EQ(RunDriver(dir.Path(), {"amateur", "close"}), std::vector<Shown>{Plain(kFinished)});
  EXPECT_EQ(CallSigns(db), Union(CallsOf(czech), CallsOf("VA", 50)));
  ExpectValid();
}

// Gives the header page of `file` another on-disk structure: the version
// word (with the Firebird flag, or without it for InterBase) and the minor
// version where that structure keeps it.
void SetStructure(const fs::path& file, unsigned version, std::size_t minorAt, unsigned minor) {
  std::string bytes = ReadBytes(file);
  bytes.at(18) = static_cast<char>(version & 0xFF);
  bytes.at(19) = static_cast<char>(version >> 8);
  bytes.at(minorAt) = static_cast<char>(minor & 0xFF);
  bytes.at(minorAt + 1) = static_cast<char>(minor >> 8);
  WriteBytes(file, bytes);
}

// tolvo-import run to its end in `folder`: its exit status and every line it
// wrote.
std::pair<int, std::vector<std::string>> RunImportTool(const fs::path& folder,
                                                       const std::vector<std::string>& args,
                                                       const std::vector<std::string>& env = {}) {
  Driver run({TOLVO_IMPORT_TOOL, env}, folder, args);
  run.Finish();
  return {run.Status(), run.Lines()};
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

bool Holds(const std::vector<std::string>& lines, std::string_view line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// tolvo-import in `folder` with `args`, sent SIGTERM after `running`: it
// ends within `within`, by the signal, saying `said`.
void ExpectStoppedWithin(const fs::path& folder, const std::vector<std::string>& args,
                         std::chrono::milliseconds running, std::chrono::milliseconds within,
                         const std::string& said) {
  Driver run({TOLVO_IMPORT_TOOL, {}}, folder, args);
  std::this_thread::sleep_for(running);
  const auto signalled = std::chrono::steady_clock::now();
  run.Signal(SIGTERM);
  run.Finish(within + std::chrono::seconds(18));
  EXPECT_LT(std::chrono::steady_clock::now() - signalled, within);
  EXPECT_EQ(run.Status(), 128 + SIGTERM) << run.Describe();
  EXPECT_TRUE(Holds(run.Lines(), said)) << run.Describe();
}

// Whether `lines` open with the refusal to open the database and a cause
// that says `cause`.
bool RefusedWith(const std::vector<std::string>& lines, std::string_view cause) {
  return lines.size() >= 2 && lines[0] == kCannotOpen && lines[1].find(cause) != std::string::npos;
}

// LOG.DAT, the embedded engine is refused, and the client library goes on to
// the server on the local host. The program is told nothing but the server's
// port, through the client configuration.
TEST_F(DatabaseFault, DatabaseHeldByTheLocalServerIsImportedThroughIt) {
  std::set<std::string> lockedRows;
  std::string why;
  std::unique_ptr<testdb::FirebirdServer> server = testdb::FirebirdServer::Start(why);
  ASSERT_TRUE(server) << why;
  const auto czech = DatabaseAndOkCall(40);
  WriteAmateurReport(dir / "AMATEUR.RPT", AmateurLines("VA", 40));
  const fs::path throughServer = server->Connection(db);
  {
    fb::Attachment tolvo = fb::Attachment::Open(throughServer.string(), testdb::Sysdba());

    // Where the client finds no server of its own, the file is in use.
    const std::vector<Shown> refused = RunDriver(dir.Path(), {"amateur", "close"});
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_TRUE(IsRefusal(refused[0], {"jest otwarty przez inny program"}));

    Driver run(dir.Path(), {"--firebird", server->ClientConfiguration().string(), "okcall",
                            "amateur", "close"});
    run.Finish();
    EXPECT_TRUE(run.EndedCleanly()) << run.Describe() << server->Log();
    EXPECT_EQ(run.Messages(), (std::vector<Shown>{Plain(kFinished), Plain(kFinished)}))
        << run.Describe() << server->Log();
    // The server, which held the file all along, has the rows.
    EXPECT_EQ(CallSigns(throughServer), Union(CallsOf(czech), CallsOf("VA", 40)));

    // tolvo-import the same: refused where it finds no server, through the
    // server by the default provider order, and through the server that a
    // connection string names.
    const auto moreCzech = OkCallRows("OK2", 30);
    WriteOkCall(dir / "okcall.dbf", moreCzech);
    auto [status, lines] = RunImportTool(dir.Path(), {"okcall.dbf"});
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(RefusedWith(lines, "jest otwarty przez inny program")) << Joined(lines);
    std::tie(status, lines) = RunImportTool(dir.Path(), {"okcall.dbf"},
                                            {"FIREBIRD=" + server->ClientConfiguration().string()});
    EXPECT_EQ(status, 0) << Joined(lines) << server->Log();
    EXPECT_TRUE(Holds(lines, kFinished));
    WriteAmateurReport(dir / "AMATEUR.RPT", AmateurLines("VE", 30));
    std::tie(status, lines) =
        RunImportTool(dir.Path(), {"--database", server->Connection(db), "amateur.rpt"});
    EXPECT_EQ(status, 0) << Joined(lines) << server->Log();
    EXPECT_TRUE(Holds(lines, kFinished));
    EXPECT_TRUE(Holds(lines, "Baza:  " + server->Connection(db)));
    const std::set<std::string> imported = Union(Union(CallsOf(czech), CallsOf(moreCzech)),
                                                 Union(CallsOf("VA", 40), CallsOf("VE", 30)));
    EXPECT_EQ(CallSigns(throughServer), imported);

    // The window through the connection that its option names, from a
    // folder that holds the list and no LOG.DAT.
    const fs::path listsOnly = dir / "lists";
    fs::create_directories(listsOnly);
    const auto thirdCzech = OkCallRows("OK5", 20);
    WriteOkCall(listsOnly / "okcall.dbf", thirdCzech);
    EXPECT_EQ(RunDriver(listsOnly, {"--database", server->Connection(db), "okcall", "close"}),
              std::vector<Shown>{Plain(kFinished)})
        << server->Log();
    EXPECT_EQ(CallSigns(throughServer), Union(imported, CallsOf(thirdCzech)));

    // A server that cannot open the file says so under the fixed line: one
    // of another structure, and a path where there is no file; and so does
    // a connection that finds no server.
    const fs::path older = dir / "older" / "LOG.DAT";
    fs::create_directories(older.parent_path());
    CreateDurableDatabase(older);
    SetStructure(older, 0x800B, 62, 2);
    std::tie(status, lines) =
        RunImportTool(dir.Path(), {"--database", server->Connection(older), "amateur.rpt"});
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(RefusedWith(lines, "strukturę dyskową innej wersji")) << Joined(lines);
    std::tie(status, lines) = RunImportTool(
        dir.Path(), {"--database", server->Connection(dir / "none" / "LOG.DAT"), "amateur.rpt"});
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(RefusedWith(lines, "nie może otworzyć pliku")) << Joined(lines);
    std::tie(status, lines) =
        RunImportTool(dir.Path(), {"--database", "127.0.0.1/1:" + db.string(), "amateur.rpt"});
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(RefusedWith(lines, "Nie udało się połączyć z serwerem Firebird 127.0.0.1/1."))
        << Joined(lines);

    // A port where a connection is taken but never answered: a stop signal
    // ends the wait at once, and without one the tool gives up after its
    // time limit and says that no server answered there.
    const int silent = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(silent, 8), 0);
    ASSERT_EQ(getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string port = std::to_string(ntohs(address.sin_port));
    const std::vector<std::string> unanswered = {
        "--database", "127.0.0.1/" + port + ":" + db.string(), "amateur.rpt"};
    ExpectStoppedWithin(dir.Path(), unanswered, 1s, 2s,
                        "Przerwano (SIGTERM) podczas łączenia z bazą; nic nie zapisano.");
    std::tie(status, lines) = RunImportTool(dir.Path(), unanswered);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(RefusedWith(lines, "Pod adresem 127.0.0.1:" + port +
                                       " żaden serwer Firebird nie odpowiedział w ciągu 15 s."))
        << Joined(lines);
    close(silent);

    // Another program holds an uncommitted row of a station on the list:
    // the import waits for it at most 30 s, then reports the conflict at that
    // station and commits the rows before it; a stop signal ends the wait
    // within a second or two, with the rows before it committed too.
    auto locked = OkCallRows("OK3", 20);
    const std::string held = locked[9][0];
    fb::Transaction holding(tolvo);
    tolvo.ExecuteImmediate(holding, "INSERT INTO STACJE (STACJA) VALUES ('" + held + "')");
    WriteOkCall(dir / "okcall.dbf", locked);
    std::tie(status, lines) =
        RunImportTool(dir.Path(), {"--database", server->Connection(db), "okcall.dbf"});
    EXPECT_EQ(status, 1) << Joined(lines);
    EXPECT_TRUE(Holds(lines, "Nie udało się zapisać stacji " + held + " w bazie danych:"))
        << Joined(lines);
    auto lockedBefore = OkCallRows("OK4", 5);
    lockedBefore.push_back(locked[9]);
    WriteOkCall(dir / "okcall.dbf", lockedBefore);
    ExpectStoppedWithin(dir.Path(), {"--database", server->Connection(db), "okcall.dbf"}, 3s,
                        2500ms,
                        "Przerwano (SIGTERM) przed wpisem 6; wcześniejsze wpisy zapisano w bazie.");
    holding.Rollback();
    locked.resize(9);
    lockedRows = Union(CallsOf(locked), CallsOf(OkCallRows("OK4", 5)));
    tolvo.Detach();
  }
  server.reset();
  const std::set<std::string> all =
      Union(Union(Union(CallsOf(czech), CallsOf(OkCallRows("OK2", 30))),
                  Union(CallsOf("VA", 40), CallsOf("VE", 30))),
            Union(lockedRows, CallsOf(OkCallRows("OK5", 20))));
  EXPECT_EQ(CallSigns(db), all);
  ExpectValid();
}

TEST_F(DatabaseFault, DatabaseReplacedOrDeletedBetweenImports) {
  DatabaseAndOkCall(20);
  WriteAmateurReport(dir / "AMATEUR.RPT", AmateurLines("VA", 20));
  std::mt19937 random(7);
  std::string noise(200 * 1024, '\0');
  for (char& c : noise) c = static_cast<char>(random());

  // Replaced by another file (a download, a copy put in its place): the
  // commit at the next import's start says that the first import went into
  // the file that is gone, and the new file is left alone.
  const std::string gone = "Plik " + db.string() +
                           " usunięto w trakcie importu: wpisy tego importu trafiły do usuniętego "
                           "pliku i nie ma ich w żadnej bazie.";
  {
    Driver run(dir.Path(), {"okcall", "wait", "amateur", "close"});
    ASSERT_TRUE(run.WaitFor("waiting")) << run.Describe();
    WriteBytes(dir / "LOG.DAT.new", noise);
    fs::rename(dir / "LOG.DAT.new", db);
    run.Send();
    run.Finish();
    EXPECT_TRUE(run.EndedCleanly()) << run.Describe();
    const std::vector<Shown> shown = run.Messages();
    ASSERT_EQ(shown.size(), 2u) << run.Describe();
    EXPECT_EQ(shown[0], Plain(kFinished));
    EXPECT_EQ(shown[1], Error(gone + " W miejscu " + db.string() +
                              " jest teraz inny plik, bez wpisów tego importu."));
    EXPECT_EQ(ReadBytes(db), noise);
  }

  // Deleted: the next import misses it, nothing makes a new one, and the
  // commit at the close says where the rows went.
  fs::remove(db);
  CreateDurableDatabase(db);
  {
    Driver run(dir.Path(), {"okcall", "wait", "amateur", "close"});
    ASSERT_TRUE(run.WaitFor("waiting")) << run.Describe();
    fs::remove(db);
    run.Send();
    run.Finish();
    EXPECT_TRUE(run.EndedCleanly()) << run.Describe();
    EXPECT_EQ(run.Messages(),
              (std::vector<Shown>{Plain(kFinished), Plain("Brak pliku: Log.dat"), Error(gone)}));
  }
  EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"AMATEUR.RPT", "okcall.dbf"}));
}

// A LOG.DAT that cannot be opened, made from a real file each time: the
// fixed line, and under it why and what to do. The file is left as it was.
TEST_F(DatabaseFault, RefusalSaysWhy) {
  WriteAmateurReport(dir / "AMATEUR.RPT", AmateurLines("VA", 5));
  std::optional<std::vector<std::string>> asUser;
  if (geteuid() == 0) asUser = UnprivilegedUser(dir.Path());
  const fs::path lock = dir / "closed-lock";

  struct Case {
    const char* name;
    std::function<void()> make;  // makes LOG.DAT (and what else the case needs)
    std::vector<std::string> options;
    std::vector<std::string> cause;
    bool unprivileged = false;  // run as another user when this one is root
  };
  // A LOG.DAT whose header states another on-disk structure.
  const auto structure = [&](unsigned version, std::size_t minorAt, unsigned minor) {
    return [this, version, minorAt, minor] {
      CreateDurableDatabase(db);
      SetStructure(db, version, minorAt, minor);
    };
  };
  const std::vector<Case> cases = {
      {"older structure, as Firebird 2.5 writes it",
       structure(0x800B, 62, 2),
       {},
       {"Plik " + db.string(), "ODS 11.2", "Firebird 2.5",
        "tolvo-import --database przez serwer Firebird 2.5",
        "tolvo-import --database localhost:" + db.string() + " LISTA", "gbak -c"}},
      {"newer structure, as Firebird 5 writes it",
       structure(0x800D, 64, 1),
       {},
       {"ODS 13.1", "Firebird 5", "tolvo-import --database przez serwer Firebird 5"}},
      {"an InterBase 6 structure", structure(0x000A, 62, 0), {}, {"ODS 10.0", "InterBase 6"}},
      {"an InterBase 7 structure, which no server reached from here opens",
       structure(0x000B, 62, 0),
       {},
       {"ODS 11.0", "InterBase 7 lub nowszy", "nie łączy się z serwerami InterBase 7"}},
      {"a few bytes of noise",
       [&] {
         std::mt19937 random(11);
         std::string noise(100, '\0');
         for (char& c : noise) c = static_cast<char>(random());
         WriteBytes(db, noise);
       },
       {},
       {"Plik " + db.string() + " nie jest bazą danych"}},
      // Another user's lock folder, as /tmp/firebird is after the engine ran
      // as root; without root, a folder closed to its owner.
      {"a lock folder this user may not use",
       [&] {
         CreateDurableDatabase(db);
         fs::create_directories(lock);
         fs::permissions(
             lock, geteuid() == 0 ? fs::perms::owner_all | fs::perms::group_all : fs::perms::none);
       },
       {"--lock", lock.string()},
       {"Folder blokad Firebirda " + lock.string(), "FIREBIRD_LOCK"},
       true},
  };

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Root may use any folder: this case needs someone else.
    if (c.unprivileged && geteuid() == 0 && !asUser) continue;
    std::error_code ec;
    fs::remove(db, ec);
    c.make();
    std::vector<std::string> args;
    if (c.unprivileged && asUser) args = *asUser;
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.insert(args.end(), {"amateur", "close"});
    const std::string before = ReadBytes(db);
    const std::vector<Shown> shown = RunDriver(dir.Path(), args);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(IsRefusal(shown[0], c.cause));
    EXPECT_EQ(ReadBytes(db), before);
  }
  fs::permissions(lock, fs::perms::owner_all);
}

TEST_F(DatabaseFault, FullDiskIsReportedAndEarlierImportsStay) {
  const auto first = DatabaseAndOkCall(30);
  EXPECT_EQ(RunDriver(dir.Path(), {"okcall", "close"}), std::vector<Shown>{Plain(kFinished)});

  // No room for the file to grow by more than a few pages.
  WriteOkCall(dir / "okcall.dbf", OkCallRows("OK2", 5000));
  const auto limit = fs::file_size(db) + 64 * 1024;
  Driver run(dir.Path(), {"--fsize", std::to_string(limit), "okcall", "close"});
  run.Finish();
  EXPECT_TRUE(run.EndedCleanly()) << run.Describe();
  const std::vector<Shown> shown = run.Messages();
  ASSERT_EQ(shown.size(), 2u) << run.Describe();
  // The server's own words, at the record that found no room, and again at
  // the end: the server gave the import's transaction up, so its rows are
  // lost, and the user is told.
  EXPECT_TRUE(shown[0].error);
  EXPECT_EQ(shown[0].text.rfind("Nie udało się zapisać stacji OK2", 0), 0u) << shown[0].text;
  EXPECT_NE(shown[0].text.find("File too large"), std::string::npos) << shown[0].text;
  EXPECT_GT(run.Steps(), 1);
  EXPECT_LT(run.Steps(), 5000);
  EXPECT_TRUE(shown[1].error);
  EXPECT_EQ(shown[1].text.rfind("Nie udało się zapisać w bazie danych poprzedniego importu: ", 0),
            0u)
      << shown[1].text;
  EXPECT_LE(fs::file_size(db), limit);
  EXPECT_EQ(CallSigns(db), CallsOf(first));
  ExpectValid();

  // With room again, the same import runs through.
  EXPECT_EQ(RunDriver(dir.Path(), {"okcall", "close"}), std::vector<Shown>{Plain(kFinished)});
  EXPECT_EQ(CallSigns(db).size(), 5030u);
  ExpectValid();
}

TEST_F(DatabaseFault, RefusedCommitIsReportedNeverSilent) {
  const auto czech = DatabaseAndOkCall(10);
  EXPECT_EQ(RunDriver(dir.Path(), {"okcall", "close"}), std::vector<Shown>{Plain(kFinished)});
  // The server refuses every commit that would make the station FAIL
  // permanent.
  Execute(db, {"CREATE EXCEPTION E_REFUSED 'commit refused by the server'",
               "CREATE TRIGGER T_REFUSE ON TRANSACTION COMMIT AS BEGIN"
               " IF (EXISTS(SELECT 1 FROM STACJE WHERE STACJA = 'FAIL')) THEN"
               " EXCEPTION E_REFUSED; END"});
  std::vector<std::string> lines = AmateurLines("VA", 5);
  lines.push_back(AmateurLine("FAIL", "Ann", "Doe", "1 Main St", "Ottawa", "ON", "K1A 0B1"));
  WriteAmateurReport(dir / "AMATEUR.RPT", lines);
  const std::string lost = "Nie udało się zapisać w bazie danych poprzedniego importu: ";

  // Refused when the next import opens the callbook: that import does not
  // start.
  {
    Driver run(dir.Path(), {"amateur", "okcall", "close"});
    run.Finish();
    EXPECT_TRUE(run.EndedCleanly()) << run.Describe();
    const std::vector<Shown> shown = run.Messages();
    ASSERT_EQ(shown.size(), 2u) << run.Describe();
    EXPECT_EQ(shown[0], Plain(kFinished));
    EXPECT_TRUE(shown[1].error);
    EXPECT_EQ(shown[1].text.rfind(lost, 0), 0u) << shown[1].text;
    EXPECT_NE(shown[1].text.find("commit refused by the server"), std::string::npos);
    EXPECT_EQ(run.Steps(), 6);  // the okcall import read nothing
  }
  EXPECT_EQ(CallSigns(db), CallsOf(czech));

  // Refused when the program ends.
  const std::vector<Shown> atEnd = RunDriver(dir.Path(), {"amateur", "close"});
  ASSERT_EQ(atEnd.size(), 2u);
  EXPECT_EQ(atEnd[0], Plain(kFinished));
  EXPECT_TRUE(atEnd[1].error);
  EXPECT_EQ(atEnd[1].text.rfind(lost, 0), 0u) << atEnd[1].text;
  EXPECT_EQ(CallSigns(db), CallsOf(czech));
  ExpectValid();
}

// The check itself: validation does find a damaged file.
TEST_F(DatabaseFault, ValidationFindsDamage) {
  DatabaseAndOkCall(2000);
  EXPECT_EQ(RunDriver(dir.Path(), {"okcall", "close"}), std::vector<Shown>{Plain(kFinished)});
  ASSERT_EQ(ValidationErrors(db), "");
  const std::size_t page =
      std::stoul(Query(db, "SELECT MON$PAGE_SIZE FROM MON$DATABASE").at(0).at(0).value());
  std::string bytes = ReadBytes(db);
  // Every page of the last quarter (the station rows and their indexes)
  // gets garbage in its body; the page headers stay.
  std::mt19937 random(3);
  for (std::size_t at = bytes.size() * 3 / 4 / page * page; at + page <= bytes.size(); at += page)
    for (std::size_t i = 64; i < page; ++i) bytes[at + i] = static_cast<char>(random());
  WriteBytes(db, bytes);
  EXPECT_NE(ValidationErrors(db), "");
}

}  // namespace
}  // namespace tolvo::fault
