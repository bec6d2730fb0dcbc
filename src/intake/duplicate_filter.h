// The duplicate filter of the link import.
#pragma once

#include "text/text.h"

#include <vector>

namespace quenmark::intake {

// Which of `lines`, appended one by one (each followed by CR LF) to a box
// holding `box`, the filter skips: line i is a duplicate when it occurs
// anywhere in the box's text at that moment (find_text: byte for byte,
// never starting on a second byte), the lines skipped before it not being
// in the box. An empty line is a duplicate whenever the box is not empty.
// Lines must not contain LF (split_link_lines never gives one). Runs in
// O(n log n) time for n bytes in all, through a suffix array.
[[nodiscard]] std::vector<bool> find_duplicates(std::string_view box, const text::TextArray& lines);

// The same result, computed literally: every line searched in the whole
// growing text. Quadratic; the reference for tests and benchmarks.
[[nodiscard]] std::vector<bool> find_duplicates_naive(std::string_view box, const text::TextArray& lines);

} // namespace quenmark::intake
