// A file's decoding and line splitting, and the duplicate filter against
// the literal rule.
#include "check.h"
#include "intake/duplicate_filter.h"
#include "intake/link_file.h"

#include <cstdint>

using namespace quenmark;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const text::Text decoded = intake::decode_link_file(bytes);
    check(decoded.find('\0') == std::string::npos);
    const text::TextArray lines = intake::split_link_lines(decoded);
    for (const text::Text& line : lines)
        check(line.find('\n') == std::string::npos);

    // The first line, as it comes, plays the box; the rest are imported.
    if (size > 4096)
        return 0; // the literal rule is quadratic
    const std::size_t split = bytes.find('|');
    const std::string_view box = split == std::string_view::npos ? std::string_view() : bytes.substr(0, split);
    text::Text box_text(box);
    std::erase(box_text, '\0');
    const text::TextArray imported =
        intake::split_link_lines(split == std::string_view::npos ? decoded : intake::decode_link_file(bytes.substr(split + 1)));
    check(intake::find_duplicates(box_text, imported) == intake::find_duplicates_naive(box_text, imported));
    return 0;
}
