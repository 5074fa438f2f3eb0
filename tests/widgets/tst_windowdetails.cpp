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

#include "app/FMostrak.h"
#include "import/CzytajAmateurCAFrm.h"
#include "import/CzytajCBFrm.h"
#include "import/CzytajLogCOKFrm.h"
#include "import/CzytajLogCSPFrm.h"
#include "import/CzytajOKCallFrm.h"
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

QString Describe(const QWidget* w) {
  return w->window()->objectName() + "/" + w->objectName();
}

}  // namespace

class TestWindowDetails : public QObject {
  Q_OBJECT

  std::unique_ptr<ScratchFolder> folder_;  // empty: a start press says so
  std::unique_ptr<TDM> dm_;
  std::vector<std::unique_ptr<TImportFrm>> dialogs_;
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
    previousHook_ =
        SetMessageHook([this](MessageKind, const QString& text) { messages_ << text; });
  }
  void cleanupTestCase() {
    SetMessageHook(previousHook_);
    folder_.reset();
  }

  void init() {
    dm_ = std::make_unique<TDM>();
    DM = dm_.get();
    dialogs_.clear();
    dialogs_.push_back(std::make_unique<TCzytajCBFrm>(DM));
    dialogs_.push_back(std::make_unique<TCzytajLogCSPFrm>(DM));
    dialogs_.push_back(std::make_unique<TCzytajLogCOKFrm>(DM));
    dialogs_.push_back(std::make_unique<TCzytajOKCallFrm>(DM));
    dialogs_.push_back(std::make_unique<TCzytajAmateurCAFrm>(DM));
    messages_.clear();
  }
  void cleanup() {
    dialogs_.clear();
    dm_.reset();
  }

  void enterPressesCloseWhereverTheFocusIs() {
    for (auto& d : dialogs_) {
      for (QPushButton* focused : {d->StartButton, d->CloseBtn}) {
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
          ShowActive(d.get());
          focused->setFocus();
          QTest::keyClick(focused, key);
          QVERIFY2(!d->isVisible(), qPrintable(Describe(focused)));
          QCOMPARE(messages_, QStringList());  // no import was started
        }
      }
    }
  }

  void altZClosesTheDialogsAndTheProgram() {
    for (auto& d : dialogs_) {
      ShowActive(d.get());
      QTest::keyClick(d.get(), Qt::Key_Z, Qt::AltModifier);
      // A shortcut presses the button visibly: the click comes a moment later.
      QTRY_VERIFY2(!d->isVisible(), qPrintable(d->objectName()));
    }
    ShowActive(dm_.get());
    QTest::keyClick(dm_.get(), Qt::Key_Z, Qt::AltModifier);
    QTRY_VERIFY(!dm_->isVisible());

    // In the open menu "System", Z is its last item.
    ShowActive(dm_.get());
    dm_->menuBar()->setActiveAction(dm_->System1->menuAction());
    QTRY_VERIFY(dm_->System1->isVisible());
    QTest::keyClick(dm_->System1, Qt::Key_Z);
    QTRY_VERIFY(!dm_->isVisible());
    QCOMPARE(messages_, QStringList());
  }

  void tabGoesFromStartToCloseAndBack() {
    for (auto& d : dialogs_) {
      ShowActive(d.get());
      // The default button has the focus first, so Enter and Space agree.
      QCOMPARE(QApplication::focusWidget(), d->CloseBtn);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), d->StartButton);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), d->CloseBtn);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
      QCOMPARE(QApplication::focusWidget(), d->StartButton);
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
    QVERIFY(QTest::qWaitForWindowExposed(dm_.get()));
    QVERIFY(centred(dm_.get()));
    // The dialogs go to the middle of the desktop, not over the main window.
    dm_->move(0, 0);
    for (auto& d : dialogs_) {
      for (int showing = 0; showing < 2; ++showing) {
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        QVERIFY2(centred(d.get()), qPrintable(d->objectName()));
        d->hide();
      }
    }
  }

  void polishLettersInEveryText() {
    QVERIFY(HasPolishLetters(ProgramFont(11)));
    QVERIFY(HasPolishLetters(ProgramFont(15)));
    std::vector<std::pair<QString, QFont>> texts = Texts(dm_.get());
    for (QAction* item : dm_->System1->actions()) texts.emplace_back(item->text(), item->font());
    texts.emplace_back(dm_->System1->title(), dm_->System1->font());
    for (auto& d : dialogs_) {
      const auto more = Texts(d.get());
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
    QCOMPARE(dialogs_[0]->Label3->text(), QString::fromUtf8("Liczba wszystkich wpisów:"));
  }

  void noTextIsCutOffOrCovered() {
    dm_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dm_.get()));
    CheckFits(dm_.get());
    CheckApart(dm_->centralWidget());
    QVERIFY(dm_->Panel1->contentsRect().contains(dm_->Label4->geometry()));

    for (auto& d : dialogs_) {
      d->show();
      QVERIFY(QTest::qWaitForWindowExposed(d.get()));
      CheckFits(d.get());
      CheckApart(d.get());
      // The numbers that an import shows have room to the dialog's edge.
      const QString widest = QStringLiteral("9999999999");
      for (QLabel* number : {d->LogBookAktLbl, d->LogbookAllLbl}) {
        if (!number) continue;
        QVERIFY(QFontMetrics(number->font()).horizontalAdvance(widest) <= number->width());
        QVERIFY(QFontMetrics(number->font()).height() <= number->height());
      }
      if (d->ProgBarSP) {
        // Below the title of its group box, inside the box.
        QVERIFY(d->GroupBox1->rect().contains(d->ProgBarSP->geometry()));
        QVERIFY(d->ProgBarSP->y() >= QFontMetrics(d->GroupBox1->font()).height());
      }
      d->hide();
    }
  }
};

QTEST_MAIN(TestWindowDetails)
#include "tst_windowdetails.moc"
