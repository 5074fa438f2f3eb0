// tolvo_fault_driver: the program's windows and store, run without a user.
// It builds the main window and the five import dialogs as the program does,
// then carries out the actions named on its command line one after another,
// pressing the dialogs' start buttons the way a user would. Everything the
// program would show in a message box is written to standard output instead,
// one line per event, so that a test in another process can follow the run,
// pause it, kill it, or damage its files while it runs.
//
//   tolvo_fault_driver [options] action...
//   actions:  cb logcsp logcok okcall amateur   press that dialog's start button
//             close                            close the main window (commits)
//             wait                             wait for a line on standard input
//   options:  --uid N       run as that user (and its group) from the start
//             --lock DIR    the embedded engine's lock folder (FIREBIRD_LOCK)
//             --firebird DIR  the database client's configuration folder
//                           (FIREBIRD), as a user's machine may set it up
//             --database CONNECTION  the imports write there, as the program's
//                           own option makes them
//             --fsize N     no file may grow beyond N bytes (SIGXFSZ ignored)
//             --pause-at N  before the N-th record step of every import, print
//                           "paused" and wait for a line on standard input
//
//   output:   ready | start <action> | step <action> <n> | paused | waiting |
//             end <action> | message plain|error <text> | exit
//             ("start" comes right before the action's button is pressed or
//             the window closed: an import's "start" to its first "step" is
//             the opening of the callbook, which commits the previous import
//             and creates the table where there is none; "start close" to
//             "end close" is the commit at the end)
#include <QApplication>
#include <QPushButton>
#include <QString>

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/ProgramWindows.h"
#include "ui/ImportDialog.h"
#include "import/ImportKinds.h"
#include "ui/ErrorReport.h"

using namespace tolvo;

namespace {

long pauseAt = 0;
std::optional<std::string> connection;

void Emit(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void WaitForLine() {
  std::string ignored;
  std::getline(std::cin, ignored);
}

// One line per message; line ends inside a text are written as "\n".
void RecordMessage(MessageKind kind, const QString& text) {
  std::string flat;
  for (char c : text.toStdString()) {
    if (c == '\n') flat += "\\n";
    else if (c != '\r') flat += c;
  }
  Emit(std::string("message ") + (kind == MessageKind::Error ? "error " : "plain ") + flat);
}

// Announces every record (and pauses where asked) before the importer's own
// step runs.
void BeforeStep(const char* action, long& counter) {
  ++counter;
  Emit(std::string("step ") + action + " " + std::to_string(counter));
  if (counter == pauseAt) {
    Emit("paused");
    WaitForLine();
  }
}

// The action that presses each import's start button.
const char* ActionOf(ImportKindId kind) {
  switch (kind) {
    case ImportKindId::CB: return "cb";
    case ImportKindId::LogCSP: return "logcsp";
    case ImportKindId::LogCOK: return "logcok";
    case ImportKindId::OKCall: return "okcall";
    case ImportKindId::Amateur: return "amateur";
  }
  return "";
}

// Makes the dialog announce every record before its own step runs.
void Announce(ImportDialog& dialog, long& counter) {
  const ImportKind& kind = dialog.Kind();
  const char* action = ActionOf(kind.id);
  if (kind.recordStep) {
    dialog.SetRecordStep(
        [action, step = kind.recordStep, &counter](const IRecordFields& rec, IStationLookup& book) {
          BeforeStep(action, counter);
          return step(rec, book);
        });
  } else {
    dialog.SetLineStep(
        [action, step = kind.lineStep, &counter](std::string_view line, IStationLookup& book) {
          BeforeStep(action, counter);
          return step(line, book);
        });
  }
}

bool Fail(const std::string& text) {
  std::fprintf(stderr, "tolvo_fault_driver: %s\n", text.c_str());
  return false;
}

// The options that change the process itself; applied before Qt or the
// database engine start.
bool ApplyOptions(std::vector<std::string>& args) {
  std::vector<std::string> actions;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--uid" && hasValue) {
      const auto uid = static_cast<uid_t>(std::stoul(args[++i]));
      // No groups of the starting user go along.
      if (setgroups(0, nullptr) != 0 || setgid(static_cast<gid_t>(uid)) != 0 || setuid(uid) != 0)
        return Fail("cannot become user " + std::to_string(uid) + ": " + std::strerror(errno));
    } else if (a == "--lock" && hasValue) {
      setenv("FIREBIRD_LOCK", args[++i].c_str(), 1);
    } else if (a == "--firebird" && hasValue) {
      setenv("FIREBIRD", args[++i].c_str(), 1);
    } else if (a == "--fsize" && hasValue) {
      signal(SIGXFSZ, SIG_IGN);
      const rlim_t limit = static_cast<rlim_t>(std::stoull(args[++i]));
      const struct rlimit rl = {limit, limit};
      if (setrlimit(RLIMIT_FSIZE, &rl) != 0)
        return Fail(std::string("cannot limit the file size: ") + std::strerror(errno));
    } else if (a == "--database" && hasValue) {
      connection = args[++i];
    } else if (a == "--pause-at" && hasValue) {
      pauseAt = std::stol(args[++i]);
    } else {
      actions.push_back(a);
    }
  }
  args = std::move(actions);
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!ApplyOptions(args)) return 2;
  // Never a window on a screen, whoever starts it.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);

  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(kAppTitle));
  SetMessageHook(RecordMessage);

  auto windows = std::make_unique<ProgramWindows>();
  if (connection) windows->Main().UseConnection(*connection);
  long counter = 0;
  for (const ImportKind& kind : ImportKinds()) Announce(windows->Dialog(kind.id), counter);

  windows->Main().show();
  QApplication::processEvents();
  Emit("ready");

  int result = 0;
  for (const std::string& action : args) {
    ImportDialog* dialog = nullptr;
    for (const ImportKind& kind : ImportKinds())
      if (action == ActionOf(kind.id)) dialog = &windows->Dialog(kind.id);
    if (dialog) {
      counter = 0;
      dialog->show();
      QApplication::processEvents();
      Emit("start " + action);
      dialog->StartButton()->click();
      dialog->hide();
    } else if (action == "close") {
      Emit("start close");
      windows->Main().close();
    } else if (action == "wait") {
      Emit("waiting");
      WaitForLine();
    } else {
      Fail("unknown action " + action);
      result = 2;
      break;
    }
    QApplication::processEvents();
    Emit("end " + action);
  }

  // The program's own order: the dialogs, the last created first, then the
  // main window, whose store commits what is still pending.
  windows.reset();
  Emit("exit");
  return result;
}
