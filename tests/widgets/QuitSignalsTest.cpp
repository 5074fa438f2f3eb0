// SIGTERM, SIGINT and SIGHUP end the program the way closing its main window
// does:
// the running import stops between two records, nothing waits for the user,
// and every row posted so far is in LOG.DAT afterwards.
//
// Each case runs the program in a child process, in a scratch folder of its
// own: the real executable for the idle case, and for the others this test
// program itself, started again as a driver that runs the same program code
// (RunProgram) and opens the OKCALL.DBF dialog and starts its import like a
// user, reporting on its standard output what it has done.
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/ProgramWindows.h"
#include "ui/ImportDialog.h"
#include "import/OkCallImport.h"
#include "store/Callbook.h"
#include "store/Firebird.h"
#include "tests/support/DataRows.h"
#include "tests/support/DbAccess.h"
#include "tests/support/ScratchFolder.h"
#include "tools/writers/DbfWriter.h"
#include "tools/writers/Tolvo10Database.h"
#include "ui/ErrorReport.h"

using namespace tolvo;
namespace fs = std::filesystem;

namespace {

constexpr const char* kChildMode = "TOLVO_SIGNAL_CHILD";

std::string CallSign(int i) { return "OK" + std::to_string(1 + i % 9) + "X" + std::to_string(i); }

// A new LOG.DAT and an okcall.dbf of `count` stations in `folder`.
void MakeSources(const fs::path& folder, int count) {
  CreateTolvo10Database(folder / "LOG.DAT");
  DbfWriter table(folder / "okcall.dbf", {{"CALL", 'C', 10},
                                          {"NAME", 'C', 20},
                                          {"LASTNAME", 'C', 40},
                                          {"ADDRESS", 'C', 40},
                                          {"CITY", 'C', 30},
                                          {"ZIP", 'C', 10}});
  for (int i = 0; i < count; ++i)
    table.Add({CallSign(i), "Jan", "Novak", "Hlavni " + std::to_string(i), "Praha", "110 00"});
  table.Finish();
}

// Rows of STACJE, counted through an attachment of our own.
long long CountStations(const fs::path& database) { return tolvo::testdb::CountStations(database); }

// Whether the first `count` stations of the list are in the callbook.
bool FirstStationsPresent(const fs::path& folder, int count) {
  Callbook book;
  if (!book.Open(folder / "LOG.DAT")) return false;
  for (int i = 0; i < count; ++i) {
    if (!book.Find(CallSign(i))) return false;
  }
  return true;
}

// Whether the process has its own handler for `sig` (its SigCgt mask).
bool Catches(qint64 pid, int sig) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("SigCgt:", 0) == 0) {
      const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
      return (mask >> (sig - 1)) & 1U;
    }
  }
  return false;
}

// A program under test in a child process, its output read line by line.
class Child {
 public:
  Child(const QString& program, const fs::path& folder, const QByteArray& mode) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!mode.isEmpty()) env.insert(kChildMode, QString::fromLatin1(mode));
    process_.setProcessEnvironment(env);
    process_.setWorkingDirectory(QString::fromStdString(folder.string()));
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start(program, {});
  }
  ~Child() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished(5000);
    }
  }

  bool Started() { return process_.waitForStarted(10000); }
  qint64 Pid() const { return process_.processId(); }
  void Signal(int sig) { ::kill(static_cast<pid_t>(process_.processId()), sig); }

  // Reads until a line satisfies `wanted`; false on timeout or end.
  bool WaitFor(const std::function<bool(const QString&)>& wanted, int ms = 30000) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
      while (process_.canReadLine()) {
        lines_ << QString::fromUtf8(process_.readLine()).trimmed();
        if (wanted(lines_.back())) return true;
      }
      if (process_.state() == QProcess::NotRunning) return false;
      process_.waitForReadyRead(100);
    }
    return false;
  }

  // Waits for the end; true when the program ended by itself with code 0.
  bool EndedCleanly(int ms = 30000) {
    const bool finished = process_.waitForFinished(ms);
    while (process_.canReadLine()) lines_ << QString::fromUtf8(process_.readLine()).trimmed();
    const QByteArray rest = process_.readAllStandardOutput();
    if (!rest.isEmpty()) lines_ << QString::fromUtf8(rest).trimmed();
    errors_ = QString::fromUtf8(process_.readAllStandardError());
    return finished && process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
  }

  const QStringList& Lines() const { return lines_; }
  const QString& Errors() const { return errors_; }

  // The number in the last line "posted <n>"; 0 when there is none.
  int LastPosted() const {
    for (auto it = lines_.crbegin(); it != lines_.crend(); ++it) {
      if (it->startsWith("posted ")) return it->mid(7).toInt();
    }
    return 0;
  }

  QStringList LinesStartingWith(const QString& prefix) const {
    QStringList found;
    for (const QString& l : lines_)
      if (l.startsWith(prefix)) found << l;
    return found;
  }

 private:
  QProcess process_;
  QStringList lines_;
  QString errors_;
};

// ---- the driver, in the child process ----

void Say(const QString& line) {
  std::fputs((line + '\n').toUtf8().constData(), stdout);
  std::fflush(stdout);
}

// Opens the OKCALL.DBF dialog from the menu and presses its start button,
// reporting every record posted. "import" records the messages instead of
// showing them; "box" shows them in real message boxes and says when one
// waits for the user.
int RunDriver(int argc, char** argv, const QByteArray& mode) {
  QApplication app(argc, argv);
  static int posted = 0;
  if (mode == "import") {
    SetMessageHook([](MessageKind kind, const QString& text) {
      Say(QString(kind == MessageKind::Error ? "error " : "message ") + text);
    });
  }
  auto started = [mode](ProgramWindows& windows) {
    ImportDialog* okCall = &windows.Dialog(ImportKindId::OKCall);
    okCall->SetRecordStep([](const IRecordFields& rec, IStationLookup& book) {
      const RecordPlan outcome = ImportOKCallRecord(rec, book);
      Say(QString("posted %1").arg(++posted));
      return outcome;
    });
    auto* watch = new QTimer(qApp);
    QObject::connect(watch, &QTimer::timeout, [watch, mode, okCall] {
      static bool pressed = false;
      QWidget* modal = QApplication::activeModalWidget();
      if (!pressed && modal == okCall) {
        pressed = true;
        Say("started");
        // Not from inside this timer: its own ticks would wait for the
        // whole import.
        QTimer::singleShot(0, okCall, [okCall] { okCall->StartButton()->click(); });
      } else if (auto* box = qobject_cast<QMessageBox*>(modal); box && mode == "box") {
        watch->stop();
        Say("box " + box->text());
      }
    });
    watch->start(10);
    windows.Main().ImportAction(ImportKindId::OKCall)->trigger();
  };
  return RunProgram(app, started);
}

}  // namespace

class TestQuitSignals : public QObject {
  Q_OBJECT

  QString self_;
  QString program_;

 private slots:
  void initTestCase() {
    self_ = QCoreApplication::applicationFilePath();
    // The tests run in the build folder, where the program is built.
    program_ = QFileInfo(QStringLiteral("tolvoimp")).absoluteFilePath();
  }

  void idleProgramEndsCleanly_data() {
    test::AddRows<int>("sig", {{"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}});
  }
  void idleProgramEndsCleanly() {
    QFETCH(int, sig);
    if (!QFileInfo(program_).isExecutable()) QSKIP("the program is not built beside the tests");
    ScratchFolder folder;
    CreateTolvo10Database(folder / "LOG.DAT");
    Child child(program_, folder.Path(), {});
    QVERIFY(child.Started());
    // The handlers are in place before the window shows; wait for them
    // rather than for the window.
    QTRY_VERIFY_WITH_TIMEOUT(Catches(child.Pid(), SIGTERM) && Catches(child.Pid(), SIGINT), 10000);
    QTest::qWait(300);  // into the message loop
    child.Signal(sig);
    QVERIFY2(child.EndedCleanly(), qPrintable(child.Errors()));
  }

  void signalDuringAnImportCommitsEveryPostedRow_data() {
    test::AddRows<int>("sig", {{"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}, {"SIGHUP", SIGHUP}});
  }
  void signalDuringAnImportCommitsEveryPostedRow() {
    QFETCH(int, sig);
    constexpr int kStations = 20000;
    ScratchFolder folder;
    MakeSources(folder.Path(), kStations);

    {
      Child child(self_, folder.Path(), "import");
      QVERIFY(child.Started());
      QVERIFY2(child.WaitFor([](const QString& l) { return l == "posted 150"; }),
               qPrintable(child.Lines().join('\n')));
      child.Signal(sig);
      QVERIFY2(child.EndedCleanly(), qPrintable(child.Errors()));

      const int posted = child.LastPosted();
      QVERIFY(posted >= 150);
      QVERIFY2(posted < kStations, "the import ran on to its end");
      // Neither the closing message nor an error.
      QCOMPARE(child.LinesStartingWith("message "), QStringList());
      QCOMPARE(child.LinesStartingWith("error "), QStringList());

      QCOMPARE(CountStations(folder / "LOG.DAT"), static_cast<long long>(posted));
      QVERIFY(FirstStationsPresent(folder.Path(), posted));
    }
  }

  void signalWhileTheClosingMessageWaits() {
    constexpr int kStations = 25;
    ScratchFolder folder;
    MakeSources(folder.Path(), kStations);

    Child child(self_, folder.Path(), "box");
    QVERIFY(child.Started());
    QVERIFY2(child.WaitFor([](const QString& l) { return l.startsWith("box "); }),
             qPrintable(child.Lines().join('\n')));
    QCOMPARE(child.Lines().back(), QString::fromUtf8("box Zakończono przetwarzanie!"));
    child.Signal(SIGTERM);
    // The box, the dialog and the main window close; the rows are committed.
    QVERIFY2(child.EndedCleanly(), qPrintable(child.Errors()));
    QCOMPARE(child.LastPosted(), kStations);
    QCOMPARE(CountStations(folder / "LOG.DAT"), static_cast<long long>(kStations));
  }

  // The documentation's picture of a running import: the program stops the
  // import half-way by the same request a signal makes, and ends cleanly.
  void pictureOfARunningImportEndsTheProgramCleanly() {
    // Taken by the program's code in the documentation's own tool.
    const QString tool = QFileInfo(QStringLiteral("tolvo-screenshot")).absoluteFilePath();
    if (!QFileInfo(tool).isExecutable()) QSKIP("tolvo-screenshot is not built beside the tests");
    constexpr int kStations = 400;
    ScratchFolder folder;
    MakeSources(folder.Path(), kStations);
    const QString picture = QString::fromStdString((folder / "shot.png").string());
    qputenv("TOLVO_SCREENSHOT", "CzytajOKCallFrm.running");
    qputenv("TOLVO_SCREENSHOT_FILE", picture.toUtf8());
    Child child(tool, folder.Path(), {});
    qunsetenv("TOLVO_SCREENSHOT");
    qunsetenv("TOLVO_SCREENSHOT_FILE");
    QVERIFY(child.Started());
    QVERIFY2(child.EndedCleanly(), qPrintable(child.Errors()));
    QCOMPARE(QImage(picture).size(), QSize(536, 200));
    const long long committed = CountStations(folder / "LOG.DAT");
    QVERIFY2(committed >= kStations / 2 - 1 && committed < kStations,
             qPrintable(QString::number(committed)));
    QVERIFY(FirstStationsPresent(folder.Path(), static_cast<int>(committed)));
  }
};

int main(int argc, char** argv) {
  const QByteArray mode = qgetenv(kChildMode);
  if (!mode.isEmpty()) return RunDriver(argc, argv, mode);
  QApplication app(argc, argv);
  TestQuitSignals test;
  return QTest::qExec(&test, argc, argv);
}

#include "QuitSignalsTest.moc"
