// The main window: what the program is for, the menu "System" that opens the
// five import dialogs, and the callbook store that the dialogs write to.
#pragma once

#include <QMainWindow>

#include <memory>

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
