// Turning the long-link box into the entries of a batch.
#pragma once

#include "text/text.h"

namespace quenmark::shorten {

using text::Text;
using text::TextArray;

// One entry as a service that wants normalised links gets it: a leading
// "https://" (ASCII case ignored) becomes "http://", an entry that does not
// begin with "http://" (case ignored) gets it in front, and one final "/"
// is removed. "https://" further on is left alone. The empty entry stays
// empty.
[[nodiscard]] Text normalise_link(std::string_view entry);

// The entries of a batch: the box's lines (split at CR LF; an empty line is
// an entry, a final CR LF adds none), each trimmed of blanks and tabs at
// both ends, and normalised when `normalise` is true. An entry empty after
// trimming stays empty, to be skipped with its number kept.
[[nodiscard]] TextArray batch_entries(std::string_view box_text, bool normalise);

} // namespace quenmark::shorten
