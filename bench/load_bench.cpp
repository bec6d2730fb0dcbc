// A batch of many links against the local shortening server (no delay),
// driven through the real main window (offscreen) as a click on 一键缩短:
// the time it takes, the process's peak memory, and the longest stretch the
// user-interface thread was kept busy.
//
// Usage: QT_QPA_PLATFORM=offscreen load_bench [links=10000] [service=3]
#include "app/app_state.h"
#include "shorten/command.h"
#include "support/local_shortener.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

namespace {

long peak_rss_kb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int service = argc > 2 ? std::atoi(argv[2]) : 3;
    quenmark::test_support::LocalShortener local;
    if (!local.valid())
        return 1;
    quenmark::app::AppState state;
    auto window = quenmark::ui::create_main_window(state);
    quenmark::ui::MainWindow& main_window = *window;
    main_window.set_commands({.shorten = [&] {
        quenmark::shorten::shorten_command(
            main_window, state.long_links,
            [&](std::function<void(std::stop_token)> body) { main_window.start_worker(std::move(body)); },
            local.catalogue());
    }});
    window->show();
    QString links;
    for (int i = 0; i < count; ++i)
        links += QStringLiteral("http://load.example/item/%1?ref=bench\n").arg(i);
    window->findChild<QPlainTextEdit*>(QStringLiteral("编辑框1"))->setPlainText(links);
    const QString radio = QStringLiteral("单选框%1").arg(service);
    QMetaObject::invokeMethod(window->findChild<QWidget*>(radio), "setChecked", Q_ARG(bool, true));
    const long rss_before = peak_rss_kb();

    qint64 longest_gap = 0;
    QElapsedTimer since_tick;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { longest_gap = std::max(longest_gap, since_tick.restart()); });
    QElapsedTimer clock;
    bool started = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!started) {
            started = true;
            since_tick.start();
            ticker.start(1);
            clock.start();
            window->findChild<QPushButton*>(QStringLiteral("按钮2"))->click();
            return;
        }
        if (window->isEnabled()) { // the batch has ended
            ticker.stop();
            const qint64 ms = clock.elapsed();
            const auto lines = window->findChild<QPlainTextEdit*>(QStringLiteral("编辑框2"))->blockCount() - 1;
            std::printf("batch of %d links through service %d: %lld ms (%.2f ms a link), %d lines, "
                        "peak RSS %ld MB (%ld MB before the batch), longest busy stretch of the UI "
                        "thread %lld ms\n",
                        count, service, static_cast<long long>(ms), double(ms) / count, lines,
                        peak_rss_kb() / 1024, rss_before / 1024, static_cast<long long>(longest_gap));
            QApplication::quit();
        }
    });
    watch.start(20);
    QApplication::exec();
    return 0;
}
