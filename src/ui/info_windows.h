// The About and Notice windows: fixed content, no commands of their own.
#pragma once

#include <QString>
#include <QWidget>

namespace quenmark::ui {

// A new About window owned by `owner`, not modal, destroyed when the user
// closes it; shown by the caller.
[[nodiscard]] QWidget* make_about_window(QWidget& owner);

// A new Notice window, on the same terms as make_about_window.
[[nodiscard]] QWidget* make_notice_window(QWidget& owner);

// The usage notice: seven lines joined by "\n", no line end after the last.
[[nodiscard]] QString notice_text();

} // namespace quenmark::ui
