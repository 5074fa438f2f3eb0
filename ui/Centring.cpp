#include "ui/Centring.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace tolvo {

void CentreOnDesktop(QWidget* window) {
  QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  // Before the first showing the frame is not known: the window's own size.
  QRect frame(QPoint(0, 0), window->frameGeometry().size());
  frame.moveCenter(screen->availableGeometry().center());
  window->move(frame.topLeft());
}

}  // namespace tolvo
