// The program's message box, behind a seam that tests can answer.
#pragma once

#include <QString>

class QWidget;

namespace quenmark::ui {

class MessageBox {
public:
    // Shows `text` with an OK button, no icon and an empty title, modal
    // over `owner`, and returns when the user has closed it.
    static void show(QWidget* owner, const QString& text);

    // For tests: from now on show() records its text and returns at once,
    // as if OK had been pressed.
    static void answer_automatically();
    // The text of the last message shown.
    [[nodiscard]] static QString last_text();
};

} // namespace quenmark::ui
