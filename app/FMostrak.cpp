#include "app/FMostrak.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStringList>

#include <algorithm>

#include "app/ErrorReport.h"
#include "app/QuitSignals.h"
#include "store/Callbook.h"
#include "import/CzytajAmateurCAFrm.h"
#include "import/CzytajCBFrm.h"
#include "import/CzytajLogCOKFrm.h"
#include "import/CzytajLogCSPFrm.h"
#include "import/CzytajOKCallFrm.h"

namespace tolvo {

TDM* DM = nullptr;

bool HasPolishLetters(const QFont& font) {
  const QFontMetrics metrics(font);
  for (const char32_t letter : kPolishLetters) {
    if (!metrics.inFontUcs4(letter)) return false;
  }
  return true;
}

QFont ProgramFont(int pixelSize) {
  // The face the windows were laid out for, where the system has it with
  // the Polish letters (old bitmap versions of it carry Western European
  // letters only); otherwise the system's own sans-serif face, or a common
  // one that has them.
  static const QString kFamilies[] = {QStringLiteral("MS Sans Serif"), QString(),
                                      QStringLiteral("DejaVu Sans"),
                                      QStringLiteral("Liberation Sans"),
                                      QStringLiteral("Noto Sans")};
  QFont fallback;
  for (const QString& family : kFamilies) {
    QFont font;
    if (family.isEmpty()) {
      font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
      font.setStyleHint(QFont::SansSerif);
    } else if (QFontDatabase::hasFamily(family)) {
      font = QFont(family);
    } else {
      continue;
    }
    font.setPixelSize(pixelSize);
    if (family.isEmpty()) fallback = font;
    if (HasPolishLetters(font)) return font;
  }
  // None has them all: the system's face, whose missing letters the toolkit
  // takes from other faces.
  return fallback;
}

void FitTextToWidth(QLabel* label, int width) {
  QFont font = label->font();
  const QStringList lines = label->text().split(QLatin1Char('\n'));
  auto widest = [&lines](const QFont& f) {
    const QFontMetrics metrics(f);
    int w = 0;
    for (const QString& line : lines) w = std::max(w, metrics.horizontalAdvance(line));
    return w;
  };
  int stretch = 100;
  while (widest(font) > width && stretch > 50) {
    stretch -= 5;
    font.setStretch(stretch);
  }
  if (stretch != 100) label->setFont(font);
}

void CentreOnDesktop(QWidget* window) {
  QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  // Before the first showing the frame is not known: the window's own size.
  QRect frame(QPoint(0, 0), window->frameGeometry().size());
  frame.moveCenter(screen->availableGeometry().center());
  window->move(frame.topLeft());
}

QString DescriptionText() {
  static const char* const kLines[] = {
      "Program służy do importu danych o stacjach krótkofalarskich do callbook'a programu Tolvo.",
      "Dane z odpowiedniego pliku są podczytywane bezpośrednio do bazy programu (pliku Log.dat), ",
      "a następnie są wykorzystywane przy wprowadzaniu pozycji o wykonanych łącznościach.",
      "Pliki z danymi są powszechnie dostępne w internecie i można je pobrać z odpowiedniej strony.",
      "Adres strony jest podany po wyborze wczytania określonego pliku.",
      "",
      "Po pobraniu pliku z danymi należy go wgrać do folderu, z którego uruchomiono ten program. ",
      "W folderze tym musi również znajdować się plik bazy danych programu Tolvo. Jest to plik",
      "o nazwie Log.dat. ",
      "",
      "Jeżeli plik Log.dat będzie z wersji 1.0 programu Tolvo to zostanie on automatycznie przetworzony",
      "do wersji 2.0 - poprzez dodanie tabeli callbook'a i wczytanie danych.",
  };
  QStringList lines;
  for (const char* line : kLines) lines << QString::fromUtf8(line);
  return lines.join(QLatin1Char('\n'));
}

TDM::TDM(QWidget* parent) : QMainWindow(parent), callbook_(std::make_unique<TCallbook>()) {
  // No connection is made here: the embedded engine would hold LOG.DAT open
  // for as long as the program runs and lock Tolvo out of its own database.
  // Every import connects afresh anyway.
  setObjectName(QStringLiteral("DM"));
  setWindowTitle(QString::fromUtf8(kAppTitle));
  setFont(ProgramFont(11));

  auto* client = new QWidget(this);
  setCentralWidget(client);

  Panel1 = new QFrame(client);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setLineWidth(1);
  Panel1->setGeometry(9, 4, 477, 211);

  Label4 = new QLabel(Panel1);
  Label4->setObjectName(QStringLiteral("Label4"));
  Label4->setTextFormat(Qt::PlainText);
  Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label4->setGeometry(8, 8, 457, 156);
  Label4->setText(DescriptionText());
  FitTextToWidth(Label4, Label4->width());

  CloseBtn = new QPushButton(QStringLiteral("&Zamknij"), client);
  CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
  CloseBtn->setGeometry(494, 5, 96, 25);
  connect(CloseBtn, &QPushButton::clicked, this, &TDM::CloseBtnClick);

  System1 = menuBar()->addMenu(QStringLiteral("System"));
  System1->setObjectName(QStringLiteral("System1"));
  auto item = [this](const char* name, const char* caption, void (TDM::*handler)()) {
    QAction* action = System1->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  WczytajPolskaCBDBF1 = item("WczytajPolskaCBDBF1", "Wczytaj (Polska - CB.DBF)",
                             &TDM::WczytajPolskaCBDBF1Click);
  Wczytaj11 = item("Wczytaj11", "Wczytaj (Polska - LOG_C_SP.DBF)", &TDM::Wczytaj11Click);
  Wczytaj21 = item("Wczytaj21", "Wczytaj (Czechy - LOG_C_OK.DBF)", &TDM::Wczytaj21Click);
  WczytajCzechyOKCALLDBF1 = item("WczytajCzechyOKCALLDBF1", "Wczytaj (Czechy - OKCALL.DBF)",
                                 &TDM::WczytajCzechyOKCALLDBF1Click);
  WczytajKanadaAMATEUTRPT1 = item("WczytajKanadaAMATEUTRPT1", "Wczytaj (Kanada - AMATEUR.RPT)",
                                  &TDM::WczytajKanadaAMATEUTRPT1Click);
  N1 = System1->addSeparator();
  N1->setObjectName(QStringLiteral("N1"));
  Zamknij1 = item("Zamknij1", "&Zamknij", &TDM::Zamknij1Click);

  resize(616, 272);
  CentreOnDesktop(this);
  if (!DM) DM = this;
}

TDM::~TDM() {
  if (DM == this) DM = nullptr;
}

ICallbook& TDM::Callbook() { return *callbook_; }
// Connecting may set the database client up, which takes over SIGTERM and
// SIGINT; the program keeps them.
bool TDM::ConnectDatabase() {
  TQuitSignalsHeld held;
  return callbook_->ConnectDatabase();
}
bool TDM::StationsTableExists() { return callbook_->StationsTableExists(); }
bool TDM::CreateStationsTable() { return callbook_->CreateStationsTable(); }
bool TDM::OpenCallbook() {
  TQuitSignalsHeld held;
  return callbook_->OpenCallbook();
}
std::string TDM::OpenFailure() const { return callbook_->OpenFailure(); }

namespace {

// Shows an import dialog modally and waits until it is closed; its result
// is of no interest.
void ShowModal(QDialog* dialog) {
  Guarded([dialog] {
    if (dialog) dialog->exec();
  });
}

}  // namespace

void TDM::WczytajPolskaCBDBF1Click() { ShowModal(CzytajCBFrm); }
void TDM::Wczytaj11Click() { ShowModal(CzytajLogCSPFrm); }
void TDM::Wczytaj21Click() { ShowModal(CzytajLogCOKFrm); }
void TDM::WczytajCzechyOKCALLDBF1Click() { ShowModal(CzytajOKCallFrm); }
void TDM::WczytajKanadaAMATEUTRPT1Click() { ShowModal(CzytajAmateurCAFrm); }

void TDM::Zamknij1Click() {
  Guarded([this] { close(); });
}

void TDM::CloseBtnClick() {
  Guarded([this] { close(); });
}

void TDM::showEvent(QShowEvent* event) {
  // Placed again at the first showing, now with the frame where the window
  // system knows it already; later showings keep where the user put it.
  if (!placed_ && !event->spontaneous()) {
    placed_ = true;
    CentreOnDesktop(this);
  }
  QMainWindow::showEvent(event);
}

void TDM::closeEvent(QCloseEvent* event) {
  // The rows of the last import are still in the writing transaction; they
  // are committed now, while a failure can still be shown to the user.
  Guarded([this] { callbook_->Close(); });
  event->accept();
}

}  // namespace tolvo
