// The default error report and the program's plain message box.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <stdexcept>
#include <vector>

#include "ui/ErrorReport.h"

using namespace tolvo;

class TestErrorReport : public QObject {
  Q_OBJECT

 private slots:
  void reportText_data() {
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << QByteArray("Calls: Field 'ZIP' not found")
                            << QString("Calls: Field 'ZIP' not found.");
    QTest::newRow("full stop") << QByteArray("Done.") << QString("Done.");
    QTest::newRow("quote, below") << QByteArray("file 'X'") << QString("file 'X'");
    QTest::newRow("hyphen, just below") << QByteArray("a -") << QString("a -");
    QTest::newRow("slash, just above") << QByteArray("a /") << QString("a /.");
    QTest::newRow("UTF-8") << QByteArray("Błąd: ą") << QString::fromUtf8("Błąd: ą.");
    QTest::newRow("Windows-1250") << QByteArray(
                                         "B\xB3\xB9"
                                         "d")
                                  << QString::fromUtf8("Błąd.");
    QTest::newRow("empty") << QByteArray() << UnknownErrorText();
  }
  void reportText() {
    QFETCH(QByteArray, message);
    QFETCH(QString, shown);
    QCOMPARE(ErrorReportText(std::string_view(message.constData(), message.size())), shown);
  }

  void guardReportsAndStopsTheHandler() {
    std::vector<std::pair<MessageKind, QString>> seen;
    MessageHook previous =
        SetMessageHook([&](MessageKind k, const QString& t) { seen.emplace_back(k, t); });
    bool after = false;
    Guarded([&] {
      throw std::runtime_error("Calls: Field 'Znak' not found");
      after = true;
    });
    Guarded([] { throw 42; });
    Guarded([] {});
    QVERIFY(!after);
    QCOMPARE(seen.size(), std::size_t(2));
    QCOMPARE(seen[0].first, MessageKind::Error);
    QCOMPARE(seen[0].second, QString("Calls: Field 'Znak' not found."));
    QCOMPARE(seen[1].second, UnknownErrorText());

    // A report that itself fails must still not escape the guard.
    SetMessageHook([](MessageKind, const QString&) { throw std::runtime_error("hook"); });
    Guarded([] { throw std::runtime_error("first"); });
    SetMessageHook(previous);
  }

  void boxes() {
    struct Seen {
      QString title, text;
      QMessageBox::Icon icon = QMessageBox::NoIcon;
      bool okOnly = false;
    };
    std::vector<Seen> seen;
    auto inspectNext = [&seen] {
      QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.push_back({box->windowTitle(), box->text(), box->icon(),
                        box->standardButtons() == QMessageBox::Ok});
        box->button(QMessageBox::Ok)->click();
      });
    };
    inspectNext();
    Guarded([] { throw std::runtime_error("Nie ma pliku"); });
    inspectNext();
    ShowMessage(QString::fromUtf8("Zakończono przetwarzanie!"));

    QCOMPARE(seen.size(), std::size_t(2));
    QCOMPARE(seen[0].title, QString("TolvoIMP"));
    QCOMPARE(seen[0].text, QString("Nie ma pliku."));
    QCOMPARE(seen[0].icon, QMessageBox::Critical);
    QCOMPARE(seen[1].title, QString("TolvoIMP"));
    QCOMPARE(seen[1].text, QString::fromUtf8("Zakończono przetwarzanie!"));
    QCOMPARE(seen[1].icon, QMessageBox::NoIcon);
    QVERIFY(seen[0].okOnly && seen[1].okOnly);
  }
};

QTEST_MAIN(TestErrorReport)
#include "ErrorReportTest.moc"
