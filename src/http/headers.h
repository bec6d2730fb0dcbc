// Request header lines and cookie lists.
//
// A header text is header lines (name, colon, value) separated by CR LF.
// A cookie list is name=value items separated by "; ". All operations are
// pure functions on local texts.
#pragma once

#include "text/text.h"

namespace quenmark::http {

using text::Text;
using text::TextArray;

// The part of a header line before its first ":", trimmed of blanks; empty
// when the line has no ":".
[[nodiscard]] Text header_name(std::string_view line);

// The part of a header line after its first ":", trimmed of blanks; empty
// when the line has no ":". Later colons stay in the value.
[[nodiscard]] Text header_value(std::string_view line);

// `text` with its first byte upper-cased when it is an ASCII a-z.
[[nodiscard]] Text capitalise_first(std::string_view text);

// The header lines of `headers` with canonical names: the first byte of
// each name and every byte after a "-" upper-cased (ASCII only), the rest of
// the line kept byte for byte. Lines without ":" (empty ones too) are
// dropped; the result has no final CR LF and is empty when no line is left.
[[nodiscard]] Text normalise_headers(std::string_view headers);

// The cookie name of an item: the text before its first "=", trimmed; the
// whole trimmed item when it has no "=".
[[nodiscard]] Text cookie_name(std::string_view item);

// Whether some item of `items` has `cookie_name` equal to `name` (case counts).
[[nodiscard]] bool has_cookie_named(const TextArray& items, std::string_view name);

// 1-based position of the first item equal to `text` byte for byte, or -1.
[[nodiscard]] int find_item(const TextArray& items, std::string_view text);

// The items of `text` split at `separator`, each exact repetition removed
// (the first kept), joined again with `separator`.
[[nodiscard]] Text remove_duplicate_items(std::string_view text, std::string_view separator);

// Merges the cookies a response set (`received`) into those a request sent
// (`sent`): received items first in their order, then the sent items whose
// name the server did not set; items ending in "=deleted" are dropped and
// exact repetitions removed. Both lists are trimmed in place (a final ";"
// gets its blank); `sent` receives the merged list, which is also returned.
Text merge_cookie_lists(Text& sent, Text& received);

} // namespace quenmark::http
