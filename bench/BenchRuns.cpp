#include "bench/BenchRuns.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QString>
#include <QWindow>

#include <cstdlib>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <vector>

#include "bench/BenchFloor.h"
#include "bench/BenchSources.h"
#include "bench/BenchWake.h"
#include "ui/ImportDialog.h"
#include "import/ImportKinds.h"
#include "import/ImportRun.h"
#include "import/RecordOutcome.h"
#include "import/RecordReports.h"
#include "store/Callbook.h"
#include "store/Firebird.h"
#include "tests/support/DbAccess.h"
#include "tests/support/ScratchFolder.h"
#include "tools/writers/Tolvo10Database.h"
#include "ui/DisplaySetup.h"
#include "ui/ErrorReport.h"

namespace tolvo::bench {
namespace {

namespace fs = std::filesystem;

// The callbook of the working folder.
const fs::path kDatabase{kCallbookFile};

struct Name {
  std::string what;     // floor, floor-server, store, headless, changes, server, dialog,
                        // dialog-x11, dialog-wayland, display, wake
  std::string source;   // for headless and dialog
  bool second = false;  // the ":find" pass
  WakeKind wake = WakeKind::Quiet;  // for wake
};

Name Parse(const std::string& text) {
  Name name;
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t colon = text.find(':', from);
    parts.push_back(text.substr(from, colon - from));
    if (colon == std::string::npos) break;
    from = colon + 1;
  }
  const bool withSource =
      parts.size() == 3 &&
      (parts[0] == "headless" || parts[0] == "changes" || parts[0] == "server" ||
       parts[0] == "dialog" || parts[0] == "dialog-x11" || parts[0] == "dialog-wayland" ||
       (parts[0] == "display" && parts[2] == "new"));
  const bool plain = parts.size() == 2 &&
                     (parts[0] == "floor" || parts[0] == "floor-server" || parts[0] == "store");
  if (parts.size() == 2 && parts[0] == "wake") {
    for (std::size_t kind = 0; kind < std::size(kWakePasses); ++kind) {
      if (parts[1] != kWakePasses[kind]) continue;
      name.what = parts[0];
      name.wake = static_cast<WakeKind>(kind);
      return name;
    }
  }
  if ((!withSource && !plain) || (parts.back() != "new" && parts.back() != "find"))
    throw std::invalid_argument("unknown measurement '" + text + "'");
  name.what = parts[0];
  if (withSource) {
    name.source = parts[1];
    SourceNamed(name.source);  // throws when unknown
  }
  name.second = parts.back() == "find";
  return name;
}

// A fresh Tolvo 1.0 database with its callbook table, as the first import
// leaves it before its first record.
void MakeEmptyCallbook() {
  CreateTolvo10Database(kDatabase);
  Callbook book;
  if (!book.Open(kDatabase)) throw std::runtime_error("the new LOG.DAT cannot be opened");
  book.Close();
}

// LOG.DAT of the working folder, directly or through the benchmark's server.
std::string Target(bool throughServer) {
  const std::string file = fs::absolute(kDatabase).string();
  if (!throughServer) return file;
  const char* server = std::getenv(kServerVariable);
  if (!server || !*server) throw std::runtime_error(std::string(kServerVariable) + " is not set");
  return std::string(server) + ":" + file;
}

// Counts the lookups that find their station, passing everything on.
class FindCounter : public ICallbook {
 public:
  explicit FindCounter(ICallbook& inner) : inner_(inner) {}
  std::optional<StoredStation> Find(std::string_view c) override {
    std::optional<StoredStation> found = inner_.Find(c);
    found_ += found.has_value();
    return found;
  }
  void Insert(const StationRow& row) override { inner_.Insert(row); }
  void FillLocator(std::string_view c, std::string_view l) override { inner_.FillLocator(c, l); }
  bool StoredRow(std::string_view c, StationRow& row) override { return inner_.StoredRow(c, row); }
  void ExpectStoredRows() override { inner_.ExpectStoredRows(); }
  std::int64_t Found() const { return found_; }

 private:
  ICallbook& inner_;
  std::int64_t found_ = 0;
};

RunResult RunStore(std::int64_t n, std::uint64_t seed) {
  RunResult result;
  Callbook book;
  SyntheticRow row;
  const Stopwatch watch;
  if (!book.Open(kDatabase)) throw std::runtime_error("store: LOG.DAT cannot be opened");
  for (std::int64_t i = 0; i < n; ++i) {
    FillSyntheticRow(i, seed, row);
    if (book.Find(row.stacja)) {
      ++result.found;
      continue;
    }
    book.Insert(NewStationRow({.callSign = row.stacja,
                               .fullName = row.nazwa,
                               .firstName = row.imie,
                               .surname = row.nazwisko,
                               .town = row.miasto,
                               .postalCode = row.kodpoczt,
                               .address = row.adres,
                               .locator = row.lokator,
                               .voivodeship = row.wojew,
                               .county = row.powiat},
                              row.kraj));
  }
  watch.Stop(result);
  result.records = n;
  book.Close();
  return result;
}

// The import without its dialog: the callbook opened, the source walked by
// the dialog's own run loop with nothing to show, each record handed to the
// step; with `changes`, the stations found that differ from the callbook
// written to a CSV file.
RunResult RunHeadless(Source source, const std::string& target, bool changes) {
  RunResult result;
  Callbook book;
  FindCounter counting(book);
  NoDisplay none;
  RecordReports reports(none, counting);
  const Stopwatch watch;
  if (changes) reports.WriteChangesTo("changes.csv");
  if (!book.OpenConnection(target))
    throw std::runtime_error("headless: " + target + " cannot be opened: " + book.OpenFailure());
  result.records = RunImportInWorkingFolder(ImportKindOf(source), counting,
                                            changes ? static_cast<IRunDisplay&>(reports) : none)
                       .records;
  reports.Finish({});
  watch.Stop(result);
  // The list is the one that wrote the callbook: nothing differs.
  if (reports.StationsChanged() != 0)
    throw std::runtime_error("changes: " + std::to_string(reports.StationsChanged()) +
                             " stations differ from the list that wrote them");
  result.found = counting.Found();
  book.Close();
  return result;
}

// The dialog's host: the benchmark's own store in place of the main window's.
class Host : public ICallbookHost {
 public:
  explicit Host(ICallbook& counting, tolvo::Callbook& book) : counting_(counting), book_(book) {}
  bool OpenCallbook() override { return book_.Open(kDatabase); }
  ICallbook& OpenedCallbook() override { return counting_; }

 private:
  ICallbook& counting_;
  tolvo::Callbook& book_;
};

// Qt 6.4's Wayland platform can abort when a window is hidden while the
// compositor's answer to its last frame is on its way. The dialog is hidden
// once its last drawing has been answered: the toolkit delivers an update
// request to the window then, and nothing is left to draw by that time.
void AwaitLastFrame(QWindow* window) {
  if (!window || !QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return;
  QApplication::processEvents();
  struct Watch : QObject {
    bool answered = false;
    bool eventFilter(QObject*, QEvent* event) override {
      answered = answered || event->type() == QEvent::UpdateRequest;
      return false;
    }
  } watch;
  window->installEventFilter(&watch);
  window->requestUpdate();
  const QDeadlineTimer deadline(1000);
  while (!watch.answered && !deadline.hasExpired())
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  window->removeEventFilter(&watch);
}

// The whole import through the dialog's start button, shown on the screen
// of `platform` (the environment's or the offscreen one when empty), every
// message recorded. Without `withStep` the dialog walks the source and shows
// its progress but hands no record on.
RunResult RunDialog(Source source, std::int64_t n, bool withStep, const char* platform) {
  if (platform) qputenv("QT_QPA_PLATFORM", platform);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  PrepareDisplay();  // as the program does
  static int argc = 1;
  static char name[] = "tolvo-bench";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);

  RunResult result;
  Callbook book;
  FindCounter counting(book);
  Host host(counting, book);
  std::vector<QString> messages;
  const MessageHook previous =
      SetMessageHook([&messages](MessageKind, const QString& text) { messages.push_back(text); });
  {
    auto dialog = std::make_unique<ImportDialog>(ImportKindOf(source), host);
    if (!withStep) {
      dialog->SetRecordStep({});
      dialog->SetLineStep({});
    }
    dialog->show();
    QApplication::processEvents();

    const Stopwatch watch;
    dialog->StartButton()->click();
    watch.Stop(result);
    AwaitLastFrame(dialog->windowHandle());
    dialog->hide();
  }
  SetMessageHook(previous);
  result.records = n;
  result.found = counting.Found();
  if (messages.size() != 1 || messages[0] != QString::fromUtf8(kImportFinished)) {
    std::string shown;
    for (const QString& m : messages) shown += " [" + m.toStdString() + "]";
    throw std::runtime_error("dialog: the import did not end with its closing message:" +
                             (shown.empty() ? std::string(" none") : shown));
  }
  book.Close();
  return result;
}

}  // namespace

bool NeedsSource(const std::string& what, std::string* sourceName) {
  const Name name = Parse(what);
  if (sourceName) *sourceName = name.source;
  return !name.source.empty();
}

RunResult RunMeasurement(const std::string& what, const fs::path& folder, std::int64_t n,
                         std::uint64_t seed) {
  const Name name = Parse(what);
  WorkingFolderGuard inFolder(folder);
  // No database: what waking a display server costs.
  if (name.what == "wake") return RunServerWake(n, name.wake);
  if (!name.second) MakeEmptyCallbook();

  const std::string target = Target(name.what == "floor-server" || name.what == "server");
  RunResult result;
  if (name.what == "floor" || name.what == "floor-server")
    result = RunFloor(target, n, seed, !name.second);
  else if (name.what == "store") result = RunStore(n, seed);
  else if (name.what == "headless" || name.what == "server" || name.what == "changes")
    result = RunHeadless(SourceNamed(name.source), target, name.what == "changes");
  else if (name.what == "display") result = RunDialog(SourceNamed(name.source), n, false, nullptr);
  else
    result = RunDialog(SourceNamed(name.source), n, true,
                       name.what == "dialog-x11"       ? "xcb"
                       : name.what == "dialog-wayland" ? "wayland"
                                                       : nullptr);
  result.rows = testdb::CountStations(target);

  // Every record is a station of its own: the first pass writes them all,
  // the second finds them all and writes nothing.
  const std::int64_t wantFound = name.second ? n : 0;
  const std::int64_t wantRows = name.what == "display" ? 0 : n;
  if (result.records != n || result.found != wantFound || result.rows != wantRows)
    throw std::runtime_error(what + ": " + std::to_string(result.records) + " records, " +
                             std::to_string(result.found) + " found, " +
                             std::to_string(result.rows) + " rows; expected " + std::to_string(n) +
                             ", " + std::to_string(wantFound) + ", " + std::to_string(wantRows));
  return result;
}

}  // namespace tolvo::bench
