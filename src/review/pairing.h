// The paired copy: each short link beside the long link it came from.
#pragma once

#include "text/text.h"

namespace quenmark::review {

using text::Text;
using text::TextArray;

// The lines of a box that count: those not empty after trimming blanks and
// tabs at both ends, as they stand in the box (lines split at CR LF).
[[nodiscard]] TextArray counted_lines(std::string_view box_text);

struct PairingCheck {
    enum class Outcome {
        nothing,  // the short-link box is empty
        mismatch, // the two boxes count different numbers of lines
        open,     // show `items`
    };
    Outcome outcome = Outcome::nothing;
    // The k-th counted short line, " -> ", the k-th counted long line.
    TextArray items;
};

// What a click on 按钮4 leads to, given the texts of 编辑框1 and 编辑框2.
[[nodiscard]] PairingCheck check_pairing(std::string_view long_box, std::string_view short_box);

// The short link of an item: the text before its first " -> " (the whole
// item when it has none), without blanks. Empty for an empty item.
[[nodiscard]] Text short_part(std::string_view item);

} // namespace quenmark::review
