#include "app/commands.h"

#include "review/pairing.h"
#include "shorten/command.h"
#include "ui/file_dialog.h"
#include "ui/message_box.h"
#include "ui/qt_text.h"

namespace quenmark::app {
namespace {

// Imports `path` on a worker of the window; the ticket is taken now, so
// imports append in the order they were asked for.
void start_import(ui::MainWindow& window, intake::ImportTurns& turns, text::Text path)
{
    const std::uint64_t ticket = turns.take_ticket();
    window.start_worker([&window, &turns, ticket, path = std::move(path)](std::stop_token stop) {
        intake::import_file(path, window, turns, ticket, stop);
    });
}

// 按钮4: the paired copy.
void paired_copy(ui::MainWindow& window)
{
    const review::PairingCheck check =
        review::check_pairing(window.text_of("编辑框1"), window.text_of("编辑框2"));
    switch (check.outcome) {
    case review::PairingCheck::Outcome::nothing:
        return;
    case review::PairingCheck::Outcome::mismatch:
        ui::MessageBox::show(&window, QStringLiteral("请保持 长链 行数与 短链 行数一致"));
        return;
    case review::PairingCheck::Outcome::open:
        window.open_pairing_window(check.items);
        return;
    }
}

} // namespace

void connect_commands(ui::MainWindow& window, AppState& state, intake::ImportTurns& turns)
{
    window.set_commands({
        .import_from_dialog =
            [&window, &state, &turns] {
                ui::FileDialog::open(&window, QStringLiteral("Open"), QStringLiteral("All Files(*.*)"),
                                     ui::to_qstring(state.import_path),
                                     [&window, &state, &turns](const QString& chosen) {
                                         state.import_path = ui::to_text(chosen);
                                         if (!state.import_path.empty())
                                             start_import(window, turns, state.import_path);
                                     });
            },
        .shorten =
            [&window, &state] {
                shorten::shorten_command(window, state.long_links,
                                         [&window](std::function<void(std::stop_token)> body) {
                                             window.start_worker(std::move(body));
                                         });
            },
        .paired_copy = [&window] { paired_copy(window); },
        .import_dropped = [&window, &turns](const text::Text& paths) { start_import(window, turns, paths); },
    });
}

} // namespace quenmark::app
