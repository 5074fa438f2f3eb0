// The import window on real display servers: an import of N records draws
// the record number 1, 2, ... N, each in turn, and every one of those
// drawings reaches the server as an image of its own, with no wait for the
// server in between. On X11 (Xvfb, the xcb platform) the requests are read
// through xtrace, and what the server shows is compared with the dialog's
// own drawing; on Wayland (headless weston, the wayland platform) they are
// read from the client's protocol log (WAYLAND_DEBUG). Each platform runs in
// a child process of its own, as the toolkit takes one platform per process.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "ui/ImportDialog.h"
#include "import/ImportKinds.h"
#include "tests/display/ImportWindowProcess.h"
#include "tests/support/DisplayServer.h"
#include "tests/support/ScratchFolder.h"
#include "ui/DisplaySetup.h"
#include "ui/ErrorReport.h"
#include "ui/RecordNumberLabel.h"

namespace tolvo {
namespace {

namespace fs = std::filesystem;

constexpr int kRecords = 300;
constexpr const char* kImportStarts = "-- the import starts";
constexpr const char* kImportEnded = "-- the import has ended";

enum class Platform { X11, Wayland };

// What the client saw of its own drawing.
struct ClientReport {
  bool finished = false;             // the import ended with its closing message
  std::vector<std::string> changed;  // texts drawn for a change, in order
  int otherDraws = 0;                // drawings the window system asked for
  std::string window;                // X11: the number's window, "0x..."
  long differingPixels = -1;         // X11: server picture against the dialog's own
  long differingInMain = -1;         // X11: the same for the main window
  std::string problem;
};

bool WaitUntil(const std::function<bool()>& done, int ms) {
  QDeadlineTimer deadline(ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

// Pixels that differ between two pictures of the same size; -1 for sizes
// that differ.
long DifferingPixels(QImage a, QImage b) {
  a = a.convertToFormat(QImage::Format_RGB32);
  b = b.convertToFormat(QImage::Format_RGB32);
  if (a.size() != b.size()) return -1;
  long differing = 0;
  for (int y = 0; y < a.height(); ++y) {
    const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x)
      differing += qRed(pa[x]) != qRed(pb[x]) || qGreen(pa[x]) != qGreen(pb[x]) ||
                   qBlue(pa[x]) != qBlue(pb[x]);
  }
  return differing;
}

// The child's side: one import of kRecords records through the CB.DBF dialog
// (no work per record), on the platform the environment names.
ClientReport RunImportInThisProcess(Platform platform) {
  ClientReport report;
  ImportWindowProcess process(kRecords);

  MemoryHost host;
  std::vector<QString> messages;
  SetMessageHook([&messages](MessageKind, const QString& text) { messages.push_back(text); });
  ImportDialog dialog(ImportKindOf(ImportKindId::CB), host);
  dialog.SetRecordStep({});
  dialog.show();
  if (!WaitUntil([&] { return dialog.windowHandle() && dialog.windowHandle()->isExposed(); },
                 10000)) {
    report.problem = "the dialog was not shown";
    return report;
  }
  // The drawings of the first showing are over before counting starts.
  WaitUntil([] { return false; }, 300);
  report.otherDraws = 0;

  auto* number = qobject_cast<RecordNumberLabel*>(dialog.RecordNumberWidget());
  if (!number) {
    report.problem = "the record number is no RecordNumberLabel";
    return report;
  }
  const QMetaObject::Connection watch =
      QObject::connect(number, &RecordNumberLabel::Drawn, [&](const QString& text, bool changed) {
        if (!changed) {
          ++report.otherDraws;
          return;
        }
        report.changed.push_back(text.toStdString());
      });
  // Marks in what the server is sent, around the import: the window's
  // caption for a moment.
  auto mark = [&dialog](const char* text) {
    const QString caption = dialog.windowTitle();
    dialog.setWindowTitle(QString::fromLatin1(text));
    dialog.setWindowTitle(caption);
  };
  mark(kImportStarts);
  dialog.StartButton()->click();
  mark(kImportEnded);
  QObject::disconnect(watch);
  report.finished = messages.size() == 1 && messages[0] == QString::fromUtf8(kImportFinished);
  if (platform == Platform::X11) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%08llx",
                  static_cast<unsigned long long>(number->SurfaceWindow()->winId()));
    report.window = hex;
    // What the server shows, read back from it (a round trip, after which
    // every request has gone through the tracer), against the dialog's own
    // drawing of itself, with every digit on the surface.
    number->setText(QStringLiteral("1234567890"));
    WaitUntil([] { return false; }, 200);
    const QPixmap shown = dialog.screen()->grabWindow(dialog.winId());
    report.differingPixels = DifferingPixels(shown.toImage(), dialog.grab().toImage());
    // The other windows draw as before with images sent over the connection.
    dialog.hide();
    MainWindow main;
    main.show();
    if (WaitUntil([&] { return main.windowHandle() && main.windowHandle()->isExposed(); }, 10000)) {
      WaitUntil([] { return false; }, 200);
      report.differingInMain =
          DifferingPixels(main.screen()->grabWindow(main.winId()).toImage(), main.grab().toImage());
    }
  }
  return report;
}

std::string Serialise(const ClientReport& r) {
  std::ostringstream out;
  out << "finished " << r.finished << "\nother " << r.otherDraws << "\nwindow " << r.window
      << "\npixels " << r.differingPixels << "\nmain " << r.differingInMain << "\nproblem "
      << r.problem << "\n";
  for (const std::string& t : r.changed) out << "changed " << t << "\n";
  return out.str();
}

ClientReport Parse(const std::string& text) {
  ClientReport r;
  std::istringstream in(text);
  std::string key;
  while (in >> key) {
    std::string value;
    std::getline(in, value);
    if (!value.empty() && value[0] == ' ') value.erase(0, 1);
    if (key == "finished") r.finished = value == "1";
    else if (key == "other") r.otherDraws = std::stoi(value);
    else if (key == "window") r.window = value;
    else if (key == "pixels") r.differingPixels = std::stol(value);
    else if (key == "main") r.differingInMain = std::stol(value);
    else if (key == "problem") r.problem = value;
    else if (key == "changed") r.changed.push_back(value);
  }
  return r;
}

// Runs the import in a child process with `server`'s environment (and the
// Wayland protocol log in `protocolLog`, when given) and returns what it
// reported.
ClientReport RunImportInChild(Platform platform, const DisplayServer& server,
                              const fs::path& protocolLog) {
  std::string text;
  const bool ended = server.RunClient(
      [&] {
        if (!protocolLog.empty()) {
          setenv("WAYLAND_DEBUG", "client", 1);
          const int log = open(protocolLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
          if (log >= 0) dup2(log, STDERR_FILENO);
        }
        try {
          return Serialise(RunImportInThisProcess(platform));
        } catch (const std::exception& e) {
          return std::string("problem ") + e.what() + "\n";
        }
      },
      180, text);
  if (!ended) text += "problem the import did not end in time\n";
  return Parse(text);
}

// Every record's number was drawn for its change, 1 to N in order, and
// nothing else was drawn for a change while the import ran.
void ExpectEveryNumberInOrder(const ClientReport& r) {
  ASSERT_EQ(r.problem, "");
  EXPECT_TRUE(r.finished);
  std::vector<std::string> expected;
  for (int i = 1; i <= kRecords; ++i) expected.push_back(std::to_string(i));
  EXPECT_EQ(r.changed, expected);
}

std::vector<std::string> Lines(const fs::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Field(const std::string& line, const std::string& name) {
  const std::size_t at = line.find(" " + name + "=");
  if (at == std::string::npos) return {};
  const std::size_t from = at + name.size() + 2;
  return line.substr(from, line.find_first_of(" ,;", from) - from);
}

// What reached the X server for the number's window during the import:
// image requests (into the window, or into a pixmap that is copied onto
// it), and the replies that the client waited for.
struct XTraffic {
  int images = 0;
  int roundTrips = 0;
};

XTraffic ReadXTrace(const fs::path& log, const std::string& window) {
  const std::vector<std::string> lines = Lines(log);
  std::set<std::string> targets = {window};
  for (const std::string& l : lines)
    if (l.find("CopyArea") != std::string::npos && Field(l, "dst-drawable") == window)
      targets.insert(Field(l, "src-drawable"));
  XTraffic t;
  bool importing = false;
  for (const std::string& l : lines) {
    if (l.find(std::string("data='") + kImportStarts) != std::string::npos) importing = true;
    if (l.find(std::string("data='") + kImportEnded) != std::string::npos) importing = false;
    if (!importing) continue;
    if (l.find(":<:") != std::string::npos && l.find("PutImage") != std::string::npos &&
        targets.count(Field(l, "drawable")))
      ++t.images;
    t.roundTrips += l.find("Reply to") != std::string::npos;
  }
  return t;
}

// What the client's Wayland protocol log shows of the number's surface, a
// subsurface of the dialog's window (the top-level titled `caption`), made
// anew each time the number is shown after an empty text (the dialog has no
// other): the commits during the import that bring it a new buffer, and the
// frame events it had asked for and not yet received when it was destroyed.
struct WaylandTraffic {
  int commits = 0;
  int unansweredAtDestroy = 0;
};

WaylandTraffic ReadWaylandTraffic(const fs::path& log, const std::string& caption,
                                  std::string& problem) {
  const std::regex request(R"(-> (\w+)@(\d+)\.(\w+)\((.*)\)$)");
  const std::regex frameDone(R"(\] (wl_callback@\d+)\.done\()");
  const std::regex id(R"((\w+)@(\d+))");
  std::map<std::string, std::string> surfaceOfXdg, xdgOfToplevel, parentOfChild;
  std::string dialogSurface;
  std::vector<std::pair<std::string, std::string>> requests;  // surface, request
  bool importing = false;
  const std::string starts = std::string("set_title(\"") + kImportStarts;
  const std::string ended = std::string("set_title(\"") + kImportEnded;
  for (const std::string& line : Lines(log)) {
    if (line.find(starts) != std::string::npos) importing = true;
    if (line.find(ended) != std::string::npos) importing = false;
    std::smatch m;
    if (std::regex_search(line, m, frameDone)) requests.emplace_back(m[1], "done");
    if (!std::regex_search(line, m, request)) continue;
    const std::string object = m[1].str() + "@" + m[2].str();
    const std::string what = m[3];
    const std::string args = m[4];
    std::vector<std::string> ids;
    for (auto it = std::sregex_iterator(args.begin(), args.end(), id); it != std::sregex_iterator();
         ++it)
      ids.push_back((*it)[0]);
    if (what == "get_xdg_surface" && ids.size() == 2) surfaceOfXdg[ids[0]] = ids[1];
    else if (what == "get_toplevel" && ids.size() == 1) xdgOfToplevel[ids[0]] = object;
    else if (what == "set_title" && args == "\"" + caption + "\"")
      dialogSurface = surfaceOfXdg[xdgOfToplevel[object]];
    else if (what == "get_subsurface" && ids.size() == 3)
      requests.emplace_back(ids[1], "child-of " + ids[2]);
    else if (m[1] == "wl_surface" && what == "frame" && ids.size() == 1)
      requests.emplace_back(object, "frame " + ids[0]);
    else if (m[1] == "wl_surface" && (what == "attach" || what == "commit" || what == "destroy"))
      requests.emplace_back(object, what + (what == "commit" && !importing ? "-aside" : ""));
  }
  WaylandTraffic t;
  if (dialogSurface.empty()) {
    problem = "no window titled " + caption + " in the protocol log";
    return t;
  }
  std::string number;             // the dialog's subsurface of the moment
  std::set<std::string> awaited;  // its frame requests not answered yet
  bool attached = false;
  for (const auto& [object, what] : requests) {
    if (what == "child-of " + dialogSurface) {
      if (!number.empty()) {
        problem = "the dialog has two subsurfaces at a time";
        return t;
      }
      number = object;
      attached = false;
    } else if (what == "done") {
      awaited.erase(object);
    } else if (object == number) {
      if (what.rfind("frame ", 0) == 0) awaited.insert(what.substr(6));
      if (what == "destroy") {
        number.clear();
        t.unansweredAtDestroy += static_cast<int>(awaited.size());
        awaited.clear();
      }
      if (what == "attach") attached = true;
      if (what == "commit-aside") attached = false;
      if (what == "commit" && attached) {
        ++t.commits;
        attached = false;
      }
    }
  }
  return t;
}

TEST(RecordPaint, EveryNumberReachesTheXServer) {
  std::string problem;
  const std::unique_ptr<DisplayServer> x = DisplayServer::StartX(problem);
  if (!x) GTEST_SKIP() << problem;
  ScratchFolder logs;
  const fs::path log = logs / "xtrace.log";
  const std::unique_ptr<DisplayServer> trace = DisplayServer::StartXtrace(x->Name(), log, problem);
  if (!trace) GTEST_SKIP() << problem;

  const ClientReport r = RunImportInChild(Platform::X11, *trace, {});
  ExpectEveryNumberInOrder(r);
  // The number is drawn on its own surface, and what the server shows is
  // what the dialog draws of itself; so for the main window.
  EXPECT_EQ(r.differingPixels, 0);
  EXPECT_EQ(r.differingInMain, 0);

  const XTraffic t = ReadXTrace(log, r.window);
  // An image for every record, besides any drawing that the window system
  // asked for; no wait for the server per record (a few when the number
  // first shows and when it grows by a digit).
  EXPECT_GE(t.images, kRecords + r.otherDraws) << "window " << r.window;
  EXPECT_LE(t.roundTrips, kRecords / 100 + 8);
}

TEST(RecordPaint, EveryNumberReachesTheWaylandCompositor) {
  std::string problem;
  const std::unique_ptr<DisplayServer> compositor = DisplayServer::StartWayland(problem);
  if (!compositor) GTEST_SKIP() << problem;
  ScratchFolder logs;
  const fs::path log = logs / "wayland.log";

  const ClientReport r = RunImportInChild(Platform::Wayland, *compositor, log);
  ExpectEveryNumberInOrder(r);

  const WaylandTraffic t = ReadWaylandTraffic(log, ImportKindOf(ImportKindId::CB).caption, problem);
  ASSERT_EQ(problem, "");
  EXPECT_GE(t.commits, kRecords + r.otherDraws);
  // The number's surface goes when the import ends and the number is
  // cleared; a frame event still due then is one that the toolkit can free
  // twice, aborting the program.
  EXPECT_EQ(t.unansweredAtDestroy, 0);
}

}  // namespace
}  // namespace tolvo
