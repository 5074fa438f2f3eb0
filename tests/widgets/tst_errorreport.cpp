// The default error report and the program's plain message box.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <stdexcept>
#include <string>
#include <vector>

#include "app/ErrorReport.h"

using namespace tolvo;

namespace {

struct Recorded {
  MessageKind kind;
  QString text;
};

// Records messages for its lifetime instead of showing boxes.
class Recorder {
 public:
  Recorder() {
    previous_ = SetMessageHook([this](MessageKind k, const QString& t) { messages.push_back({k, t}); });
  }
  ~Recorder() { SetMessageHook(previous_); }
  std::vector<Recorded> messages;

 private:
  MessageHook previous_;
};

struct BoxSeen {
  bool seen = false;
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  bool okOnly = false;
};

// Reads and closes the message box that is about to be shown.
void InspectNextBox(BoxSeen& seen) {
  QTimer::singleShot(0, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    seen.seen = true;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.buttons = static_cast<int>(box->buttons().size());
    seen.okOnly = box->standardButtons() == QMessageBox::Ok;
    box->button(QMessageBox::Ok)->click();
  });
}

}  // namespace

class TestErrorReport : public QObject {
  Q_OBJECT

 private slots:
  void fullStopFollowsTheLastCharacter_data() {
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << QByteArray("Calls: Field 'ZIP' not found")
                            << QString("Calls: Field 'ZIP' not found.");
    QTest::newRow("full stop kept") << QByteArray("Done.") << QString("Done.");
    QTest::newRow("exclamation") << QByteArray("Stop!") << QString("Stop!");
    QTest::newRow("quote") << QByteArray("file 'X'") << QString("file 'X'");
    QTest::newRow("hyphen, just below") << QByteArray("a -") << QString("a -");
    QTest::newRow("slash, just above") << QByteArray("a /") << QString("a /.");
    QTest::newRow("digit") << QByteArray("code 335544344") << QString("code 335544344.");
    QTest::newRow("trailing line feed") << QByteArray("line\n") << QString("line\n");
    QTest::newRow("Polish letter") << QByteArray("Błąd zapisu: ą")
                                   << QString::fromUtf8("Błąd zapisu: ą.");
  }
  void fullStopFollowsTheLastCharacter() {
    QFETCH(QByteArray, message);
    QFETCH(QString, shown);
    QCOMPARE(ErrorReportText(std::string_view(message.constData(), message.size())), shown);
  }

  void serverTextInWindows1250IsDecoded() {
    // "Błąd" in Windows-1250: 0xB3 and 0xB9 are not valid UTF-8 here.
    const std::string text = "B\xB3\xB9" "d";
    QCOMPARE(ErrorReportText(text), QString::fromUtf8("Błąd."));
  }

  void emptyMessageGetsTheGenericText() {
    QCOMPARE(ErrorReportText(""), UnknownErrorText());
    QVERIFY(!UnknownErrorText().isEmpty());
  }

  void guardReportsAndStopsTheHandler() {
    Recorder rec;
    bool after = false;
    Guarded([&] {
      throw std::runtime_error("Calls: Field 'Znak' not found");
      after = true;
    });
    QVERIFY(!after);
    QCOMPARE(rec.messages.size(), std::size_t(1));
    QCOMPARE(rec.messages[0].kind, MessageKind::Error);
    QCOMPARE(rec.messages[0].text, QString("Calls: Field 'Znak' not found."));

    Guarded([] { throw 42; });
    QCOMPARE(rec.messages.size(), std::size_t(2));
    QCOMPARE(rec.messages[1].text, UnknownErrorText());

    Guarded([] {});
    QCOMPARE(rec.messages.size(), std::size_t(2));
  }

  void aThrowingHookDoesNotEscapeTheGuard() {
    MessageHook previous = SetMessageHook([](MessageKind, const QString&) {
      throw std::runtime_error("hook");
    });
    Guarded([] { throw std::runtime_error("first"); });  // must simply return
    SetMessageHook(previous);
  }

  void errorBoxHasIconOkAndTitle() {
    BoxSeen seen;
    InspectNextBox(seen);
    Guarded([] { throw std::runtime_error("Nie ma pliku"); });
    QVERIFY(seen.seen);
    QCOMPARE(seen.title, QString("TolvoIMP"));
    QCOMPARE(seen.text, QString("Nie ma pliku."));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QVERIFY(seen.okOnly);
  }

  void plainBoxHasNoIcon() {
    BoxSeen seen;
    InspectNextBox(seen);
    ShowMessage(QString::fromUtf8("Zakończono przetwarzanie!"));
    QVERIFY(seen.seen);
    QCOMPARE(seen.title, QString("TolvoIMP"));
    QCOMPARE(seen.text, QString::fromUtf8("Zakończono przetwarzanie!"));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QVERIFY(seen.okOnly);
    QCOMPARE(seen.buttons, 1);
  }
};

QTEST_MAIN(TestErrorReport)
#include "tst_errorreport.moc"
