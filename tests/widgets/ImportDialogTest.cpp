// The import dialogs: their layout, and whole imports on real files in a
// scratch working folder (a Tolvo 1.0 database and a source table).
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/ProgramWindows.h"
#include "import/AmateurImport.h"
#include "ui/ImportDialog.h"
#include "import/OkCallImport.h"
#include "store/Callbook.h"
#include "tests/support/DataRows.h"
#include "tests/support/ScratchFolder.h"
#include "tools/writers/DbfWriter.h"
#include "tools/writers/Tolvo10Database.h"
#include "ui/ErrorReport.h"
#include "ui/RecordNumberLabel.h"

using namespace tolvo;

namespace {

// What the dialog showed at one moment.
struct Snapshot {
  QString current;  // LogBookAktLbl
  QString total;    // LogbookAllLbl
  int bar = -1;
  int barMax = -1;
  bool startEnabled = true;
  bool visible = false;
};

Snapshot Take(const ImportDialog& d) {
  Snapshot s;
  s.current = d.RecordNumberText();
  s.total = d.TotalText();
  if (d.ProgressBar()) {
    s.bar = d.ProgressBar()->value();
    s.barMax = d.ProgressBar()->maximum();
  }
  s.startEnabled = d.StartButton()->isEnabled();
  s.visible = d.isVisible();
  return s;
}

struct Message {
  MessageKind kind;
  QString text;
  Snapshot shown;  // the dialog at the time of the message
};

const std::vector<DbfFieldSpec> kOkCallFields = DbfFieldsOf(ImportKindId::OKCall);

const std::vector<std::vector<std::string>> kThreeStations = {
    {"OK1AAA", "Jan", "Novak", "Hlavni 1", "Praha", "110 00"},
    {"OK1BBB", "Petr", "Svoboda", "Dlouha 2", "Brno", "602 00"},
    {"OK1CCC", "Eva", "Dvorakova", "Kratka 3", "Ostrava", "702 00"}};

// One station line of the Canadian report, its columns where they belong.
std::string ReportLine(const std::string& call, const std::string& first,
                       const std::string& surname) {
  std::string line(199, ' ');
  line.replace(0, call.size(), call);
  line.replace(7, first.size(), first);
  line.replace(43, surname.size(), surname);
  line.replace(79, 8, "1 Main S");
  line.replace(150, 7, "Ottawa ");
  line.replace(186, 2, "ON");
  line.replace(189, 7, "K1A 0B1");
  return line;
}

void WriteText(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  std::ofstream out(file, std::ios::binary);
  for (const std::string& l : lines) out << l << "\r\n";
}

}  // namespace

class TestImportDialog : public QObject {
  Q_OBJECT

  std::unique_ptr<ScratchFolder> folder_;
  std::unique_ptr<ProgramWindows> windows_;
  ImportDialog* okCall_ = nullptr;
  ImportDialog* amateur_ = nullptr;
  MessageHook previousHook_;
  std::vector<Message> messages_;
  std::vector<Snapshot> steps_;
  int appends_ = 0;  // rows the steps planned to insert
  RecordPlan Counted(RecordPlan plan) {
    appends_ += plan.outcome == RecordOutcome::Added;
    return plan;
  }
  // Runs in every record's step, before the real one, with the step's index.
  std::function<void(int)> duringStep_;

  ICallbook& Book() { return windows_->Main().OpenedCallbook(); }
  tolvo::Callbook& Store() { return dynamic_cast<tolvo::Callbook&>(Book()); }

  void MakeDatabase() { CreateTolvo10Database(*folder_ / "LOG.DAT"); }

  void MakeOkCall(const std::vector<std::vector<std::string>>& rows,
                  const std::vector<DbfFieldSpec>& fields = kOkCallFields) {
    WriteDbf(*folder_ / "OKCALL.DBF", fields, rows);
  }

  QStringList Texts() const {
    QStringList texts;
    for (const Message& m : messages_) texts << m.text;
    return texts;
  }

 private slots:
  void init() {
    folder_ = std::make_unique<ScratchFolder>(ScratchFolder::Enter::Yes);
    windows_ = std::make_unique<ProgramWindows>();
    okCall_ = &windows_->Dialog(ImportKindId::OKCall);
    amateur_ = &windows_->Dialog(ImportKindId::Amateur);
    messages_.clear();
    steps_.clear();
    appends_ = 0;
    duringStep_ = nullptr;
    previousHook_ = SetMessageHook([this](MessageKind kind, const QString& text) {
      ImportDialog* d = okCall_;
      if (amateur_->Running()) d = amateur_;
      messages_.push_back({kind, text, Take(*d)});
    });
    okCall_->SetRecordStep([this](const IRecordFields& rec, IStationLookup& book) {
      steps_.push_back(Take(*okCall_));
      if (duringStep_) duringStep_(static_cast<int>(steps_.size()));
      return Counted(ImportOKCallRecord(rec, book));
    });
    amateur_->SetLineStep([this](std::string_view line, IStationLookup& book) {
      steps_.push_back(Take(*amateur_));
      if (duringStep_) duringStep_(static_cast<int>(steps_.size()));
      return Counted(ImportAmateurLine(line, book));
    });
  }

  void cleanup() {
    SetMessageHook(previousHook_);
    okCall_ = amateur_ = nullptr;
    windows_.reset();  // closes the connection before the folder goes
    folder_.reset();
  }

  // ---- the five dialogs ----

  void dialogs() {
    const ImportKindId kinds[] = {ImportKindId::CB, ImportKindId::LogCSP, ImportKindId::LogCOK,
                                  ImportKindId::OKCall, ImportKindId::Amateur};
    const QString dialogNames[] = {"CzytajCBFrm", "CzytajLogCSPFrm", "CzytajLogCOKFrm",
                                   "CzytajOKCallFrm", "CzytajAmateurCAFrm"};
    const QString startNames[] = {"StartBtn", "Button1", "StartBtn", "StartBtn", "Button1"};
    const QSize clients[] = {{539, 208}, {647, 187}, {649, 200}, {536, 200}, {536, 135}};
    std::vector<const ImportDialog*> all;
    for (std::size_t i = 0; i < std::size(kinds); ++i) {
      const ImportDialog& d = windows_->Dialog(kinds[i]);
      all.push_back(&d);
      QCOMPARE(d.objectName(), dialogNames[i]);
      QCOMPARE(d.size(), clients[i]);
      QCOMPARE(d.minimumSize(), d.maximumSize());
      QVERIFY(d.CloseButton()->isDefault());
      QVERIFY(!d.isVisible());
      const bool total = i != 4;
      // Every control keeps its name; the total, the progress box and the
      // bar are only where a total is known.
      QStringList names = {"GroupBox2", "Label1", startNames[i], "Label2", "LogBookAktLbl"};
      if (total)
        names << "Label3"
              << "LogbookAllLbl"
              << "GroupBox1"
              << "ProgBarSP";
      names << "CloseBtn";
      QStringList seen;
      for (const QWidget* w : std::initializer_list<const QWidget*>{
               d.InformationBox(), d.InformationLabel(), d.StartButton(), d.RecordCaption(),
               d.RecordNumberWidget(), d.TotalCaption(), d.TotalWidget(), d.ProgressBox(),
               d.ProgressBar(), d.CloseButton()}) {
        if (w) seen << w->objectName();
      }
      QCOMPARE(seen, names);
      // No other control; the record number's drawing surface is part of it.
      int controls = 0;
      for (const QWidget* w : d.findChildren<QWidget*>())
        controls += w == d.RecordNumberWidget() || !d.RecordNumberWidget()->isAncestorOf(w);
      QCOMPARE(controls, names.size());
      // No text is cut off or runs into its neighbour, whatever font the
      // system offers.
      QVERIFY(d.InformationLabel()->sizeHint().width() <= d.InformationLabel()->width());
      QVERIFY(d.InformationLabel()->geometry().right() < d.InformationBox()->width());
      QVERIFY(d.RecordCaption()->geometry().right() < d.RecordNumberWidget()->x());
      if (total) QVERIFY(d.TotalCaption()->geometry().right() < d.TotalWidget()->x());
    }
    const QStringList sp = all[1]->InformationLabel()->text().split('\n');
    QCOMPARE(sp.value(1), QString("Pozwala na wczytanie danych ze zbioru  LOG_C_SP.DBF."));
    QCOMPARE(all[3]->InformationLabel()->text().split('\n').value(0),
             QString::fromUtf8("Plik OKCALL.DBF  znajduje się pod internetowym adrersem:"));
    QCOMPARE(all[4]->InformationLabel()->text().split('\n').value(2),
             QString::fromUtf8("AMATEUR.RPT zawierający informacje o krótkofalowcach z Kanady."));
  }

  // ---- checks before an import ----

  void checksBeforeAnImport() {
    // No database: only its message, whether the source is there or not.
    okCall_->StartButton()->click();
    MakeOkCall(kThreeStations);
    okCall_->StartButton()->click();
    QCOMPARE(Texts(), QStringList({"Brak pliku: Log.dat", "Brak pliku: Log.dat"}));
    QCOMPARE(messages_[0].kind, MessageKind::Plain);

    // No source: its message, and no connection is made.
    messages_.clear();
    MakeDatabase();
    amateur_->StartButton()->click();
    QCOMPARE(Texts(), QStringList{"Brak pliku: AMATEUR.RPT"});
    QVERIFY(!Store().IsConnected());
    QVERIFY(steps_.empty());
  }

  void fileThatIsNoDatabase() {
    WriteText(*folder_ / "LOG.DAT", {"this is not a database"});
    MakeOkCall(kThreeStations);
    okCall_->StartButton()->click();
    // The fixed line, and under it the cause.
    const QStringList texts = Texts();
    QCOMPARE(texts.size(), 1);
    const QStringList lines = texts[0].split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QString::fromUtf8("Nie udało się otworzyć bazy Tolvo.dat"));
    QVERIFY2(lines[1].contains(QString::fromUtf8("nie jest bazą danych")), qPrintable(lines[1]));
    QVERIFY(steps_.empty());
    QVERIFY(okCall_->StartButton()->isEnabled());
  }

  // ---- the run ----

  void emptyTable() {
    MakeDatabase();
    MakeOkCall({});
    okCall_->StartButton()->click();
    QVERIFY(steps_.empty());
    QCOMPARE(Texts(), QStringList{QString::fromUtf8("Zakończono przetwarzanie!")});
    QCOMPARE(messages_[0].shown.total, QString("0"));
    QCOMPARE(okCall_->TotalText(), QString());
    QCOMPARE(okCall_->RecordNumberText(), QString());
    QCOMPARE(okCall_->ProgressBar()->value(), 0);
  }

  void threeRecordsMoveLabelsAndBar() {
    MakeDatabase();
    MakeOkCall(kThreeStations);
    duringStep_ = [this](int step) {
      if (step == 1) okCall_->StartButton()->click();  // disabled: no second run inside
    };
    okCall_->StartButton()->click();

    QCOMPARE(steps_.size(), std::size_t(3));
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(steps_[i].current, QString::number(i + 1));
      QCOMPARE(steps_[i].bar, i + 1);
      QCOMPARE(steps_[i].total, QString("3"));
      QCOMPARE(steps_[i].barMax, 3);
      QVERIFY(!steps_[i].startEnabled);
    }
    QCOMPARE(Texts(), QStringList{QString::fromUtf8("Zakończono przetwarzanie!")});
    QCOMPARE(messages_[0].shown.current, QString("3"));  // reset comes after the message
    QCOMPARE(okCall_->RecordNumberText(), QString());
    QCOMPARE(okCall_->TotalText(), QString());
    QCOMPARE(okCall_->ProgressBar()->value(), 0);
    QVERIFY(okCall_->StartButton()->isEnabled());
    QCOMPARE(appends_, 3);

    // A second run reads the table from the top and finds every station.
    steps_.clear();
    duringStep_ = nullptr;
    okCall_->StartButton()->click();
    QCOMPARE(steps_.size(), std::size_t(3));
    QCOMPARE(steps_[0].current, QString("1"));
    QCOMPARE(appends_, 3);

    // Closing the program commits the rows.
    windows_->Main().show();
    windows_->Main().close();
    QCOMPARE(messages_.size(), std::size_t(2));
    tolvo::Callbook again;
    QVERIFY(again.Open(*folder_ / "LOG.DAT"));
    for (const auto& row : kThreeStations) QVERIFY(again.Find(row[0]));
  }

  void missingFieldGoesToTheErrorReport() {
    MakeDatabase();
    std::vector<DbfFieldSpec> noZip(kOkCallFields.begin(), kOkCallFields.end() - 1);
    MakeOkCall({{"OK1AAA", "Jan", "Novak", "Hlavni 1", "Praha"}}, noZip);
    okCall_->StartButton()->click();
    QCOMPARE(Texts(), QStringList{QString::fromUtf8("Calls: Field 'ZIP' not found\nPlik OKCALL.DBF "
                                                    "nie jest listą OKCALL.DBF: nie ma w nim "
                                                    "pola ZIP.")});
    QCOMPARE(messages_[0].kind, MessageKind::Error);
    QVERIFY(okCall_->StartButton()->isEnabled());
  }

  void errorEndsTheRunAndKeepsEarlierRows() {
    MakeDatabase();
    MakeOkCall(kThreeStations);
    duringStep_ = [](int step) {
      if (step == 3) throw std::runtime_error("Błąd zapisu");
    };
    okCall_->show();
    okCall_->StartButton()->click();
    QCOMPARE(Texts(), QStringList{QString::fromUtf8("Błąd zapisu.")});
    // The report comes once the run is over: the start button is back.
    QVERIFY(messages_[0].shown.startEnabled);
    QCOMPARE(okCall_->ProgressBar()->value(), 3);  // the bar stays where it stopped
    QVERIFY(okCall_->isVisible());
    QVERIFY(okCall_->StartButton()->isEnabled());
    QVERIFY(Book().Find("OK1AAA"));
    QVERIFY(Book().Find("OK1BBB"));
    QVERIFY(!Book().Find("OK1CCC"));

    // The user can start again; only the missing station is written.
    duringStep_ = nullptr;
    messages_.clear();
    appends_ = 0;
    okCall_->StartButton()->click();
    QCOMPARE(Texts(), QStringList{QString::fromUtf8("Zakończono przetwarzanie!")});
    QCOMPARE(appends_, 1);
  }

  void closeDuringARunFinishesFirst_data() {
    test::AddRows<bool>("failing", {{"run ends normally", false}, {"run ends by an error", true}});
  }
  void closeDuringARunFinishesFirst() {
    QFETCH(bool, failing);
    MakeDatabase();
    MakeOkCall(kThreeStations);
    duringStep_ = [this, failing](int step) {
      if (step == 1) okCall_->CloseButton()->click();
      if (step == 2) okCall_->close();  // the window's own close
      if (step == 3 && failing) throw std::runtime_error("x");
    };
    okCall_->show();
    okCall_->StartButton()->click();
    QCOMPARE(steps_.size(), std::size_t(3));
    for (const Snapshot& s : steps_) QVERIFY(s.visible);
    QCOMPARE(messages_.size(), std::size_t(1));
    QVERIFY(messages_[0].shown.visible);
    QCOMPARE(messages_[0].kind, failing ? MessageKind::Error : MessageKind::Plain);
    QVERIFY(!okCall_->isVisible());

    // The close request is used up: the next showing stays open.
    okCall_->show();
    QVERIFY(okCall_->isVisible());
  }

  void activationEmptiesTheLabelsOnlyWhenIdle() {
    RecordNumberLabel* current = okCall_->findChild<RecordNumberLabel*>("LogBookAktLbl");
    QVERIFY(current);
    current->setText("7");
    okCall_->findChild<QLabel*>("LogbookAllLbl")->setText("9");
    okCall_->show();
    QCOMPARE(okCall_->RecordNumberText(), QString());
    QCOMPARE(okCall_->TotalText(), QString());

    current->setText("7");
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(okCall_, &activate);
    QCOMPARE(okCall_->RecordNumberText(), QString());

    MakeDatabase();
    MakeOkCall(kThreeStations);
    QString totalAfterActivation;
    duringStep_ = [&](int step) {
      if (step != 2) return;
      QEvent again(QEvent::WindowActivate);
      QApplication::sendEvent(okCall_, &again);
      totalAfterActivation = okCall_->TotalText();
    };
    okCall_->StartButton()->click();
    QCOMPARE(totalAfterActivation, QString("3"));
  }

  // ---- the text report ----

  void reportCountsEveryLineAfterTheHeader() {
    MakeDatabase();
    WriteText(*folder_ / "amateur.rpt", {"header 1", "header 2", "header 3", "header 4",
                                         ReportLine("VA3AAA", "John", "Smith"), "too short",
                                         ReportLine("VE2BBB", "Mary", "Jones")});
    amateur_->show();
    amateur_->StartButton()->click();
    QCOMPARE(steps_.size(), std::size_t(3));
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(steps_[i].current, QString::number(i + 1));
      QVERIFY(!steps_[i].startEnabled);
    }
    QCOMPARE(Texts(), QStringList{QString::fromUtf8("Zakończono przetwarzanie!")});
    QCOMPARE(messages_[0].shown.current, QString("3"));
    QCOMPARE(amateur_->RecordNumberText(), QString());
    QCOMPARE(appends_, 2);
    QVERIFY(Book().Find("VA3AAA"));
    QVERIFY(Book().Find("VE2BBB"));
  }

  void reportOfOnlyAHeader() {
    MakeDatabase();
    WriteText(*folder_ / "AMATEUR.RPT", {"h1", "h2", "h3"});
    amateur_->StartButton()->click();
    QVERIFY(steps_.empty());
    QCOMPARE(Texts(), QStringList{QString::fromUtf8("Zakończono przetwarzanie!")});
    QCOMPARE(messages_[0].shown.current, QString("0"));
    QCOMPARE(amateur_->RecordNumberText(), QString());
  }
};

QTEST_MAIN(TestImportDialog)
#include "ImportDialogTest.moc"
