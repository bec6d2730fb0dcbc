// The pairing window: short links beside their long links, one copied on a
// double-click.
#pragma once

#include "text/text.h"

#include <QWidget>

namespace quenmark::ui {

// A new pairing window owned by `owner`, not modal, resizable, listing
// `items` (local texts) in sorted order; destroyed when the user closes it.
// A double-click on an item puts its short link on the clipboard and
// reports it in the caption. Shown by the caller.
[[nodiscard]] QWidget* make_pairing_window(QWidget& owner, const text::TextArray& items);

} // namespace quenmark::ui
