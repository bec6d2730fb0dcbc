#include "ui/main_window.h"

#include "app/app_state.h"

namespace quenmark::ui {

MainWindow::MainWindow(app::AppState& state) : state_(state)
{
    setWindowTitle(QStringLiteral("Quenmark"));
    resize(456, 327);
}

std::unique_ptr<MainWindow> create_main_window(app::AppState& state)
{
    return std::make_unique<MainWindow>(state);
}

} // namespace quenmark::ui
