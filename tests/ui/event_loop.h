// Helpers for tests that need the application's event loop itself.
#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>

// Runs the event loop, doing `action` once it runs. True when the loop then
// ended by itself within two seconds, as it does when the last window of
// the program has closed.
inline bool loop_ends_after(const std::function<void()>& action)
{
    bool timed_out = false;
    QTimer::singleShot(0, qApp, action);
    QTimer fallback;
    fallback.setSingleShot(true);
    QObject::connect(&fallback, &QTimer::timeout, qApp, [&timed_out] {
        timed_out = true;
        QCoreApplication::quit();
    });
    fallback.start(2000);
    QApplication::exec();
    return !timed_out;
}
