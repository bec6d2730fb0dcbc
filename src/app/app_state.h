// The program-wide state shared by the main window's commands.
#pragma once

#include "text/text.h"

namespace quenmark::app {

// One instance per process: created before the main window, released after
// the event loop has ended.
//
// Threading rule: only the user-interface thread reads or writes AppState.
// A worker thread (an import or a batch) is handed what it needs by value
// when it starts and hands its results back by value to the user-interface
// thread; it never holds a reference into AppState. Each loop keeps its own
// position, so no loop can disturb another's, and a batch keeps its answers
// to itself. Whoever starts a worker owns it: before the main window is
// destroyed, and so before AppState is released, every worker is told to
// stop and is joined. No thread outlives the window or the state it serves.
struct AppState {
    text::Text import_path;     // last path chosen in the Open dialog
    text::TextArray long_links; // entries of the last Shorten command
};

} // namespace quenmark::app
