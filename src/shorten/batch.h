// The batch worker: one request per entry, one line per non-empty entry.
#pragma once

#include "shorten/catalogue.h"
#include "ui/controls.h"

#include <chrono>
#include <stop_token>

namespace quenmark::shorten {

using text::TextArray;

// "<short_link_base><value>\r\n"
[[nodiscard]] Text result_line(const ServiceSpec& row, std::string_view value);

// "<failure_lead><number> [<entry>] <failure_tag> \r\n"
[[nodiscard]] Text failure_line(const ServiceSpec& row, int number, std::string_view entry);

struct BatchOptions {
    // The pause after every processed entry while 选择框1 is checked.
    std::chrono::milliseconds pause{1000};
    // Reuse connections between requests (off for a fair comparison only).
    bool share_connections = true;
    // Each request's time-outs in seconds; 0 for web_request's 15 s.
    int timeout_s = 0;
};

// Runs one whole batch on the calling thread: disables the main window and
// marks its caption " [处理中]", sends every non-empty entry in order to
// the service of `row`, appends a result line or a failure line (carrying
// the entry's number, its line in the box) to 编辑框2 for each, pauses
// after each while 选择框1 is checked, then enables the window and sets the
// caption back to "Quenmark". A stop request aborts the request in
// progress and ends the batch at once, appending nothing more.
void shorten_batch(const ServiceSpec& row, const TextArray& entries, ui::Controls& controls,
                   std::stop_token stop, const BatchOptions& options = {});

} // namespace quenmark::shorten
