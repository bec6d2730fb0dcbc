// The Open dialog, behind a seam that tests can answer.
#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace quenmark::ui {

class FileDialog {
public:
    // Shows an Open dialog owned by `parent` and returns at once; `chosen`
    // runs on the user-interface thread with the path the user picked, and
    // never when the dialog is cancelled. `file_name` is the file name the
    // dialog starts with.
    static void open(QWidget* parent, const QString& title, const QString& filter,
                     const QString& file_name, std::function<void(const QString&)> chosen);

    // For tests: the next open() shows nothing and answers `path` (or acts
    // as cancelled for nullopt), as if the user had done so.
    static void answer_next(std::optional<QString> path);

    // The file name the last open() started with.
    [[nodiscard]] static QString last_file_name();
};

} // namespace quenmark::ui
