#include "http/headers.h"

namespace quenmark::http {
namespace {

constexpr std::string_view crlf = "\r\n";
constexpr std::string_view item_separator = "; ";

// Trims the list and gives a final ";" its blank, so that splitting at "; "
// never glues the separator to the last item.
Text tidy_cookie_list(std::string_view list)
{
    Text tidy = text::trim_both(list);
    if (!tidy.empty() && tidy.back() == ';')
        tidy += ' ';
    return tidy;
}

} // namespace

Text header_name(std::string_view line)
{
    const int colon = text::find_text(line, ":");
    if (colon == text::not_found)
        return {};
    return text::trim_both(text::text_left(line, colon - 1));
}

Text header_value(std::string_view line)
{
    const int colon = text::find_text(line, ":");
    if (colon == text::not_found)
        return {};
    return text::trim_both(line.substr(static_cast<std::size_t>(colon)));
}

Text capitalise_first(std::string_view text)
{
    Text out(text);
    if (!out.empty() && out[0] >= 'a' && out[0] <= 'z')
        out[0] = static_cast<char>(out[0] - 'a' + 'A');
    return out;
}

Text normalise_headers(std::string_view headers)
{
    Text out;
    for (const Text& line : text::split_text(headers, crlf)) {
        const int colon = text::find_text(line, ":");
        if (colon == text::not_found)
            continue;
        const std::string_view name = std::string_view(line).substr(0, static_cast<std::size_t>(colon) - 1);
        Text renamed;
        for (const Text& piece : text::split_text(name, "-")) {
            renamed += capitalise_first(piece);
            renamed += '-';
        }
        // Joining put a "-" after the last piece; keep it only where the
        // name ended in a "-" that split_text dropped with its empty piece.
        if (!renamed.empty())
            renamed.pop_back();
        if (renamed.size() < name.size())
            renamed += '-';
        out += renamed;
        out.append(line, static_cast<std::size_t>(colon) - 1);
        out += crlf;
    }
    if (!out.empty())
        out.resize(out.size() - crlf.size());
    return out;
}

Text cookie_name(std::string_view item)
{
    const int equals = text::find_text(item, "=");
    if (equals == text::not_found)
        return text::trim_both(item);
    return text::trim_both(text::text_left(item, equals - 1));
}

bool has_cookie_named(const TextArray& items, std::string_view name)
{
    for (const Text& item : items) {
        if (cookie_name(item) == name)
            return true;
    }
    return false;
}

int find_item(const TextArray& items, std::string_view text)
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text)
            return static_cast<int>(i) + 1;
    }
    return text::not_found;
}

Text remove_duplicate_items(std::string_view text, std::string_view separator)
{
    TextArray seen;
    Text out;
    for (Text& item : text::split_text(text, separator)) {
        if (find_item(seen, item) != text::not_found)
            continue;
        out += item;
        out += separator;
        seen.push_back(std::move(item));
    }
    if (out.size() >= separator.size())
        out.resize(out.size() - separator.size());
    return out;
}

Text merge_cookie_lists(Text& sent, Text& received)
{
    sent = tidy_cookie_list(sent);
    received = tidy_cookie_list(received);
    TextArray merged = text::split_text(received, item_separator);
    for (Text& old_item : text::split_text(sent, item_separator)) {
        if (!has_cookie_named(merged, cookie_name(old_item)))
            merged.push_back(std::move(old_item));
    }
    Text joined;
    for (const Text& item : merged) {
        if (text::text_right(item, 8) == "=deleted")
            continue;
        joined += item;
        joined += item_separator;
    }
    if (!joined.empty())
        joined.resize(joined.size() - item_separator.size());
    sent = remove_duplicate_items(joined, item_separator);
    return sent;
}

} // namespace quenmark::http
