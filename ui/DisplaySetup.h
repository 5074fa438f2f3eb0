// What the program asks of the window system before its application object
// exists.
#pragma once

namespace tolvo {

// On X11 the windows' images go to the server over the connection rather
// than through shared memory: with shared memory the toolkit waits for the
// server to finish with each image before it draws the next, a round trip
// for every record that an import shows. A setting already in the
// environment (QT_XCB_NO_MITSHM) is kept.
void PrepareDisplay();

}  // namespace tolvo
