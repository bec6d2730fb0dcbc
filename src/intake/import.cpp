#include "intake/import.h"

#include "intake/duplicate_filter.h"
#include "intake/link_file.h"
#include "text/encoding.h"

#include <algorithm>

namespace quenmark::intake {
namespace {

constexpr std::string_view long_links_box = "编辑框1";
constexpr std::string_view status_label = "透明标签1";
constexpr std::string_view import_button = "按钮1";
constexpr std::string_view filter_box = "选择框2";

// "有 " and " 处是重复的，已帮您过滤" in the local code page.
constexpr std::string_view status_before = "\xD3\xD0 ";
constexpr std::string_view status_after =
    " \xB4\xA6\xCA\xC7\xD6\xD8\xB8\xB4\xB5\xC4\xA3\xAC\xD2\xD1\xB0\xEF\xC4\xFA\xB9\xFD\xC2\xCB";
// "文件超过 64 MB，未导入"
constexpr std::string_view too_large_status =
    "\xCE\xC4\xBC\xFE\xB3\xAC\xB9\xFD 64 MB\xA3\xAC\xCE\xB4\xB5\xBC\xC8\xEB";

constexpr int narrow_button = 60;
constexpr int wide_button = 259;

void show_status(ui::Controls& controls, std::string_view status)
{
    controls.set_visible(status_label, true);
    controls.set_text(status_label, Text(status));
    controls.set_width(import_button, narrow_button);
}

// Appends the kept lines, each followed by CR LF, in appends of about
// `append_bytes`. False when stopped first.
bool append_lines(ui::Controls& controls, const TextArray& lines, const std::vector<bool>& skip,
                  std::stop_token stop, std::size_t append_bytes)
{
    Text pending;
    bool in_flight = false;
    const auto flush = [&] {
        // At most two appends wait at a time: the next one is prepared (and
        // converted for the window) while the window shows the one before.
        controls.append_text(long_links_box, std::move(pending));
        pending.clear();
        if (in_flight)
            controls.sync();
        in_flight = !in_flight;
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!skip.empty() && skip[i])
            continue;
        pending += lines[i];
        pending += "\r\n";
        if (pending.size() >= append_bytes) {
            if (stop.stop_requested())
                return false;
            flush();
        }
    }
    if (stop.stop_requested())
        return false;
    if (!pending.empty())
        flush();
    return true;
}

} // namespace

std::uint64_t ImportTurns::take_ticket()
{
    std::lock_guard lock(mutex_);
    return next_++;
}

bool ImportTurns::wait(std::uint64_t ticket, std::stop_token stop)
{
    std::unique_lock lock(mutex_);
    return turn_.wait(lock, stop, [&] { return serving_ == ticket; });
}

void ImportTurns::done(std::uint64_t ticket)
{
    {
        std::lock_guard lock(mutex_);
        if (serving_ == ticket)
            ++serving_;
    }
    turn_.notify_all();
}

void import_file(std::string_view path, ui::Controls& controls, ImportTurns& turns,
                 std::uint64_t ticket, std::stop_token stop, const ImportOptions& options)
{
    if (!turns.wait(ticket, stop))
        return;
    struct EndTurn {
        ImportTurns& turns;
        std::uint64_t ticket;
        ~EndTurn() { turns.done(ticket); }
    } end_turn{turns, ticket};

    const text::ByteArray name = text::local_to_utf8(path);
    LinkFile file = read_link_file(std::string(name.begin(), name.end()));
    if (file.status == FileStatus::too_large) {
        show_status(controls, too_large_status);
        return;
    }
    const TextArray lines = split_link_lines(decode_link_file(file.bytes));
    file.bytes = {};

    if (!controls.is_checked(filter_box)) {
        (void)append_lines(controls, lines, {}, stop, options.append_bytes);
        return;
    }
    const std::vector<bool> skip = find_duplicates(controls.text_of(long_links_box), lines);
    if (!append_lines(controls, lines, skip, stop, options.append_bytes))
        return;
    const auto skipped = static_cast<std::int32_t>(std::count(skip.begin(), skip.end(), true));
    if (skipped > 0) {
        show_status(controls, Text(status_before) + text::int_to_text(skipped) + Text(status_after));
    } else {
        controls.set_width(import_button, wide_button);
        controls.set_visible(status_label, false);
    }
}

} // namespace quenmark::intake
