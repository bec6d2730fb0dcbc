#include "text/text.h"

#include <algorithm>
#include <cstring>

namespace quenmark::text {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool high_bit(char c)
{
    return (static_cast<unsigned char>(c) & 0x80) != 0;
}

// Bytes of the character that starts at `i`: 2 for a high-bit byte (its
// second byte may lie past the end; callers bound that), 1 otherwise.
std::size_t char_size(std::string_view s, std::size_t i)
{
    return high_bit(s[i]) ? 2 : 1;
}

char fold(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equal_at(std::string_view s, std::size_t i, std::string_view needle, bool ignore_case)
{
    if (s.size() - i < needle.size())
        return false;
    if (!ignore_case)
        return std::memcmp(s.data() + i, needle.data(), needle.size()) == 0;
    for (std::size_t k = 0; k < needle.size(); ++k) {
        if (fold(s[i + k]) != fold(needle[k]))
            return false;
    }
    return true;
}

// First place at or after `from` where `needle` (non-empty) matches, moving
// a character at a time from `from`, so a match never starts on the second
// byte of a character that begins at or after `from`. npos when none.
std::size_t next_match(std::string_view s, std::string_view needle, std::size_t from,
                       bool ignore_case)
{
    if (!ignore_case) {
        // Let the library find byte-level candidates and only check that
        // each one falls on a character boundary.
        std::size_t boundary = from;
        while (true) {
            const std::size_t candidate = s.find(needle, boundary);
            if (candidate == npos)
                return npos;
            while (boundary < candidate)
                boundary += char_size(s, boundary);
            if (boundary == candidate)
                return candidate;
        }
    }
    for (std::size_t i = from; i < s.size() && s.size() - i >= needle.size(); i += char_size(s, i)) {
        if (equal_at(s, i, needle, true))
            return i;
    }
    return npos;
}

// A blank starts at `i`: an ASCII space or both bytes of a full-width one.
bool is_blank_at(std::string_view s, std::size_t i)
{
    if (s[i] == ' ')
        return true;
    return s[i] == '\xA1' && i + 1 < s.size() && s[i + 1] == '\xA1';
}

} // namespace

int text_length(std::string_view text)
{
    return static_cast<int>(text.size());
}

Text text_left(std::string_view text, int count)
{
    if (count <= 0)
        return {};
    return Text(text.substr(0, static_cast<std::size_t>(count)));
}

Text text_right(std::string_view text, int count)
{
    if (count <= 0)
        return {};
    const auto n = std::min(text.size(), static_cast<std::size_t>(count));
    return Text(text.substr(text.size() - n));
}

Text text_mid(std::string_view text, int start, int count)
{
    if (start < 1 || static_cast<std::size_t>(start) > text.size() || count <= 0)
        return {};
    return Text(text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(count)));
}

int find_text(std::string_view text, std::string_view needle, int start, bool ignore_case)
{
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (from >= text.size())
        return not_found;
    if (needle.empty())
        return 1;
    const std::size_t at = next_match(text, needle, from, ignore_case);
    return at == npos ? not_found : static_cast<int>(at) + 1;
}

int find_text_reverse(std::string_view text, std::string_view needle, int start, bool ignore_case)
{
    if (start <= 1)
        return not_found;
    const auto limit = static_cast<std::size_t>(start) - 1;
    const std::string_view range = limit > text.size() ? text : text.substr(0, limit);
    if (range.empty())
        return not_found;
    if (needle.empty())
        return 1;
    int last = not_found;
    for (std::size_t at = next_match(range, needle, 0, ignore_case); at != npos;
         at = next_match(range, needle, at + char_size(range, at), ignore_case)) {
        last = static_cast<int>(at) + 1;
    }
    return last;
}

TextArray split_text(std::string_view text, std::string_view delimiter)
{
    TextArray pieces;
    if (text.empty())
        return pieces;
    if (delimiter.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    std::size_t piece = 0;
    for (std::size_t at = next_match(text, delimiter, 0, false); at != npos;
         at = next_match(text, delimiter, piece, false)) {
        pieces.emplace_back(text.substr(piece, at - piece));
        piece = at + delimiter.size();
    }
    if (piece < text.size())
        pieces.emplace_back(text.substr(piece));
    return pieces;
}

namespace {

// `text` without the blanks (and, with `tabs`, the tabs) at both ends.
Text trim(std::string_view text, bool tabs)
{
    const auto skipped = [&](std::size_t i) { return is_blank_at(text, i) || (tabs && text[i] == '\t'); };
    std::size_t i = 0;
    while (i < text.size() && skipped(i))
        i += text[i] == '\xA1' ? 2 : 1;
    const std::size_t begin = i;
    std::size_t end = begin;
    while (i < text.size()) {
        const std::size_t size = char_size(text, i);
        if (i + size > text.size())
            break; // a lone first byte at the very end
        if (!skipped(i))
            end = i + size;
        i += size;
    }
    return Text(text.substr(begin, end - begin));
}

} // namespace

Text trim_both(std::string_view text)
{
    return trim(text, false);
}

Text trim_blanks_and_tabs(std::string_view text)
{
    return trim(text, true);
}

Text remove_spaces(std::string_view text)
{
    Text out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t size = char_size(text, i);
        if (i + size > text.size())
            break;
        if (!is_blank_at(text, i))
            out.append(text.substr(i, size));
        i += size;
    }
    return out;
}

Text replace_span(std::string_view text, int start, int count, std::string_view replacement)
{
    const std::size_t p = static_cast<std::size_t>(std::clamp(start, 1, text_length(text) + 1)) - 1;
    std::size_t removed = 0;
    if (count > 0)
        removed = std::min(static_cast<std::size_t>(count), text.size() - p);
    Text out;
    out.reserve(text.size() - removed + replacement.size());
    out.append(text.substr(0, p));
    out.append(replacement);
    out.append(text.substr(p + removed));
    return out;
}

Text replace_subtext(std::string_view text, std::string_view find, std::string_view replacement,
                     int start, int count, bool case_sensitive)
{
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (text.empty() || find.empty() || from >= text.size() || count == 0)
        return Text(text);
    Text out;
    out.reserve(text.size());
    out.append(text.substr(0, from));
    std::size_t copied = from;
    int replaced = 0;
    for (std::size_t at = next_match(text, find, from, !case_sensitive); at != npos;
         at = next_match(text, find, copied, !case_sensitive)) {
        out.append(text.substr(copied, at - copied));
        out.append(replacement);
        copied = at + find.size();
        if (++replaced == count)
            break;
    }
    out.append(text.substr(copied));
    return out;
}

Text to_upper(std::string_view text)
{
    Text out(text);
    for (std::size_t i = 0; i < out.size(); i += char_size(out, i)) {
        if (out[i] >= 'a' && out[i] <= 'z')
            out[i] = static_cast<char>(out[i] - 'a' + 'A');
    }
    return out;
}

int char_code(std::string_view text, int position)
{
    if (position < 1 || static_cast<std::size_t>(position) > text.size())
        return 0;
    return static_cast<signed char>(text[static_cast<std::size_t>(position) - 1]);
}

Text int_to_text(std::int32_t value)
{
    return std::to_string(value);
}

Text text_between(std::string_view text, std::string_view start_marker,
                  std::string_view end_marker, int start, bool ignore_case)
{
    // "#引号" in the local code page
    static constexpr std::string_view quote_placeholder = "#\xD2\xFD\xBA\xC5";
    const Text open = replace_subtext(start_marker, quote_placeholder, "\"", 1, -1, true);
    const Text close = replace_subtext(end_marker, quote_placeholder, "\"", 1, -1, true);
    const int p = find_text(text, open, start, ignore_case);
    if (p == not_found)
        return {};
    const int q = p + text_length(open);
    const int e = find_text(text, close, q, ignore_case);
    if (e == not_found)
        return {};
    return text_mid(text, q, e - q);
}

Text text_before(std::string_view text, std::string_view marker, int start, bool ignore_case)
{
    int p;
    if (start < 0) {
        const int n = start == -1 ? 0 : -start;
        p = find_text_reverse(text, marker, text_length(text) - n + 1, ignore_case);
    } else {
        p = find_text(text, marker, start == 0 ? 1 : start, ignore_case);
    }
    if (p == not_found)
        return {};
    return text_left(text, p - 1);
}

ByteArray text_to_bytes(std::string_view text)
{
    return ByteArray(text.begin(), text.end());
}

Text bytes_to_text(const ByteArray& bytes)
{
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return Text(bytes.begin(), end);
}

int bytes_length(const ByteArray& bytes)
{
    return static_cast<int>(bytes.size());
}

ByteArray blank_bytes(int n)
{
    return n <= 0 ? ByteArray{} : ByteArray(static_cast<std::size_t>(n), 0);
}

ByteArray concat_bytes(std::initializer_list<const ByteArray*> parts)
{
    std::size_t total = 0;
    for (const ByteArray* part : parts)
        total += part->size();
    ByteArray out;
    out.reserve(total);
    for (const ByteArray* part : parts)
        out.insert(out.end(), part->begin(), part->end());
    return out;
}

} // namespace quenmark::text
