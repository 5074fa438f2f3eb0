#include "app/MainWindow.h"

#include "source/FileLookup.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShowEvent>
#include <QStringList>

#include "store/Callbook.h"
#include "store/OpenFailure.h"
#include "ui/Centring.h"
#include "ui/ErrorReport.h"
#include "ui/Fonts.h"
#include "ui/QuitSignals.h"

namespace tolvo {
namespace {

// The twelve lines of the description, joined by line feeds.
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

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), callbook_(std::make_unique<Callbook>()) {
  // No connection is made here: the embedded engine would hold LOG.DAT open
  // for as long as the program runs and lock Tolvo out of its own database.
  // Every import connects afresh anyway.
  setObjectName(QStringLiteral("DM"));
  setWindowTitle(QString::fromUtf8(kAppTitle));
  setFont(ProgramFont(11));

  auto* client = new QWidget(this);
  setCentralWidget(client);

  descriptionPanel_ = new QFrame(client);
  descriptionPanel_->setObjectName(QStringLiteral("Panel1"));
  descriptionPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  descriptionPanel_->setLineWidth(1);
  descriptionPanel_->setGeometry(9, 4, 477, 211);

  descriptionLabel_ = new QLabel(descriptionPanel_);
  descriptionLabel_->setObjectName(QStringLiteral("Label4"));
  descriptionLabel_->setTextFormat(Qt::PlainText);
  descriptionLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  descriptionLabel_->setGeometry(8, 8, 457, 156);
  descriptionLabel_->setText(DescriptionText());
  FitTextToWidth(descriptionLabel_, descriptionLabel_->width());

  closeButton_ = new QPushButton(QStringLiteral("&Zamknij"), client);
  closeButton_->setObjectName(QStringLiteral("CloseBtn"));
  closeButton_->setGeometry(494, 5, 96, 25);
  connect(closeButton_, &QPushButton::clicked, this, &MainWindow::CloseClicked);

  systemMenu_ = menuBar()->addMenu(QStringLiteral("System"));
  systemMenu_->setObjectName(QStringLiteral("System1"));
  auto item = [this](const char* name, const char* caption) {
    QAction* action = systemMenu_->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    return action;
  };
  for (const ImportKind& kind : ImportKinds()) {
    QAction* action = item(kind.menuItemName, kind.menuCaption);
    const ImportKindId id = kind.id;
    connect(action, &QAction::triggered, this, [this, id] { emit ImportChosen(id); });
    importActions_[static_cast<std::size_t>(id)] = action;
  }
  systemMenu_->addSeparator()->setObjectName(QStringLiteral("N1"));
  closeAction_ = item("Zamknij1", "&Zamknij");
  connect(closeAction_, &QAction::triggered, this, &MainWindow::CloseClicked);

  resize(616, 272);
  CentreOnDesktop(this);
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::ImportAction(ImportKindId kind) const {
  return importActions_[static_cast<std::size_t>(kind)];
}

// Connecting may set the database client up, which takes over SIGTERM and
// SIGINT; the program keeps them.
bool MainWindow::OpenCallbook() {
  QuitSignalsHeld held;
  callbook_->Close();
  if (connection_) {
    missingFile_ = false;
    return callbook_->OpenConnection(*connection_);
  }
  const std::optional<std::filesystem::path> file = FindInWorkingFolder(kCallbookFile);
  missingFile_ = !file;
  return file && callbook_->Open(*file);
}

void MainWindow::UseConnection(const std::string& connection) {
  connection_ = AbsoluteConnection(connection);
  setWindowTitle(QString::fromUtf8(kAppTitle) + QStringLiteral(" – ") +
                 QString::fromStdString(*connection_));
}

std::string MainWindow::OpenFailure() {
  if (!missingFile_) return callbook_->OpenFailure();
  std::error_code ec;  // a working folder that is gone has no name to give
  return MissingDatabaseCause(std::filesystem::current_path(ec));
}

ICallbook& MainWindow::OpenedCallbook() { return *callbook_; }

void MainWindow::SetLockWaitHandler(std::function<bool()> keepWaiting) {
  callbook_->SetLockWaitHandler(std::move(keepWaiting));
}

void MainWindow::CloseClicked() {
  Guarded([this] { close(); });
}

void MainWindow::showEvent(QShowEvent* event) {
  // Placed again at the first showing, now with the frame where the window
  // system knows it already; later showings keep where the user put it.
  if (!placed_ && !event->spontaneous()) {
    placed_ = true;
    CentreOnDesktop(this);
  }
  QMainWindow::showEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The rows of the last import are still in the writing transaction; they
  // are committed now, while a failure can still be shown to the user.
  Guarded([this] { callbook_->Close(); });
  event->accept();
}

}  // namespace tolvo
