#include "shorten/batch.h"

#include "http/abort_signal.h"
#include "shorten/shorten_one.h"

#include <condition_variable>
#include <mutex>

namespace quenmark::shorten {
namespace {

constexpr std::string_view short_links_box = "编辑框2";
constexpr std::string_view delay_box = "选择框1";
constexpr std::string_view busy_mark = " [\xB4\xA6\xC0\xED\xD6\xD0]"; // " [处理中]"
constexpr std::string_view product_name = "Quenmark";

// Sleeps for `duration` unless a stop is requested first.
void pause_for(std::chrono::milliseconds duration, std::stop_token stop)
{
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    (void)wake.wait_for(lock, stop, duration, [] { return false; });
}

} // namespace

Text result_line(const ServiceSpec& row, std::string_view value)
{
    return row.short_link_base + Text(value) + "\r\n";
}

Text failure_line(const ServiceSpec& row, int number, std::string_view entry)
{
    return row.failure_lead + text::int_to_text(number) + " [" + Text(entry) + "] "
           + row.failure_tag + " \r\n";
}

void shorten_batch(const ServiceSpec& row, const TextArray& entries, ui::Controls& controls,
                   std::stop_token stop, const BatchOptions& options)
{
    controls.set_disabled(true);
    controls.set_caption(controls.caption() + Text(busy_mark));

    http::AbortSignal abort;
    const std::stop_callback abort_on_stop(stop, [&abort] { abort.abort(); });
    // The window stays disabled for the whole batch, so 选择框1 cannot
    // change meanwhile: one read spares a wait on the window per link.
    const bool pause_after_each = controls.is_checked(delay_box);

    const int count = static_cast<int>(entries.size());
    for (int number = 1; number <= count && !stop.stop_requested(); ++number) {
        const Text& entry = entries[static_cast<std::size_t>(number - 1)];
        if (entry.empty())
            continue;
        const auto object = http::create_http_object(
            {.abort = &abort, .share_connections = options.share_connections});
        const LinkOutcome outcome = shorten_one(row, entry, object.get(), options.timeout_s);
        if (stop.stop_requested())
            return; // the window is going away: nothing more to show
        controls.append_text(short_links_box, outcome.ok ? result_line(row, outcome.value)
                                                         : failure_line(row, number, entry));
        if (pause_after_each)
            pause_for(options.pause, stop);
    }
    if (stop.stop_requested())
        return;
    controls.set_disabled(false);
    controls.set_caption(Text(product_name));
}

} // namespace quenmark::shorten
