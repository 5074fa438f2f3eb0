// Started from the menu into a folder without LOG.DAT, the program asks once
// for the Tolvo folder, works there and finds it again at the next start.
#include <QApplication>
#include <QFileDialog>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QtTest>

#include <fstream>

#include "app/StartFolder.h"
#include "app/StartOptions.h"
#include "tests/support/ScratchFolder.h"

using namespace tolvo;
namespace fs = std::filesystem;

class TestStartFolder : public QObject {
  Q_OBJECT

  // A start of the program in `home` with `arguments`; the folder it works
  // in afterwards.
  fs::path Start(const fs::path& home, const QStringList& arguments, const FolderQuestion& ask) {
    fs::current_path(home);
    int status = -1;
    const std::optional<StartOptions> options = ParseStartOptions(arguments, status);
    if (!options || !EnterWorkingFolder(*options, ask)) return {};
    return fs::current_path();
  }

 private slots:
  void menuStartAsksOnceAndRemembers() {
    ScratchFolder home, tolvo, settings;
    std::ofstream(tolvo / "log.dat") << "x";  // any letter case, as everywhere
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(settings.Path().string()));
    int asked = 0;
    const FolderQuestion notAsked = [&](const QString&) {
      ++asked;
      return std::nullopt;
    };

    // Not from the menu: nothing is asked, the start folder stays.
    QCOMPARE(Start(home.Path(), {}, notAsked), home.Path());
    QCOMPARE(asked, 0);
    // Cancelled: the start folder stays and nothing is remembered.
    QCOMPARE(Start(home.Path(), {"--menu"}, notAsked), home.Path());
    QCOMPARE(asked, 1);
    QVERIFY(!RememberedTolvoFolder());

    // The program's own dialog, answered as a user would.
    QString caption;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      caption = dialog->windowTitle();
      dialog->setDirectory(QString::fromStdString(tolvo.Path().parent_path().string()));
      dialog->selectFile(QString::fromStdString(tolvo.Path().string()));
      QPushButton* choose = nullptr;
      for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (!button->isVisible()) continue;
        buttons << button->text();
        if (button->text() == QString::fromUtf8("Wybierz")) choose = button;
      }
      QVERIFY(choose);
      choose->click();
    });
    QCOMPARE(Start(home.Path(), {"--menu"}, AskForTolvoFolder), tolvo.Path());
    QCOMPARE(caption, QString::fromUtf8("Wskaż folder programu Tolvo (z plikiem LOG.DAT)"));
    buttons.sort();
    QCOMPARE(buttons, QStringList({"Anuluj", "Wybierz"}));
    QCOMPARE(RememberedTolvoFolder(), std::optional<fs::path>(tolvo.Path()));

    // The next start from the menu goes there without a question; a start
    // in a folder with its own LOG.DAT stays there; FOLDER is taken as given.
    QCOMPARE(Start(home.Path(), {"--menu"}, notAsked), tolvo.Path());
    ScratchFolder other;
    std::ofstream(other / "LOG.DAT") << "x";
    QCOMPARE(Start(other.Path(), {"--menu"}, notAsked), other.Path());
    QCOMPARE(
        Start(tolvo.Path(), {"--menu", QString::fromStdString(home.Path().string())}, notAsked),
        tolvo.Path());
    QCOMPARE(asked, 1);
  }
};

QTEST_MAIN(TestStartFolder)
#include "StartFolderTest.moc"
