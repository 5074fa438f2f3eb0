// The main window: its look, its menu, the dialogs it opens, its closing.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "app/ErrorReport.h"
#include "app/FMostrak.h"
#include "import/CzytajAmateurCAFrm.h"
#include "import/CzytajCBFrm.h"
#include "import/CzytajLogCOKFrm.h"
#include "import/CzytajLogCSPFrm.h"
#include "import/CzytajOKCallFrm.h"

using namespace tolvo;

namespace {

const char* const kDescription =
    "Program służy do importu danych o stacjach krótkofalarskich do callbook'a programu Tolvo.\n"
    "Dane z odpowiedniego pliku są podczytywane bezpośrednio do bazy programu (pliku Log.dat), \n"
    "a następnie są wykorzystywane przy wprowadzaniu pozycji o wykonanych łącznościach.\n"
    "Pliki z danymi są powszechnie dostępne w internecie i można je pobrać z odpowiedniej strony.\n"
    "Adres strony jest podany po wyborze wczytania określonego pliku.\n"
    "\n"
    "Po pobraniu pliku z danymi należy go wgrać do folderu, z którego uruchomiono ten program. \n"
    "W folderze tym musi również znajdować się plik bazy danych programu Tolvo. Jest to plik\n"
    "o nazwie Log.dat. \n"
    "\n"
    "Jeżeli plik Log.dat będzie z wersji 1.0 programu Tolvo to zostanie on automatycznie przetworzony\n"
    "do wersji 2.0 - poprzez dodanie tabeli callbook'a i wczytanie danych.";

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT

  std::unique_ptr<TDM> dm_;
  std::unique_ptr<TCzytajOKCallFrm> okCall_;
  std::unique_ptr<TCzytajLogCSPFrm> logCSP_;
  std::unique_ptr<TCzytajLogCOKFrm> logCOK_;
  std::unique_ptr<TCzytajAmateurCAFrm> amateur_;
  std::unique_ptr<TCzytajCBFrm> cb_;

 private slots:
  void init() {
    dm_ = std::make_unique<TDM>();
    DM = dm_.get();
    okCall_ = std::make_unique<TCzytajOKCallFrm>(DM);
    CzytajOKCallFrm = okCall_.get();
    logCSP_ = std::make_unique<TCzytajLogCSPFrm>(DM);
    CzytajLogCSPFrm = logCSP_.get();
    logCOK_ = std::make_unique<TCzytajLogCOKFrm>(DM);
    CzytajLogCOKFrm = logCOK_.get();
    amateur_ = std::make_unique<TCzytajAmateurCAFrm>(DM);
    CzytajAmateurCAFrm = amateur_.get();
    cb_ = std::make_unique<TCzytajCBFrm>(DM);
    CzytajCBFrm = cb_.get();
  }

  void cleanup() {
    CzytajCBFrm = nullptr;
    cb_.reset();
    CzytajAmateurCAFrm = nullptr;
    amateur_.reset();
    CzytajLogCOKFrm = nullptr;
    logCOK_.reset();
    CzytajLogCSPFrm = nullptr;
    logCSP_.reset();
    CzytajOKCallFrm = nullptr;
    okCall_.reset();
    dm_.reset();
    QVERIFY(DM == nullptr);
  }

  void windowLook() {
    QCOMPARE(dm_->windowTitle(), QString("TolvoIMP"));
    QCOMPARE(dm_->size(), QSize(616, 272));
    QVERIFY(dm_->minimumSize() != dm_->maximumSize());  // resizable
    QVERIFY(!dm_->isVisible());

    QCOMPARE(dm_->Panel1->objectName(), QString("Panel1"));
    QCOMPARE(dm_->Panel1->geometry(), QRect(9, 4, 477, 211));
    QCOMPARE(dm_->Panel1->frameShadow(), QFrame::Sunken);
    QCOMPARE(dm_->Label4->parentWidget(), static_cast<QWidget*>(dm_->Panel1));
    QCOMPARE(dm_->Label4->geometry(), QRect(8, 8, 457, 156));
    QCOMPARE(dm_->CloseBtn->geometry(), QRect(494, 5, 96, 25));
    QCOMPARE(dm_->CloseBtn->text(), QString("&Zamknij"));
    QCOMPARE(dm_->font().pixelSize(), 11);
    // Every line fits, whatever font the system offers.
    QVERIFY(dm_->Label4->sizeHint().width() <= dm_->Label4->width());
  }

  void descriptionByteForByte() {
    const QString text = dm_->Label4->text();
    QCOMPARE(text, QString::fromUtf8(kDescription));
    const QStringList lines = text.split('\n');
    QCOMPARE(lines.size(), 12);
    for (int i : {1, 6, 8}) QVERIFY2(lines[i].endsWith(' '), qPrintable(lines[i]));
    QVERIFY(lines[5].isEmpty() && lines[9].isEmpty());
  }

  void menuSystemItemsInOrder() {
    QCOMPARE(dm_->menuBar()->actions().size(), 1);
    QCOMPARE(dm_->menuBar()->actions()[0]->text(), QString("System"));
    QCOMPARE(dm_->System1->objectName(), QString("System1"));

    const QList<QAction*> items = dm_->System1->actions();
    const QStringList captions = {"Wczytaj (Polska - CB.DBF)",
                                  "Wczytaj (Polska - LOG_C_SP.DBF)",
                                  "Wczytaj (Czechy - LOG_C_OK.DBF)",
                                  "Wczytaj (Czechy - OKCALL.DBF)",
                                  "Wczytaj (Kanada - AMATEUR.RPT)",
                                  "",
                                  "&Zamknij"};
    const QStringList names = {"WczytajPolskaCBDBF1", "Wczytaj11", "Wczytaj21",
                               "WczytajCzechyOKCALLDBF1", "WczytajKanadaAMATEUTRPT1", "N1",
                               "Zamknij1"};
    QCOMPARE(items.size(), captions.size());
    for (int i = 0; i < items.size(); ++i) {
      QCOMPARE(items[i]->text(), captions[i]);
      QCOMPARE(items[i]->objectName(), names[i]);
      QCOMPARE(items[i]->isSeparator(), i == 5);
    }
  }

  void eachItemOpensItsOwnDialogModally_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("caption");
    QTest::newRow("CB") << "WczytajPolskaCBDBF1" << "CzytajCBFrm"
                        << "Import z pliku CB.DBF (Polska)";
    QTest::newRow("LOG_C_SP") << "Wczytaj11" << "CzytajLogCSPFrm"
                              << "Import z pliku LOG_C_SP.DBF (Polska)";
    QTest::newRow("LOG_C_OK") << "Wczytaj21" << "CzytajLogCOKFrm"
                              << "Import z pliku LOG_C_OK.DBF (Czechy)";
    QTest::newRow("OKCALL") << "WczytajCzechyOKCALLDBF1" << "CzytajOKCallFrm"
                            << "Import z pliku OKCALL.DBF (Czechy)";
    QTest::newRow("AMATEUR") << "WczytajKanadaAMATEUTRPT1" << "CzytajAmateurCAFrm"
                             << "Import z pliku AMATEUR.RPT (Kanada)";
  }
  void eachItemOpensItsOwnDialogModally() {
    QFETCH(QString, item);
    QFETCH(QString, dialog);
    QFETCH(QString, caption);
    dm_->show();
    auto* action = dm_->findChild<QAction*>(item);
    QVERIFY(action);

    // Two showings of the same dialog: the same window object both times.
    for (int showing = 0; showing < 2; ++showing) {
      QString seenName, seenCaption;
      QDialog* seen = nullptr;
      QTimer::singleShot(0, [&] {
        seen = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!seen) return;
        seenName = seen->objectName();
        seenCaption = seen->windowTitle();
        seen->findChild<QPushButton*>("CloseBtn")->click();
      });
      action->trigger();  // returns once the dialog is closed
      QVERIFY(seen);
      QCOMPARE(seenName, dialog);
      QCOMPARE(seenCaption, caption);
      QVERIFY(!seen->isVisible());
    }
  }

  void closeButtonAndMenuItemEndTheProgram_data() {
    QTest::addColumn<bool>("viaMenu");
    QTest::newRow("button") << false;
    QTest::newRow("menu") << true;
  }
  void closeButtonAndMenuItemEndTheProgram() {
    QFETCH(bool, viaMenu);
    std::vector<QString> errors;
    MessageHook previous =
        SetMessageHook([&](MessageKind, const QString& t) { errors.push_back(t); });
    dm_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dm_.get()));
    // The program's own message loop must come to its end.
    QApplication::setQuitOnLastWindowClosed(true);
    QTimer::singleShot(0, [&] {
      if (viaMenu) {
        dm_->Zamknij1->trigger();
      } else {
        dm_->CloseBtn->click();
      }
    });
    QTimer stuck;  // ends the loop with a failure should the window stay
    stuck.setSingleShot(true);
    connect(&stuck, &QTimer::timeout, [] { QApplication::exit(1); });
    stuck.start(5000);
    const int result = QApplication::exec();
    SetMessageHook(previous);
    QCOMPARE(result, 0);
    QVERIFY(!dm_->isVisible());
    // Never connected: there is nothing to commit and nothing to report.
    QVERIFY(errors.empty());
  }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
