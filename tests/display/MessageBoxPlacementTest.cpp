// The program's message boxes on a real X server (Xvfb): each one, however
// long its text and however that text wraps, stands in the middle of the
// screen as the server has it once the box is laid out, with its text shown
// whole. Another window of the program is active at the top left meanwhile,
// as an import dialog that the user has moved is.
#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "import/ImportKinds.h"
#include "tests/support/DisplayServer.h"
#include "ui/ErrorReport.h"

namespace tolvo {
namespace {

struct Box {
  const char* name;
  MessageKind kind;
  std::string text;
};

const Box kBoxes[] = {
    {"one line", MessageKind::Plain, kImportFinished},
    {"cause line", MessageKind::Plain,
     std::string(kCannotOpenCallbook) +
         "\nPlik \"/home/operator/Tolvo/LOG.DAT\" nie jest bazą danych Firebird ani InterBase. "
         "Przywróć LOG.DAT z kopii zapasowej albo uruchom program w folderze Tolvo."},
    {"long database error", MessageKind::Error,
     "violation of PRIMARY or UNIQUE KEY constraint \"INTEG_12\" on table \"STACJE\"\n"
     "Problematic key value is (\"STACJA\" = 'SP5ABCDEFGH')\n"
     "I/O error during \"write\" operation for file "
     "\"/home/operator/Dokumenty/Krotkofalarstwo/Tolvo/bazy/2024/LOG.DAT\"\n"
     "Error while trying to write to file\nNo space left on device"},
    {"reader's message", MessageKind::Error, "Calls: Field 'ZIP' not found"},
};

// What one box looked like once it was up.
struct Reading {
  int dx = 0, dy = 0;  // twice the box's centre less the screen's size, so whole pixels
  bool whole = false;  // the text fits in its label, the label in the box
};

// Where the server shows `window`: its outermost window (the frame, where a
// window manager has put one round it) in root coordinates.
QRect OnServer(xcb_connection_t* x, xcb_window_t window) {
  xcb_window_t top = window, root = XCB_NONE;
  for (;;) {
    std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(x, xcb_query_tree(x, top), nullptr), &std::free);
    if (!tree) return {};
    root = tree->root;
    if (tree->parent == root || tree->parent == XCB_NONE) break;
    top = tree->parent;
  }
  std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> size(
      xcb_get_geometry_reply(x, xcb_get_geometry(x, top), nullptr), &std::free);
  std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> at(
      xcb_translate_coordinates_reply(x, xcb_translate_coordinates(x, top, root, 0, 0), nullptr),
      &std::free);
  if (!size || !at) return {};
  const int border = size->border_width;
  return QRect(at->dst_x - border, at->dst_y - border, size->width + 2 * border,
               size->height + 2 * border);
}

Reading Read(xcb_connection_t* x, QMessageBox& box) {
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
  const QRect shown = OnServer(x, static_cast<xcb_window_t>(box.winId()));
  Reading r;
  r.dx = 2 * shown.x() + shown.width() - screen->width_in_pixels;
  r.dy = 2 * shown.y() + shown.height() - screen->height_in_pixels;
  const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  if (label) {
    const QSize needed = label->wordWrap() ? QSize(label->minimumSizeHint().width(),
                                                   label->heightForWidth(label->width()))
                                           : label->sizeHint();
    r.whole = shown.isValid() && needed.width() <= label->width() &&
              needed.height() <= label->height() && box.rect().contains(label->geometry());
  }
  return r;
}

// The child's side: every box of the table shown as the program shows it,
// read from the server once it is up, and closed.
std::string PlaceBoxesInThisProcess() {
  static int argc = 1;
  static char name[] = "MessageBoxPlacementTest";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  xcb_connection_t* x = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(x)) return "problem no connection to the X server\n";

  QWidget other;
  other.setGeometry(0, 0, 320, 200);
  other.show();
  other.activateWindow();

  std::ostringstream out;
  for (const Box& row : kBoxes) {
    Reading reading;
    bool read = false;
    QElapsedTimer sinceExposed;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->windowHandle() || !box->windowHandle()->isExposed()) return;
      // Whatever the box or the window system still does to it is done.
      if (!sinceExposed.isValid()) sinceExposed.start();
      if (sinceExposed.elapsed() < 300) return;
      reading = Read(x, *box);
      read = true;
      box->button(QMessageBox::Ok)->click();
    });
    QTimer::singleShot(10000, [] {
      if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    poll.start(20);
    if (row.kind == MessageKind::Plain) {
      ShowMessage(QString::fromStdString(row.text));
    } else {
      ShowErrorReport(row.text);
    }
    poll.stop();
    if (!read) return std::string("problem the box \"") + row.name + "\" was not shown\n";
    out << reading.dx << ' ' << reading.dy << ' ' << reading.whole << '\n';
  }
  xcb_disconnect(x);
  return out.str();
}

TEST(MessageBoxPlacement, EveryBoxInTheMiddleOfTheScreenWithItsTextWhole) {
  std::string problem;
  const std::unique_ptr<DisplayServer> server = DisplayServer::StartX(problem);
  if (!server) GTEST_SKIP() << problem;
  std::string text;
  ASSERT_TRUE(server->RunClient(PlaceBoxesInThisProcess, 60, text)) << "the boxes did not close";
  ASSERT_EQ(text.rfind("problem", 0), std::string::npos) << text;

  std::istringstream in(text);
  for (const Box& row : kBoxes) {
    SCOPED_TRACE(row.name);
    Reading r;
    ASSERT_TRUE(in >> r.dx >> r.dy >> r.whole);
    // Within a pixel (the offsets are doubled).
    EXPECT_LE(std::abs(r.dx), 2) << "off by " << r.dx / 2.0 << " across";
    EXPECT_LE(std::abs(r.dy), 2) << "off by " << r.dy / 2.0 << " down";
    EXPECT_TRUE(r.whole);
  }
}

}  // namespace
}  // namespace tolvo
