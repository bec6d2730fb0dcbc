#include "review/pairing.h"

namespace quenmark::review {
namespace {

constexpr std::string_view arrow = " -> ";

} // namespace

TextArray counted_lines(std::string_view box_text)
{
    TextArray counted;
    for (Text& line : text::split_text(box_text, "\r\n")) {
        if (!text::trim_blanks_and_tabs(line).empty())
            counted.push_back(std::move(line));
    }
    return counted;
}

PairingCheck check_pairing(std::string_view long_box, std::string_view short_box)
{
    PairingCheck check;
    if (short_box.empty())
        return check;
    const TextArray long_lines = counted_lines(long_box);
    const TextArray short_lines = counted_lines(short_box);
    if (long_lines.size() != short_lines.size()) {
        check.outcome = PairingCheck::Outcome::mismatch;
        return check;
    }
    check.outcome = PairingCheck::Outcome::open;
    check.items.reserve(short_lines.size());
    for (std::size_t k = 0; k < short_lines.size(); ++k)
        check.items.push_back(short_lines[k] + Text(arrow) + long_lines[k]);
    return check;
}

Text short_part(std::string_view item)
{
    const int at = text::find_text(item, arrow);
    return text::remove_spaces(at == text::not_found ? item : item.substr(0, static_cast<std::size_t>(at - 1)));
}

} // namespace quenmark::review
