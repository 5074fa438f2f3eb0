// What the program asks of the window system before its application object
// exists.
#pragma once

namespace tolvo {

// On X11 the windows' images go to the server over the connection rather
// than through shared memory: with shared memory the toolkit waits for the
// server to finish with each image before it draws the next, a round trip
// for every record that an import shows. A setting already in the
// environment (QT_XCB_NO_MITSHM) is kept.
//
// The message loop is the toolkit's own rather than GLib's (QT_NO_GLIB): an
// import runs one pass of it for every record, and GLib's pass (its sources
// prepared, polled and checked, its context locked) costs more than the
// toolkit's: about 0.7 us a record offscreen, 1 to 1.5 on X11. Nothing in the
// program needs GLib's loop: its one file dialog is the toolkit's own, not
// the desktop's. A setting already in the environment is kept.
void PrepareDisplay();

}  // namespace tolvo
