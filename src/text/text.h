// Text operations on local-code-page byte strings.
//
// A Text holds bytes in the local code page (GB18030, whose bytes equal
// GBK's for every GBK character) and never a zero byte. Lengths and
// positions count bytes, positions are 1-based and "not found" is -1.
// A byte with its high bit set begins a two-byte character, the byte after
// it being the second byte whatever its value (a four-byte GB18030
// character is two such pairs). Operations marked character-aware step
// through a text a character at a time and never start a match on a second
// byte; the others count bytes only.
//
// Blanks are the ASCII space and the full-width space (A1 A1). Ignoring
// case folds ASCII letters only. No operation throws or fails: positions
// and counts outside a text are clamped or give -1 or the empty text.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace quenmark::text {

using Text = std::string;
using TextArray = std::vector<Text>;
using ByteArray = std::vector<std::uint8_t>;

inline constexpr int not_found = -1;

// Number of bytes of `text`.
[[nodiscard]] int text_length(std::string_view text);

// First `count` bytes; the whole text when `count` exceeds its length;
// empty when `count` <= 0.
[[nodiscard]] Text text_left(std::string_view text, int count);

// Last `count` bytes; the whole text when `count` exceeds its length;
// empty when `count` <= 0.
[[nodiscard]] Text text_right(std::string_view text, int count);

// `count` bytes from position `start`, cut at the end of the text; empty
// when `start` < 1 or beyond the length, or `count` <= 0.
[[nodiscard]] Text text_mid(std::string_view text, int start, int count);

// Position of the first occurrence of `needle` at or after `start`, or -1.
// `start` <= 1 searches the whole text; beyond the length nothing. An empty
// needle gives 1 for a non-empty range and -1 for an empty one. The scan
// steps a character at a time from `start`. Character-aware.
[[nodiscard]] int find_text(std::string_view text, std::string_view needle, int start = 1,
                            bool ignore_case = false);

// Position of the last occurrence lying wholly before position `start`, or
// -1. `start` omitted (or beyond length + 1) searches the whole text; `start`
// <= 1 nothing. Empty needle as in find_text. Character-aware.
[[nodiscard]] int find_text_reverse(std::string_view text, std::string_view needle,
                                    int start = INT32_MAX, bool ignore_case = false);

// Pieces between occurrences of `delimiter` (exact match). An empty text
// gives no piece, an empty delimiter one piece (the text); empty pieces
// between delimiters are kept, a delimiter at the very end adds no empty
// piece. Character-aware.
[[nodiscard]] TextArray split_text(std::string_view text, std::string_view delimiter);

// `text` without leading and trailing blanks. A first byte of a two-byte
// character at the very end is dropped too. Character-aware.
[[nodiscard]] Text trim_both(std::string_view text);

// `text` without the blanks and tabs at both ends, as trim_both otherwise.
// A line that is empty after this counts as no line at all.
[[nodiscard]] Text trim_blanks_and_tabs(std::string_view text);

// `text` with every blank removed; tabs and line breaks stay. A first byte
// of a two-byte character at the very end is dropped. Character-aware.
[[nodiscard]] Text remove_spaces(std::string_view text);

// `text` with min(`count`, rest) bytes at `start` (clamped into
// 1..length + 1) removed and `replacement` put in their place.
[[nodiscard]] Text replace_span(std::string_view text, int start, int count,
                                std::string_view replacement = {});

// `text` with occurrences of `find` replaced by `replacement`, left to right
// without overlap, from `start` on, at most `count` times (negative: every
// occurrence). Unchanged when text or find is empty, `start` is beyond the
// length or `count` is 0. Character-aware.
[[nodiscard]] Text replace_subtext(std::string_view text, std::string_view find,
                                   std::string_view replacement = {}, int start = 1,
                                   int count = -1, bool case_sensitive = false);

// `text` with ASCII a-z upper-cased; second bytes are never changed.
[[nodiscard]] Text to_upper(std::string_view text);

// The byte at `position` as a signed 8-bit value; 0 outside 1..length.
[[nodiscard]] int char_code(std::string_view text, int position = 1);

// Plain decimal: a minus sign for negatives, no leading zeros, no grouping.
[[nodiscard]] Text int_to_text(std::int32_t value);

// The text between the first `start_marker` at or after `start` and the
// first `end_marker` after it; empty when either is missing. "#引号" in a
// marker stands for a double quote.
[[nodiscard]] Text text_between(std::string_view text, std::string_view start_marker,
                                std::string_view end_marker, int start = 1,
                                bool ignore_case = false);

// The text before an occurrence of `marker`; empty when it is missing.
// `start` >= 0 searches forward from `start` (0 means 1); a negative
// `start` = -n takes the last occurrence lying wholly within the text
// without its last n bytes (-1 counts as 0: the whole text).
[[nodiscard]] Text text_before(std::string_view text, std::string_view marker, int start = 1,
                               bool ignore_case = false);

// The text's bytes, no terminator; empty for the empty text.
[[nodiscard]] ByteArray text_to_bytes(std::string_view text);

// The bytes before the first zero byte, taken as local text.
[[nodiscard]] Text bytes_to_text(const ByteArray& bytes);

// `bytes` decoded as UTF-8 and converted to local text. Decoding stops at
// the first byte that cannot begin a character, at a sequence whose next
// byte is not a continuation byte, at a sequence cut short by the end, and
// at a zero character; what was decoded before stays. A code point that the
// local code page cannot hold (a surrogate, or above U+10FFFF) becomes '?'.
// A byte-order mark is decoded like any character.
[[nodiscard]] Text utf8_to_text(const ByteArray& bytes);
[[nodiscard]] Text utf8_to_text(std::string_view bytes);

[[nodiscard]] int bytes_length(const ByteArray& bytes);

// `n` zero bytes; empty when n <= 0.
[[nodiscard]] ByteArray blank_bytes(int n);

// The arrays' bytes joined in order.
[[nodiscard]] ByteArray concat_bytes(std::initializer_list<const ByteArray*> parts);

template <typename... Rest>
[[nodiscard]] ByteArray concat_bytes(const ByteArray& first, const ByteArray& second,
                                     const Rest&... rest)
{
    return concat_bytes({&first, &second, &rest...});
}

} // namespace quenmark::text
