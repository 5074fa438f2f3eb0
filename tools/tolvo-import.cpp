// tolvo-import [--database CONNECTION] [--dry-run] [--changes FILE] [--added FILE]
// LIST [FOLDER]: the import of one
// station list without a window, for scripts and terminals. It reads LIST
// (CB.DBF, LOG_C_SP.DBF, LOG_C_OK.DBF, okcall.dbf or AMATEUR.RPT, in any
// letter case; a path to one of them names FOLDER as well) from FOLDER
// (default: the working folder) into the callbook
// of that folder's LOG.DAT, or of the database that CONNECTION names through
// a Firebird server. It makes the same checks with the same messages as the
// import dialog, uses the same store and the same per-record steps, and
// walks the list with the dialog's own run loop. As in the program, the rows
// are committed at the end: after the whole list, after an error (the rows
// before it), and after SIGINT or SIGTERM, which stop the run between two
// records. Progress goes to standard error (a bar on a terminal, otherwise a
// line every 1000 records and one at the end), the summary to standard
// output. Everything it says is in Polish (UTF-8).
//
// --dry-run makes the same run but rolls it back at the end, the creation of
// the callbook table included. --changes FILE writes, as CSV, the columns in
// which a station already in the callbook differs from the list; --added
// FILE the stations the run adds. The reports are put in place at the end,
// whatever ended the run, up to the last record done.
//
// Exit status: 0 done; 1 an error (after its message); 2 a wrong command
// line; 128 + the signal's number when a signal stopped the run.
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/ImportChecks.h"
#include "import/ImportKinds.h"
#include "import/ImportRun.h"
#include "import/RecordReports.h"
#include "import/SignalHold.h"
#include "source/FileHelpers.h"
#include "source/FileLookup.h"
#include "store/Callbook.h"
#include "store/OpenFailure.h"
#include "source/ProcessSetup.h"

namespace {

namespace fs = std::filesystem;
using tolvo::ImportKind;
using tolvo::RunSummary;

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

void Usage(std::FILE* to) {
  std::fputs(
      "użycie: tolvo-import [--database POŁĄCZENIE] [--dry-run] [--changes PLIK] [--added PLIK]\n"
      "                    LISTA [FOLDER]\n"
      "  Wczytuje listę stacji LISTA z folderu FOLDER (domyślnie z bieżącego) do callbooka\n"
      "  (tabeli STACJE) w pliku LOG.DAT tego folderu, tak jak okno importu TolvoIMP.\n"
      "  LISTA: CB.DBF, LOG_C_SP.DBF, LOG_C_OK.DBF, okcall.dbf albo AMATEUR.RPT\n"
      "         (wielkość liter bez znaczenia; ścieżka do listy wskazuje też FOLDER)\n"
      "  --database POŁĄCZENIE  baza przez serwer Firebird zamiast LOG.DAT z folderu,\n"
      "                         np. serwer:C:\\Tolvo\\LOG.DAT albo serwer/3050:/dane/LOG.DAT\n"
      "  --dry-run              import próbny: cały przebieg jak zwykle, ale bez zapisu w bazie\n"
      "  --changes PLIK         zapisuje w PLIKU (CSV) kolumny, w których stacje obecne już\n"
      "                         w callbooku różnią się od listy\n"
      "  --added PLIK           zapisuje w PLIKU (CSV) stacje, które import dodaje\n"
      "  Kod wyjścia: 0 gotowe, 1 błąd, 2 złe wywołanie, 128+numer sygnału po przerwaniu\n"
      "  (130 Ctrl-C, 143 SIGTERM, 129 SIGHUP). Wpisy wczytane przed błędem lub przerwaniem\n"
      "  zostają zapisane w bazie (poza importem próbnym).\n",
      to);
}

// ---- stopping on SIGINT, SIGTERM and SIGHUP ----

// The signals that stop a run between two records and commit what came
// before: Ctrl-C, a polite kill, and the terminal or ssh session that went
// away (which must not cost the rows of an import that was nearly done).
constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void OnStopSignal(int signalNumber) { stopSignal = signalNumber; }

// A signal that the tool was started with ignored (SIGINT of a job that a
// shell script put in the background, SIGHUP under nohup) stays ignored.
bool ignored[NSIG] = {};

void InstallStopHandlers() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // A read or write that the signal interrupts goes on.
  action.sa_flags = SA_RESTART;
  for (int s : kStopSignals)
    if (!ignored[s]) sigaction(s, &action, nullptr);
}

// At the start: our handlers, and the signals let through even where the
// parent process left them blocked.
void SetUpStopSignals() {
  for (int s : kStopSignals) {
    struct sigaction previous {};
    ignored[s] = sigaction(s, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN;
  }
  InstallStopHandlers();
  sigset_t set;
  sigemptyset(&set);
  for (int s : kStopSignals) sigaddset(&set, s);
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

const char* SignalName(int signalNumber) {
  switch (signalNumber) {
    case SIGINT: return "SIGINT (Ctrl-C)";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "?";
  }
}

// A stop signal that comes while the database client connects (which can
// take long: a server that does not answer) ends the tool at once: nothing
// has been written yet.
[[noreturn]] void StopWhileConnecting(int signalNumber) {
  char text[160];
  const int n = std::snprintf(text, sizeof text,
                              "Przerwano (%s) podczas łączenia z bazą; nic nie zapisano.\n",
                              SignalName(signalNumber));
  [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, text, static_cast<size_t>(n));
  _exit(128 + signalNumber);
}

// ---- progress ----

// Characters on the screen of a UTF-8 text (Polish letters are one each).
std::size_t Width(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

int TerminalColumns() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

// The station lines of a report, for a bar where no count is known in
// advance: its line ends up to an end-of-file mark, less the header.
// Nothing when the report is not a plain file (the import refuses it) or a
// stop signal came while counting.
std::optional<std::int64_t> CountReportLines(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  // A line ends at LF, CR LF or a lone CR, as the report reader ends it.
  std::int64_t lines = 0;
  char last = '\n';
  std::vector<char> buffer(1 << 16);
  while (in) {
    if (stopSignal != 0) return std::nullopt;
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const std::size_t got = static_cast<std::size_t>(in.gcount());
    const auto end = std::find(buffer.begin(), buffer.begin() + got, '\x1A');
    for (auto c = buffer.begin(); c != end; ++c) {
      if (*c == '\r' || (*c == '\n' && last != '\r')) ++lines;
      last = *c;
    }
    if (end != buffer.begin() + got) break;
  }
  if (last != '\n' && last != '\r') ++lines;
  return std::max<std::int64_t>(0, lines - tolvo::kReportHeaderLines);
}

// The run's display on standard error. On a terminal a bar redrawn at most
// ten times a second; elsewhere a line every 1000 records and one at the end.
class Progress final : public tolvo::IRunDisplay {
 public:
  Progress(std::string name, bool terminal, std::optional<std::int64_t> estimate)
      : name_(std::move(name)), terminal_(terminal), estimate_(estimate) {}

  void Begin(std::optional<std::int64_t> total) override {
    total_ = total;
    if (terminal_) Draw();
  }

  void ShowRecord(std::int64_t number) override {
    number_ = number;
    ++shown_;
    if (terminal_) {
      const auto now = std::chrono::steady_clock::now();
      if (now - drawn_ >= std::chrono::milliseconds(100)) Draw();
    } else if (shown_ % 1000 == 0) {
      std::fprintf(stderr, "%s\n", Position().c_str());
    }
  }

  bool StopRequested() override { return stopSignal != 0; }

  // The last word: `finished` when the walk reached the end of the list.
  void End(bool finished) {
    if (finished && total_) number_ = *total_;
    if (terminal_) {
      ended_ = finished;
      Draw();
      std::fputc('\n', stderr);
    } else {
      std::fprintf(stderr, "%s, %s\n", Position().c_str(), finished ? "koniec" : "przerwano");
    }
    std::fflush(stderr);
  }

  // The number of the record the run was at.
  std::int64_t Number() const { return number_; }

 private:
  // "wpis 1000 z 3000"
  std::string Where() const {
    std::string text = "wpis " + std::to_string(number_);
    if (total_) text += " z " + std::to_string(*total_);
    return text;
  }
  // "LOG_C_OK.DBF: wpis 1000 z 3000"
  std::string Position() const { return name_ + ": " + Where(); }

  void Draw() {
    drawn_ = std::chrono::steady_clock::now();
    const std::optional<std::int64_t> whole = total_ ? total_ : estimate_;
    std::string line = name_;
    const std::string position = Where();
    if (whole) {
      const int percent =
          ended_       ? 100
          : *whole > 0 ? static_cast<int>(std::min<std::int64_t>(100, number_ * 100 / *whole))
                       : 0;
      // The line must stay within the terminal's width, or \r returns to a
      // wrapped line's second half.
      const int room = TerminalColumns() - static_cast<int>(Width(name_) + Width(position)) - 10;
      const int bar = std::min(30, room);
      if (bar >= 10) {
        const int filled = bar * percent / 100;
        line += " [" + std::string(static_cast<std::size_t>(filled), '#') +
                std::string(static_cast<std::size_t>(bar - filled), '-') + "]";
      }
      char number[8];
      std::snprintf(number, sizeof number, " %3d%%", percent);
      line += number;
    }
    line += " " + position;
    std::fprintf(stderr, "\r%s\033[K", line.c_str());
    std::fflush(stderr);
  }

  std::string name_;
  bool terminal_;
  std::optional<std::int64_t> estimate_;
  std::optional<std::int64_t> total_;
  std::int64_t number_ = 0;
  std::int64_t shown_ = 0;
  bool ended_ = false;
  std::chrono::steady_clock::time_point drawn_{};
};

// ---- summary ----

struct SummaryLine {
  std::string label;
  std::int64_t count;
};

// `changed`: the stations found that differ from the list, when asked for.
void PrintSummary(const std::string& headline, const ImportKind& kind, const fs::path& list,
                  const std::string& database, const RunSummary& s,
                  std::optional<std::int64_t> changed) {
  const bool table = kind.source == tolvo::SourceKind::DbaseTable;
  std::vector<SummaryLine> lines = {
      {"Wczytane wpisy:", s.records},
      {"  dodane stacje:", s.added},
      {"  stacje już w callbooku (lub wcześniej na liście):", s.alreadyThere},
      {"  uzupełnione lokatory:", s.locatorsFilled},
      {"  wpisy bez znaku wywoławczego:", s.noCallSign},
      {table ? "  wpisy pominięte z innego powodu:"
             : "  wpisy pominięte z innego powodu (za krótkie):",
       s.skipped},
  };
  if (table) lines.push_back({"Wpisy usunięte w pliku (niewczytane):", s.deleted});
  if (changed) lines.push_back({"Stacje w callbooku z innymi danymi niż na liście:", *changed});
  std::size_t labels = 0, digits = 0;
  for (const SummaryLine& l : lines) {
    labels = std::max(labels, Width(l.label));
    digits = std::max(digits, std::to_string(l.count).size());
  }
  std::printf("%s\nLista: %s\nBaza:  %s\n", headline.c_str(), list.c_str(), database.c_str());
  for (const SummaryLine& l : lines) {
    const std::string count = std::to_string(l.count);
    std::printf("%s%s %s%s\n", l.label.c_str(), std::string(labels - Width(l.label), ' ').c_str(),
                std::string(digits - count.size(), ' ').c_str(), count.c_str());
  }
  std::fflush(stdout);
}

// A message the dialog would show: its fixed first line, the cause under it.
int Refuse(const std::string& first, const std::string& cause = {}) {
  std::fprintf(stderr, "%s\n", first.c_str());
  if (!cause.empty()) std::fprintf(stderr, "%s\n", cause.c_str());
  return kExitError;
}

int WrongCall(const std::string& what, bool withUsage = true) {
  std::fprintf(stderr, "tolvo-import: %s\n", what.c_str());
  if (withUsage) Usage(stderr);
  return kExitUsage;
}

std::string KnownLists() {
  std::string names;
  for (const ImportKind& kind : tolvo::ImportKinds()) {
    if (!names.empty()) names += ", ";
    // okcall.dbf is spelled as the list's own file is named.
    names += kind.id == tolvo::ImportKindId::OKCall ? kind.tableName : kind.sourceFile;
  }
  return names;
}

// What the command line asks for: the list's file name, its folder, a
// connection through a server when one is named, whether to write nothing,
// and the reports to write (absolute paths).
struct CommandLine {
  std::string listName;
  fs::path folder = ".";
  std::optional<std::string> connection;
  bool dryRun = false;
  std::optional<fs::path> changes;
  std::optional<fs::path> added;
};

// The value of option `name` when argv[i] is it ("--name VALUE", i then
// moved on to the value, or "--name=VALUE"); empty when VALUE is missing;
// nullopt when argv[i] is another option.
std::optional<std::string> OptionValue(int argc, char** argv, int& i, std::string_view name) {
  const std::string_view arg = argv[i];
  if (arg == name) return i + 1 < argc ? std::string(argv[++i]) : std::string();
  if (arg.starts_with(name) && arg.substr(name.size()).starts_with("="))
    return std::string(arg.substr(name.size() + 1));
  return std::nullopt;
}

// Reads the command line into `line`; an exit status when the tool is to
// stop at once (its help, or a wrong call after its message).
std::optional<int> ParseCommandLine(int argc, char** argv, CommandLine& line) {
  std::vector<std::string> positional;
  bool optionsEnd = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (optionsEnd || !arg.starts_with("-") || arg == "-") {
      positional.emplace_back(arg);
    } else if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "-h" || arg == "--help") {
      Usage(stdout);
      return 0;
    } else if (arg == "--dry-run") {
      line.dryRun = true;
    } else if (const std::optional<std::string> value = OptionValue(argc, argv, i, "--database")) {
      if (value->empty())
        return WrongCall("--database wymaga połączenia, np. serwer:/dane/LOG.DAT");
      line.connection = *value;
    } else if (const std::optional<std::string> file = OptionValue(argc, argv, i, "--changes")) {
      if (file->empty()) return WrongCall("--changes wymaga nazwy pliku CSV");
      line.changes = fs::absolute(*file);
    } else if (const std::optional<std::string> name = OptionValue(argc, argv, i, "--added")) {
      if (name->empty()) return WrongCall("--added wymaga nazwy pliku CSV");
      line.added = fs::absolute(*name);
    } else {
      return WrongCall("nieznana opcja " + std::string(arg));
    }
  }
  if (positional.empty()) return WrongCall("podaj listę stacji do wczytania");
  if (line.changes && line.added &&
      line.changes->lexically_normal() == line.added->lexically_normal())
    return WrongCall("--changes i --added muszą wskazywać różne pliki");
  if (positional.size() > 2) return WrongCall("za dużo argumentów: " + positional[2]);

  // A list named with its folder ("~/Tolvo/CB.DBF") names FOLDER too.
  const fs::path listArgument = positional[0];
  if (listArgument.has_parent_path() && listArgument.has_filename()) {
    if (positional.size() > 1)
      return WrongCall("podaj samą nazwę listy, gdy folder jest podany osobno: " + positional[0]);
    positional = {listArgument.filename().string(), listArgument.parent_path().string()};
  }
  line.listName = positional[0];
  if (positional.size() > 1) line.folder = positional[1];

  // A local database named relative to where the tool was started stays
  // that file once the tool works in FOLDER.
  if (line.connection) line.connection = tolvo::AbsoluteConnection(*line.connection);
  return std::nullopt;
}

// How the run was cut short: by the stop signal that came, or by an error.
std::string StoppedBy() {
  return stopSignal != 0 ? std::string("Przerwano (") + SignalName(stopSignal) + ")"
                         : std::string("Przerwano z powodu błędu");
}

// The first line of a trial run's summary.
constexpr const char* kNothingWritten = "Import próbny: nic nie zapisano w bazie danych.";

// Rolls back what a trial run posted and gives the summary's headline, as
// CommitRun does.
int EndTrialRun(tolvo::Callbook& book, bool finished, std::int64_t stoppedBefore,
                std::string& headline) {
  headline = std::string(kNothingWritten) + "\n";
  int status = 0;
  try {
    book.Close();
  } catch (const std::exception& e) {
    // The server drops what the connection left uncommitted.
    std::fprintf(stderr, "%s\n", e.what());
    status = kExitError;
  }
  if (stopSignal != 0) {
    headline +=
        StoppedBy() + " " +
        (finished ? "po ostatnim wpisie." : "przed wpisem " + std::to_string(stoppedBefore) + ".");
    return 128 + stopSignal;
  }
  if (finished) {
    headline += tolvo::kImportFinished;
    return status;
  }
  headline += "Przerwano z powodu błędu.";
  return kExitError;
}

// Commits what the run posted, whatever ended it, and gives the summary's
// headline and the exit status. A stop signal that came at any time, even
// once the last record was done, never gives 0. `lost` tells that nothing
// of the run was committed.
int CommitRun(tolvo::Callbook& book, bool finished, std::int64_t stoppedBefore,
              std::string& headline, bool& lost) {
  try {
    book.Close();
    if (stopSignal != 0) {
      headline = StoppedBy() + " " +
                 (finished ? "po ostatnim wpisie; wszystkie wpisy zapisano w bazie."
                           : "przed wpisem " + std::to_string(stoppedBefore) +
                                 "; wcześniejsze wpisy zapisano w bazie.");
      return 128 + stopSignal;
    }
    if (finished) {
      headline = tolvo::kImportFinished;
      return 0;
    }
    headline = "Przerwano z powodu błędu; wpisy sprzed błędu zapisano w bazie.";
    return kExitError;
  } catch (const tolvo::DatabaseMoved& e) {
    std::fprintf(stderr, "%s\n", e.what());
    headline = "Wpisy zapisano, ale nie w pliku LOG.DAT tego folderu (zob. wyżej).";
    return kExitError;
  } catch (const std::exception& e) {
    std::string why = e.what();
    if (why.starts_with(tolvo::kPreviousImportLost)) {
      why.erase(0, tolvo::kPreviousImportLost.size());
      std::fprintf(stderr, "Nie udało się zapisać importu w bazie danych:\n%s\n", why.c_str());
      headline = "Nic z tego importu nie zapisano w bazie.";
      lost = true;
    } else {
      // The commit went through; only the disconnection failed.
      std::fprintf(stderr, "%s\n", why.c_str());
      headline = "Wpisy zapisano w bazie, ale rozłączenie z nią się nie udało.";
    }
    return kExitError;
  }
}

}  // namespace

int main(int argc, char** argv) {
  tolvo::PrepareProcess();
  CommandLine line;
  if (const std::optional<int> exitNow = ParseCommandLine(argc, argv, line)) return *exitNow;
  const ImportKind* kind = tolvo::ImportKindOfFile(line.listName);
  if (!kind)
    return WrongCall("nieznana lista " + line.listName + "; podaj jedną z: " + KnownLists(), false);

  std::error_code ec;
  if (!fs::is_directory(line.folder, ec))
    return Refuse("tolvo-import: " + line.folder.string() + " nie jest folderem");
  // The lists are found in the working folder, as the program finds them.
  fs::current_path(line.folder, ec);
  if (ec) return Refuse("tolvo-import: nie można przejść do folderu " + line.folder.string());

  // The dialog's checks, in its order and with its messages.
  const tolvo::ImportFiles files = tolvo::FindImportFiles(*kind, !line.connection);
  if (!files.Found()) return Refuse(files.message, files.cause);
  const std::optional<fs::path>& databaseFile = files.database;
  const std::optional<fs::path>& list = files.list;
  const std::string database = line.connection ? *line.connection : databaseFile->string();
  // A report must not take the place of the database or the list.
  for (const std::optional<fs::path>& report : {line.changes, line.added}) {
    if (!report) continue;
    for (const std::optional<fs::path>& file : {databaseFile, list})
      if (file && fs::equivalent(*report, *file, ec))
        return WrongCall("plik raportu " + report->string() + " to " + file->filename().string() +
                             "; podaj inny plik",
                         false);
  }

  SetUpStopSignals();
  const bool terminal = isatty(STDERR_FILENO) == 1;
  std::optional<std::int64_t> estimate;
  if (terminal && kind->source == tolvo::SourceKind::TextReport) estimate = CountReportLines(*list);
  Progress progress(list->filename().string(), terminal, estimate);

  tolvo::Callbook book;
  book.SetTrialRun(line.dryRun);
  // The report files are made before anything is written, so that one that
  // cannot be made costs nothing.
  tolvo::RecordReports reports(progress, book);
  try {
    if (line.changes) reports.WriteChangesTo(*line.changes);
    if (line.added) reports.WriteAddedTo(*line.added);
  } catch (const std::exception& e) {
    return Refuse(std::string("tolvo-import: ") + e.what());
  }
  // A row waiting for another program's lock gives up when a stop signal
  // comes.
  book.SetLockWaitHandler([] { return stopSignal == 0; });
  try {
    bool opened = false;
    {
      const tolvo::SignalHold held(
          std::vector<int>(std::begin(kStopSignals), std::end(kStopSignals)), InstallStopHandlers,
          [&reports](int signalNumber) {
            if (ignored[signalNumber]) return;
            reports.Abandon();
            StopWhileConnecting(signalNumber);
          });
      opened = line.connection ? book.OpenConnection(*line.connection) : book.Open(*databaseFile);
    }
    if (!opened) return Refuse(tolvo::kCannotOpenCallbook, book.OpenFailure());
  } catch (const std::exception& e) {
    return Refuse(e.what());
  }

  RunSummary summary;
  std::string failure;
  try {
    tolvo::RunImportInWorkingFolder(*kind, book, reports, summary);
  } catch (const std::exception& e) {
    failure = e.what();
  }
  const bool finished = failure.empty() && !summary.stopped;
  progress.End(finished);
  if (!failure.empty()) std::fprintf(stderr, "%s\n", failure.c_str());

  std::string headline;
  bool lost = false;
  int status = line.dryRun ? EndTrialRun(book, finished, progress.Number(), headline)
                           : CommitRun(book, finished, progress.Number(), headline, lost);
  // The reports end with what a reader must know: that they stop short of
  // the end of the list, or that the import they tell of was not kept.
  std::string lastLine;
  if (!finished)
    lastLine = StoppedBy() + " przed wpisem " + std::to_string(progress.Number()) +
               "; plik obejmuje tylko wcześniejsze wpisy.";
  if (lost)
    lastLine +=
        (lastLine.empty() ? "" : " ") + std::string("Nic z tego importu nie zapisano w bazie.");
  try {
    reports.Finish(lastLine);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tolvo-import: %s\n", e.what());
    if (status == 0) status = kExitError;
  }
  // A summary that cannot be written (a full disk, a closed pipe) is no
  // success, although the rows are committed.
  errno = 0;
  PrintSummary(
      headline, *kind, *list, database, summary,
      line.changes ? std::optional<std::int64_t>(reports.StationsChanged()) : std::nullopt);
  if (std::ferror(stdout) || std::fflush(stdout) != 0) {
    const int err = errno;
    std::fprintf(stderr, "tolvo-import: nie udało się wypisać podsumowania: %s\n",
                 tolvo::ErrnoText(err).c_str());
    if (status == 0) status = kExitError;
  }
  return status;
}
