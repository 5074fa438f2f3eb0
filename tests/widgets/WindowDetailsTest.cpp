// What a user notices of the windows: the keyboard (Enter, the accelerators
// of the captions, Tab), where the windows appear, the Polish letters, and
// texts that fit their controls in the font the system has.
#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <memory>
#include <vector>

#include "app/MainWindow.h"
#include "app/ProgramWindows.h"
#include "ui/ImportDialog.h"
#include "tests/support/ScratchFolder.h"
#include "ui/ErrorReport.h"
#include "ui/Fonts.h"

using namespace tolvo;

namespace {

// Why `text` would not show right in `font`; empty when it does.
QString LetterProblem(const QString& text, const QFont& font) {
  const QFontMetrics metrics(font);
  for (const char32_t c : text.toUcs4()) {
    if (c == U'\n') continue;
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFFFD)
      return QString("control or replacement character U+%1").arg(unsigned(c), 4, 16, QChar('0'));
    if (c >= 0x80 && kPolishLetters.find(c) == std::u32string_view::npos)
      return QString("unexpected character U+%1").arg(unsigned(c), 4, 16, QChar('0'));
    if (!metrics.inFontUcs4(c))
      return QString("no glyph for U+%1").arg(unsigned(c), 4, 16, QChar('0'));
  }
  return {};
}

QString Describe(const QWidget* w) { return w->window()->objectName() + "/" + w->objectName(); }

}  // namespace

class TestWindowDetails : public QObject {
  Q_OBJECT

  std::unique_ptr<ScratchFolder> folder_;  // empty: a start press says so
  std::unique_ptr<ProgramWindows> windows_;
  MainWindow* dm_ = nullptr;
  std::vector<ImportDialog*> dialogs_;  // in menu order
  MessageHook previousHook_;
  QStringList messages_;

  void ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTRY_COMPARE(QApplication::activeWindow(), window);
  }

  // Everything a window shows in text, with the font it is drawn in.
  std::vector<std::pair<QString, QFont>> Texts(QWidget* window) {
    std::vector<std::pair<QString, QFont>> texts{{window->windowTitle(), window->font()}};
    for (QLabel* l : window->findChildren<QLabel*>()) texts.emplace_back(l->text(), l->font());
    for (QPushButton* b : window->findChildren<QPushButton*>())
      texts.emplace_back(b->text(), b->font());
    for (QGroupBox* g : window->findChildren<QGroupBox*>())
      texts.emplace_back(g->title(), g->font());
    return texts;
  }

  // Neither of two controls side by side covers the other.
  void CheckApart(QWidget* container) {
    QList<QWidget*> children = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    children.removeIf([](QWidget* w) { return w->isWindow() || w->inherits("QMenuBar"); });
    for (int i = 0; i < children.size(); ++i) {
      QVERIFY2(container->rect().contains(children[i]->geometry()),
               qPrintable(Describe(children[i]) + " reaches out of its window"));
      for (int j = i + 1; j < children.size(); ++j) {
        QVERIFY2(!children[i]->geometry().intersects(children[j]->geometry()),
                 qPrintable(Describe(children[i]) + " overlaps " + Describe(children[j])));
      }
    }
  }

  void CheckFits(QWidget* window) {
    for (QLabel* l : window->findChildren<QLabel*>()) {
      const QSize hint = l->sizeHint();
      if (!l->text().isEmpty()) {
        QVERIFY2(hint.width() <= l->width() && hint.height() <= l->height(),
                 qPrintable(Describe(l) + " is cut off"));
      }
      // Inside its group box or panel, clear of the frame and the title.
      const QWidget* parent = l->parentWidget();
      if (parent != window && !parent->inherits("QMainWindow") && parent->objectName() != "") {
        QVERIFY2(parent->contentsRect().contains(l->geometry()),
                 qPrintable(Describe(l) + " runs into the frame of " + parent->objectName()));
      }
    }
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
      QVERIFY2(b->sizeHint().width() <= b->width() && b->sizeHint().height() <= b->height(),
               qPrintable(Describe(b) + " is too small for its caption"));
    }
    for (QGroupBox* g : window->findChildren<QGroupBox*>()) {
      const QFontMetrics metrics(g->font());
      QVERIFY2(metrics.horizontalAdvance(g->title()) + 2 * metrics.height() <= g->width(),
               qPrintable(Describe(g) + " has no room for its title"));
    }
  }

 private slots:
  void initTestCase() {
    folder_ = std::make_unique<ScratchFolder>(ScratchFolder::Enter::Yes);
    previousHook_ = SetMessageHook([this](MessageKind, const QString& text) { messages_ << text; });
  }
  void cleanupTestCase() {
    SetMessageHook(previousHook_);
    folder_.reset();
  }

  void init() {
    windows_ = std::make_unique<ProgramWindows>();
    dm_ = &windows_->Main();
    dialogs_.clear();
    for (const ImportKind& kind : ImportKinds()) dialogs_.push_back(&windows_->Dialog(kind.id));
    messages_.clear();
  }
  void cleanup() {
    dialogs_.clear();
    dm_ = nullptr;
    windows_.reset();
  }

  void enterPressesCloseWhereverTheFocusIs() {
    for (ImportDialog* d : dialogs_) {
      for (QPushButton* focused : {d->StartButton(), d->CloseButton()}) {
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
          ShowActive(d);
          focused->setFocus();
          QTest::keyClick(focused, key);
          QVERIFY2(!d->isVisible(), qPrintable(Describe(focused)));
          QCOMPARE(messages_, QStringList());  // no import was started
        }
      }
    }
  }

  void altZClosesTheDialogsAndTheProgram() {
    for (ImportDialog* d : dialogs_) {
      ShowActive(d);
      QTest::keyClick(d, Qt::Key_Z, Qt::AltModifier);
      // A shortcut presses the button visibly: the click comes a moment later.
      QTRY_VERIFY2(!d->isVisible(), qPrintable(d->objectName()));
    }
    ShowActive(dm_);
    QTest::keyClick(dm_, Qt::Key_Z, Qt::AltModifier);
    QTRY_VERIFY(!dm_->isVisible());

    // In the open menu "System", Z is its last item.
    ShowActive(dm_);
    dm_->menuBar()->setActiveAction(dm_->SystemMenu()->menuAction());
    QTRY_VERIFY(dm_->SystemMenu()->isVisible());
    QTest::keyClick(dm_->SystemMenu(), Qt::Key_Z);
    QTRY_VERIFY(!dm_->isVisible());
    QCOMPARE(messages_, QStringList());
  }

  void tabGoesFromStartToCloseAndBack() {
    for (ImportDialog* d : dialogs_) {
      ShowActive(d);
      // The default button has the focus first, so Enter and Space agree.
      QCOMPARE(QApplication::focusWidget(), d->CloseButton());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), d->StartButton());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), d->CloseButton());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
      QCOMPARE(QApplication::focusWidget(), d->StartButton());
      d->hide();
    }
  }

  void windowsAppearInTheMiddleOfTheDesktop() {
    const QPoint middle = QGuiApplication::primaryScreen()->availableGeometry().center();
    auto centred = [&](QWidget* w) {
      const QPoint off = w->frameGeometry().center() - middle;
      return std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1;
    };
    dm_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dm_));
    QVERIFY(centred(dm_));
    // The dialogs go to the middle of the desktop, not over the main window.
    dm_->move(0, 0);
    for (ImportDialog* d : dialogs_) {
      for (int showing = 0; showing < 2; ++showing) {
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        QVERIFY2(centred(d), qPrintable(d->objectName()));
        d->hide();
      }
    }
  }

  void polishLettersInEveryText() {
    QVERIFY(HasPolishLetters(ProgramFont(11)));
    QVERIFY(HasPolishLetters(ProgramFont(15)));
    std::vector<std::pair<QString, QFont>> texts = Texts(dm_);
    for (QAction* item : dm_->SystemMenu()->actions())
      texts.emplace_back(item->text(), item->font());
    texts.emplace_back(dm_->SystemMenu()->title(), dm_->SystemMenu()->font());
    for (ImportDialog* d : dialogs_) {
      const auto more = Texts(d);
      texts.insert(texts.end(), more.begin(), more.end());
    }
    const QFont font = ProgramFont(11);
    for (const char* message : {kCannotOpenCallbook, kImportFinished})
      texts.emplace_back(QString::fromUtf8(message), font);
    texts.emplace_back(UnknownErrorText(), font);

    int polish = 0;
    for (const auto& [text, textFont] : texts) {
      const QString problem = LetterProblem(text, textFont);
      QVERIFY2(problem.isEmpty(), qPrintable(problem + " in \"" + text + "\""));
      for (const char32_t c : text.toUcs4()) polish += c >= 0x80;
    }
    // The texts are Polish, in the program's own spelling.
    QVERIFY(polish > 40);
    QCOMPARE(dialogs_[0]->TotalCaption()->text(), QString::fromUtf8("Liczba wszystkich wpisów:"));
  }

  void noTextIsCutOffOrCovered() {
    dm_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dm_));
    CheckFits(dm_);
    CheckApart(dm_->centralWidget());
    QVERIFY(dm_->DescriptionPanel()->contentsRect().contains(dm_->DescriptionLabel()->geometry()));

    for (ImportDialog* d : dialogs_) {
      d->show();
      QVERIFY(QTest::qWaitForWindowExposed(d));
      CheckFits(d);
      CheckApart(d);
      // The numbers that an import shows have room to the dialog's edge.
      const QString widest = QStringLiteral("9999999999");
      for (QWidget* number : {d->RecordNumberWidget(), d->TotalWidget()}) {
        if (!number) continue;
        QVERIFY(QFontMetrics(number->font()).horizontalAdvance(widest) <= number->width());
        QVERIFY(QFontMetrics(number->font()).height() <= number->height());
      }
      if (d->ProgressBar()) {
        // Below the title of its group box, inside the box.
        QVERIFY(d->ProgressBox()->rect().contains(d->ProgressBar()->geometry()));
        QVERIFY(d->ProgressBar()->y() >= QFontMetrics(d->ProgressBox()->font()).height());
      }
      d->hide();
    }
  }
};

QTEST_MAIN(TestWindowDetails)
#include "WindowDetailsTest.moc"
