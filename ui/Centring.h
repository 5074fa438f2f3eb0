// Placing a window in the middle of the desktop.
#pragma once

class QWidget;

namespace tolvo {

// Moves a top-level widget to the centre of the desktop, its frame
// included as far as the window system has told it yet.
void CentreOnDesktop(QWidget* window);

}  // namespace tolvo
