// The link import: a file's lines appended to the long-link box, with the
// optional duplicate filter.
#pragma once

#include "ui/controls.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stop_token>

namespace quenmark::intake {

// Imports take turns in the order they were asked for, so that two never
// append at once and each filter sees the lines of the imports before it.
class ImportTurns {
public:
    // A place in the line, taken when the import is asked for.
    [[nodiscard]] std::uint64_t take_ticket();
    // Waits until `ticket` is served; false when stopped first.
    [[nodiscard]] bool wait(std::uint64_t ticket, std::stop_token stop);
    // Ends the turn of `ticket`, letting the next one go.
    void done(std::uint64_t ticket);

private:
    std::mutex mutex_;
    std::condition_variable_any turn_;
    std::uint64_t next_ = 0;
    std::uint64_t serving_ = 0;
};

struct ImportOptions {
    // Lines go to the box in appends of about this size, at most two of
    // them waiting to be shown at a time, so the box fills visibly and the
    // window stays responsive.
    std::size_t append_bytes = 64 * 1024;
};

// Imports the file at `path` (a local text, as the window hands over paths)
// into 编辑框1 when the turn of `ticket` comes. Every line is appended
// followed by CR LF. With 选择框2 checked, a line already found in the box's
// text is skipped; then the status label 透明标签1 shows how many were
// skipped and 按钮1 narrows to 60 pixels, or, with none skipped, the label
// hides and 按钮1 is 259 pixels again. A path that names no readable regular
// file imports nothing. A file over 64 MiB is not imported, and the status
// label says so. A stop request ends the import between appends.
void import_file(std::string_view path, ui::Controls& controls, ImportTurns& turns,
                 std::uint64_t ticket, std::stop_token stop, const ImportOptions& options = {});

} // namespace quenmark::intake
