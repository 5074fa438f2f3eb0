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

#include "app/FMostrak.h"
#include "import/CzytajAmateurCAFrm.h"
#include "import/CzytajCBFrm.h"
#include "import/CzytajLogCOKFrm.h"
#include "import/CzytajLogCSPFrm.h"
#include "import/CzytajOKCallFrm.h"
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
    QCOMPARE(dm_->Panel1->geometry(), QRect(9, 4, 477, 211));
    QCOMPARE(dm_->Label4->geometry(), QRect(8, 8, 457, 156));
    QCOMPARE(dm_->CloseBtn->geometry(), QRect(494, 5, 96, 25));
    QCOMPARE(dm_->CloseBtn->text(), QString("&Zamknij"));
    QCOMPARE(dm_->Label4->text(), QString::fromUtf8(kDescription));
    // Every line fits, whatever font the system offers.
    QVERIFY(dm_->Label4->sizeHint().width() <= dm_->Label4->width());
  }

  void menuSystemItemsInOrder() {
    QCOMPARE(dm_->menuBar()->actions().size(), 1);
    QCOMPARE(dm_->menuBar()->actions()[0]->text(), QString("System"));
    QStringList captions;
    for (QAction* item : dm_->System1->actions())
      captions << (item->isSeparator() ? QString("-") : item->text());
    QCOMPARE(captions, QStringList({"Wczytaj (Polska - CB.DBF)", "Wczytaj (Polska - LOG_C_SP.DBF)",
                                    "Wczytaj (Czechy - LOG_C_OK.DBF)",
                                    "Wczytaj (Czechy - OKCALL.DBF)",
                                    "Wczytaj (Kanada - AMATEUR.RPT)", "-", "&Zamknij"}));
  }

  void eachItemOpensItsOwnDialogModally() {
    const QList<QAction*> items = dm_->System1->actions();
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
