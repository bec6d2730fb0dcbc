// The Shorten command: what a click on 按钮2 does.
#pragma once

#include "shorten/batch.h"

#include <functional>

namespace quenmark::shorten {

// Starts `body` on a worker thread owned by the main window.
using WorkerStarter = std::function<void(std::function<void(std::stop_token)> body)>;

// Reads 编辑框1; when it is empty, does nothing. Otherwise replaces
// `long_links` with the box's entries (trimmed, and normalised when the
// chosen service wants it) and, when a radio button 单选框1..6 is checked,
// disables the main window and starts that service's batch over a copy of
// the entries. Runs on the user-interface thread and returns at once; the
// window stays disabled until the batch ends, so no second batch can start.
void shorten_command(ui::Controls& controls, TextArray& long_links,
                     const WorkerStarter& start_worker,
                     const Catalogue& catalogue = built_in_catalogue(),
                     const BatchOptions& options = {});

} // namespace quenmark::shorten
