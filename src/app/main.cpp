#include "app/app_state.h"
#include "app/commands.h"
#include "ui/main_window.h"
#include "ui/window_setup.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenmark"));
    QApplication::setDesktopFileName(QStringLiteral("quenmark"));
    QApplication::setWindowIcon(quenmark::ui::application_icon());

    auto state = std::make_unique<quenmark::app::AppState>();
    quenmark::intake::ImportTurns import_turns; // outlives the window's workers
    int exit_code = 0;
    {
        // The event loop runs while a window of the program exists; every
        // secondary window is owned by the main one, so closing it ends the
        // loop. Closing or destroying the main window stops and joins its
        // workers.
        auto window = quenmark::ui::create_main_window(*state);
        if (window) {
            quenmark::app::connect_commands(*window, *state, import_turns);
            window->show();
            exit_code = QApplication::exec();
        }
    }
    state.reset(); // only now that no window and no worker can reach it
    return exit_code;
}
