// The main window: what the program is for, the menu "System" that opens the
// five import dialogs, and the callbook store that the dialogs write to.
#pragma once

#include <QFont>
#include <QMainWindow>

#include <memory>
#include <string>
#include <string_view>

#include "store/ICallbook.h"

class QAction;
class QCloseEvent;
class QShowEvent;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;

namespace tolvo {

class TCallbook;

// The 18 Polish letters.
inline constexpr std::u32string_view kPolishLetters = U"ąćęłńóśźżĄĆĘŁŃÓŚŹŻ";

// Whether `font` itself has a glyph for every Polish letter.
bool HasPolishLetters(const QFont& font);

// "MS Sans Serif" at `pixelSize` pixels where the system has it with the
// Polish letters, otherwise the system's sans-serif face (or a common face
// that has them) at the same pixel height.
QFont ProgramFont(int pixelSize);

// Narrows the label's font (never below half its width) until every line
// of its text fits into `width` pixels. Does nothing when it fits already,
// as it does in the font the windows were laid out for.
void FitTextToWidth(QLabel* label, int width);

// Moves a top-level widget to the centre of the desktop, its frame
// included as far as the window system has told it yet.
void CentreOnDesktop(QWidget* window);

// The twelve lines of the main window's description, joined by line feeds.
QString DescriptionText();

class TDM : public QMainWindow {
  Q_OBJECT

 public:
  explicit TDM(QWidget* parent = nullptr);
  ~TDM() override;

  // The callbook operations, delegated to the store.
  bool ConnectDatabase();
  bool StationsTableExists();
  bool CreateStationsTable();
  bool OpenCallbook();
  // Why the callbook could not be opened last time (one line; empty after a
  // success).
  std::string OpenFailure() const;
  ICallbook& Callbook();

  QFrame* Panel1 = nullptr;
  QLabel* Label4 = nullptr;
  QPushButton* CloseBtn = nullptr;
  QMenu* System1 = nullptr;
  QAction* WczytajPolskaCBDBF1 = nullptr;
  QAction* Wczytaj11 = nullptr;
  QAction* Wczytaj21 = nullptr;
  QAction* WczytajCzechyOKCALLDBF1 = nullptr;
  QAction* WczytajKanadaAMATEUTRPT1 = nullptr;
  QAction* N1 = nullptr;
  QAction* Zamknij1 = nullptr;

 public slots:
  void WczytajPolskaCBDBF1Click();
  void Wczytaj11Click();
  void Wczytaj21Click();
  void WczytajCzechyOKCALLDBF1Click();
  void WczytajKanadaAMATEUTRPT1Click();
  void Zamknij1Click();
  void CloseBtnClick();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  bool placed_ = false;
  std::unique_ptr<TCallbook> callbook_;
};

// The program's main window; set while it exists.
extern TDM* DM;

}  // namespace tolvo
