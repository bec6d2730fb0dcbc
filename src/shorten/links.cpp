#include "shorten/links.h"

namespace quenmark::shorten {
namespace {

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix)
{
    return text::find_text(text::text_left(text, text::text_length(prefix)), prefix, 1, true) == 1;
}

} // namespace

Text normalise_link(std::string_view entry)
{
    if (entry.empty())
        return {};
    Text link(entry);
    if (starts_with_ignoring_case(link, "https://"))
        link = "http://" + link.substr(8);
    else if (!starts_with_ignoring_case(link, "http://"))
        link = "http://" + link;
    if (link.back() == '/')
        link.pop_back();
    return link;
}

TextArray batch_entries(std::string_view box_text, bool normalise)
{
    TextArray entries = text::split_text(box_text, "\r\n");
    for (Text& entry : entries) {
        entry = text::trim_blanks_and_tabs(entry);
        if (normalise)
            entry = normalise_link(entry);
    }
    return entries;
}

} // namespace quenmark::shorten
