// Header normalisation and cookie merging on arbitrary texts.
#include "check.h"
#include "http/headers.h"

#include <cstdint>
#include <string>

using namespace quenmark::http;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    std::erase(input, '\0');

    const Text normalised = normalise_headers(input);
    check(normalised.size() <= input.size());
    // Every line has a colon, and no CR LF (at a character start) ends the
    // text: joining the lines gives it back.
    Text joined;
    for (const Text& line : quenmark::text::split_text(normalised, "\r\n")) {
        check(quenmark::text::find_text(line, ":") != -1);
        joined += (joined.empty() ? "" : "\r\n") + line;
    }
    check(joined == normalised);

    // The first line is the sent list, the rest the received one.
    const std::size_t split = input.find('\n');
    Text sent = input.substr(0, split);
    Text received = split == std::string::npos ? Text() : input.substr(split + 1);
    const Text merged = merge_cookie_lists(sent, received);
    check(merged == sent);
    const TextArray items = quenmark::text::split_text(merged, "; ");
    for (std::size_t i = 0; i < items.size(); ++i) {
        check(quenmark::text::text_right(items[i], 8) != "=deleted");
        for (std::size_t j = 0; j < i; ++j)
            check(items[i] != items[j]);
    }
    return 0;
}
