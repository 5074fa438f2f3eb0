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

#include "app/MainWindow.h"
#include "app/ProgramWindows.h"
#include "tests/support/DataRows.h"
#include "ui/ErrorReport.h"

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

  std::unique_ptr<ProgramWindows> windows_;
  MainWindow* dm_ = nullptr;

 private slots:
  void init() {
    windows_ = std::make_unique<ProgramWindows>();
    dm_ = &windows_->Main();
  }

  void cleanup() {
    dm_ = nullptr;
    windows_.reset();
  }

  void windowLook() {
    QCOMPARE(dm_->objectName(), QString("DM"));
    QCOMPARE(dm_->windowTitle(), QString("TolvoIMP"));
    QCOMPARE(dm_->size(), QSize(616, 272));
    QVERIFY(dm_->minimumSize() != dm_->maximumSize());  // resizable
    QCOMPARE(dm_->DescriptionPanel()->geometry(), QRect(9, 4, 477, 211));
    QCOMPARE(dm_->DescriptionLabel()->geometry(), QRect(8, 8, 457, 156));
    QCOMPARE(dm_->CloseButton()->geometry(), QRect(494, 5, 96, 25));
    QCOMPARE(dm_->CloseButton()->text(), QString("&Zamknij"));
    QCOMPARE(dm_->DescriptionLabel()->text(), QString::fromUtf8(kDescription));
    // Every line fits, whatever font the system offers.
    QVERIFY(dm_->DescriptionLabel()->sizeHint().width() <= dm_->DescriptionLabel()->width());
    // The controls keep the names they have always had.
    QCOMPARE(dm_->DescriptionPanel()->objectName(), QString("Panel1"));
    QCOMPARE(dm_->DescriptionLabel()->objectName(), QString("Label4"));
    QCOMPARE(dm_->CloseButton()->objectName(), QString("CloseBtn"));
    QCOMPARE(dm_->SystemMenu()->objectName(), QString("System1"));
    // The title names the database only when it is not the folder's LOG.DAT.
    dm_->UseConnection("serwer:/dane/LOG.DAT");
    QCOMPARE(dm_->windowTitle(), QString::fromUtf8("TolvoIMP – serwer:/dane/LOG.DAT"));
  }

  void menuSystemItemsInOrder() {
    QCOMPARE(dm_->menuBar()->actions().size(), 1);
    QCOMPARE(dm_->menuBar()->actions()[0]->text(), QString("System"));
    QStringList captions, names;
    for (QAction* item : dm_->SystemMenu()->actions()) names << item->objectName();
    QCOMPARE(names, QStringList({"WczytajPolskaCBDBF1", "Wczytaj11", "Wczytaj21",
                                 "WczytajCzechyOKCALLDBF1", "WczytajKanadaAMATEUTRPT1", "N1",
                                 "Zamknij1"}));
    for (QAction* item : dm_->SystemMenu()->actions())
      captions << (item->isSeparator() ? QString("-") : item->text());
    QCOMPARE(captions,
             QStringList({"Wczytaj (Polska - CB.DBF)", "Wczytaj (Polska - LOG_C_SP.DBF)",
                          "Wczytaj (Czechy - LOG_C_OK.DBF)", "Wczytaj (Czechy - OKCALL.DBF)",
                          "Wczytaj (Kanada - AMATEUR.RPT)", "-", "&Zamknij"}));
  }

  void eachItemOpensItsOwnDialogModally() {
    const QList<QAction*> items = dm_->SystemMenu()->actions();
    const QStringList dialogs = {"CzytajCBFrm", "CzytajLogCSPFrm", "CzytajLogCOKFrm",
                                 "CzytajOKCallFrm", "CzytajAmateurCAFrm"};
    dm_->show();
    for (int i = 0; i < dialogs.size(); ++i) {
      // Twice each: the same window object both times, modal, then hidden.
      for (int showing = 0; showing < 2; ++showing) {
        QDialog* seen = nullptr;
        QTimer::singleShot(0, [&] {
          seen = qobject_cast<QDialog*>(QApplication::activeModalWidget());
          if (seen) seen->findChild<QPushButton*>("CloseBtn")->click();
        });
        items[i]->trigger();  // returns once the dialog is closed
        QVERIFY(seen);
        QCOMPARE(seen->objectName(), dialogs[i]);
        QVERIFY(!seen->isVisible());
      }
    }
  }

  void closeButtonAndMenuItemEndTheProgram_data() {
    test::AddRows<bool>("viaMenu", {{"button", false}, {"menu", true}});
  }
  void closeButtonAndMenuItemEndTheProgram() {
    QFETCH(bool, viaMenu);
    std::vector<QString> errors;
    MessageHook previous =
        SetMessageHook([&](MessageKind, const QString& t) { errors.push_back(t); });
    dm_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dm_));
    // The program's own message loop must come to its end.
    QApplication::setQuitOnLastWindowClosed(true);
    QTimer::singleShot(0, [&] {
      if (viaMenu) {
        dm_->CloseAction()->trigger();
      } else {
        dm_->CloseButton()->click();
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
#include "MainWindowTest.moc"
