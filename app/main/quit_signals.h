#pragma once

namespace quillot {

// SIGTERM, SIGINT and SIGHUP (a logout, `kill`, Ctrl+C in the terminal) end
// the game as closing its window does: the event loops return, so a recording
// gets its end line and the save's lock is let go; nothing is saved. The
// handler only writes to a pipe, and the event loop does the rest.
void end_on_signals();

// A signal came: a box shown before the event loop ran (there is no loop yet
// for quit() to end) was closed, and the game must not start playing now.
bool quit_requested();

}  // namespace quillot
