// The main window: what the program is for, the menu "System" from which the
// user chooses an import, and the callbook store that the imports write to.
#pragma once

#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "ui/ImportDialog.h"
#include "import/ImportKinds.h"
#include "store/ICallbook.h"

class QAction;
class QCloseEvent;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QShowEvent;

namespace tolvo {

class Callbook;

class MainWindow : public QMainWindow, public ICallbookHost {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // The store on the working folder's LOG.DAT, for the import dialogs. No
  // connection is made before the first import; closing the window commits
  // what the imports posted.
  bool OpenCallbook() override;
  ICallbook& OpenedCallbook() override;
  std::string OpenFailure() override;
  void SetLockWaitHandler(std::function<bool()> keepWaiting) override;
  bool UsesWorkingFolderDatabase() const override { return !connection_; }

  // From here on the imports write to the database that `connection` names
  // (see Callbook::OpenConnection) instead of the working folder's LOG.DAT,
  // and the title names it. A local file is named as it is found now.
  void UseConnection(const std::string& connection);

  QFrame* DescriptionPanel() const { return descriptionPanel_; }
  QLabel* DescriptionLabel() const { return descriptionLabel_; }
  QPushButton* CloseButton() const { return closeButton_; }
  QMenu* SystemMenu() const { return systemMenu_; }
  // The menu item that chooses `kind`.
  QAction* ImportAction(ImportKindId kind) const;
  QAction* CloseAction() const { return closeAction_; }

 signals:
  // The user chose an import from the menu.
  void ImportChosen(ImportKindId kind);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // The close button and the menu item "&Zamknij".
  void CloseClicked();

  std::unique_ptr<Callbook> callbook_;
  bool missingFile_ = false;               // the last OpenCallbook found no LOG.DAT
  std::optional<std::string> connection_;  // the database named instead of it
  QFrame* descriptionPanel_ = nullptr;     // Panel1
  QLabel* descriptionLabel_ = nullptr;     // Label4
  QPushButton* closeButton_ = nullptr;     // CloseBtn
  QMenu* systemMenu_ = nullptr;            // System1
  // WczytajPolskaCBDBF1, Wczytaj11, Wczytaj21, WczytajCzechyOKCALLDBF1,
  // WczytajKanadaAMATEUTRPT1, by ImportKindId
  std::array<QAction*, 5> importActions_{};
  QAction* closeAction_ = nullptr;  // Zamknij1
  bool placed_ = false;
};

}  // namespace tolvo
