// The main window's commands that live in the core, connected to it.
#pragma once

#include "app/app_state.h"
#include "intake/import.h"
#include "ui/main_window.h"

namespace quenmark::app {

// Connects 按钮1 (import through the Open dialog), file drops, 按钮2
// (Shorten) and 按钮4 (paired copy) of `window`. `state` and `turns` must outlive the window.
void connect_commands(ui::MainWindow& window, AppState& state, intake::ImportTurns& turns);

} // namespace quenmark::app
