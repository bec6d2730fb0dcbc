// The link import with the duplicate filter on:
//  1. the filter alone on N distinct links, against the literal rule (every
//     line searched in the whole growing text) on a smaller N;
//  2. a whole import into the real main window (offscreen): the time until
//     the last line is shown, and the longest the user-interface thread was
//     kept busy at a stretch.
//
// Usage: QT_QPA_PLATFORM=offscreen import_bench [links=100000] [naive_links=10000]
#include "app/app_state.h"
#include "intake/duplicate_filter.h"
#include "intake/import.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

quenmark::text::TextArray make_links(int count)
{
    std::mt19937 random(42);
    quenmark::text::TextArray links;
    links.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        // About 60 bytes, like a typical shared link.
        links.push_back("https://www.example.com/p/" + std::to_string(random() % 100000) + "/"
                        + std::to_string(i) + "?id=" + std::to_string(random()));
    }
    return links;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int naive_count = argc > 2 ? std::atoi(argv[2]) : 10000;
    const quenmark::text::TextArray links = make_links(count);
    std::size_t bytes = 0;
    for (const auto& link : links)
        bytes += link.size() + 2;

    auto start = Clock::now();
    const auto fast = quenmark::intake::find_duplicates("", links);
    std::printf("filter, suffix array:  %d links (%.1f MB)  %8.1f ms\n", count, bytes / 1e6, ms_since(start));
    const quenmark::text::TextArray few(links.begin(), links.begin() + std::min(naive_count, count));
    start = Clock::now();
    const auto naive = quenmark::intake::find_duplicates_naive("", few);
    const double naive_ms = ms_since(start);
    std::printf("filter, literal rule:  %d links             %8.1f ms  (quadratic: about %.0f ms for %d)\n",
                naive_count, naive_ms, naive_ms * (double(count) / naive_count) * (double(count) / naive_count),
                count);
    if (naive != quenmark::intake::find_duplicates("", few))
        std::printf("MISMATCH between the two filters\n");
    (void)fast;

    // A whole import into the window.
    const std::string path = "/tmp/quenmark-import-bench.txt";
    {
        std::ofstream out(path, std::ios::binary);
        for (const auto& link : links)
            out << link << "\r\n";
    }
    quenmark::app::AppState state;
    auto window = quenmark::ui::create_main_window(state);
    window->show();
    quenmark::intake::ImportTurns turns;
    // 选择框2 on: the filter runs.
    QMetaObject::invokeMethod(window.get(), [&] {
        if (auto* box = window->findChild<QWidget*>(QStringLiteral("选择框2")))
            QMetaObject::invokeMethod(box, "setChecked", Q_ARG(bool, true));
    });

    qint64 longest_gap = 0;
    QElapsedTimer since_tick;
    QTimer ticker;
    QElapsedTimer since_start;
    qint64 longest_at = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 gap = since_tick.restart();
        if (gap > longest_gap) {
            longest_gap = gap;
            longest_at = since_start.elapsed();
        }
    });
    std::atomic<bool> finished = false;
    double import_ms = 0;
    QTimer::singleShot(10, [&] {
        since_tick.start();
        since_start.start();
        ticker.start(1);
        const auto began = Clock::now();
        window->start_worker([&, began](std::stop_token stop) {
            quenmark::intake::import_file(path, *window, turns, turns.take_ticket(), stop);
            window->sync();
            import_ms = ms_since(began);
            finished = true;
        });
    });
    QTimer done;
    quenmark::text::Text text;
    QObject::connect(&done, &QTimer::timeout, [&] {
        if (!finished)
            return;
        ticker.stop(); // reading the box back below is the bench's, not the import's
        text = window->text_of("编辑框1"); // before quitting closes the window
        QApplication::quit();
    });
    done.start(5);
    QApplication::exec();

    std::printf("import into the window: %d links  %8.1f ms  longest busy stretch of the UI thread %lld ms "
                "(ending %lld ms in)  (%zu bytes in the box)\n",
                count, import_ms, static_cast<long long>(longest_gap), static_cast<long long>(longest_at),
                text.size());
    window.reset();
    std::remove(path.c_str());
    return 0;
}
