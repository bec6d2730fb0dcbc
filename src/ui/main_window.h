// The main window.
#pragma once

#include <QWidget>

#include <memory>

namespace quenmark::app {
struct AppState;
}

namespace quenmark::ui {

class MainWindow : public QWidget {
public:
    explicit MainWindow(app::AppState& state);

private:
    app::AppState& state_;
};

// The main window, built and ready to show, or null when it cannot be made.
[[nodiscard]] std::unique_ptr<MainWindow> create_main_window(app::AppState& state);

} // namespace quenmark::ui
