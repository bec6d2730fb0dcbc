// The character-aware searches against a literal character-by-character
// scan, and the invariants of splitting and trimming.
#include "text/text.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace quenmark::text;

namespace {

int reference_find(std::string_view s, std::string_view needle, std::size_t from, bool ignore_case)
{
    const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; };
    for (std::size_t i = from; i < s.size() && s.size() - i >= needle.size();) {
        bool equal = true;
        for (std::size_t k = 0; k < needle.size() && equal; ++k)
            equal = ignore_case ? fold(s[i + k]) == fold(needle[k]) : s[i + k] == needle[k];
        if (equal)
            return static_cast<int>(i) + 1;
        if ((s[i] & 0x80) && i + 1 >= s.size())
            break;
        i += (s[i] & 0x80) ? 2 : 1;
    }
    return -1;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

// Input: one byte of flags, then the needle and the text separated by the
// first zero byte (texts never hold one).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const bool ignore_case = data[0] & 1;
    const int start = static_cast<int>(data[0] >> 1) - 8;
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t split = rest.find('\0');
    if (split == std::string::npos)
        return 0;
    const std::string needle = rest.substr(0, split);
    std::string text = rest.substr(split + 1);
    std::erase(text, '\0');

    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start - 1);
    const int expected = from >= text.size() ? -1
                         : needle.empty()    ? 1
                                             : reference_find(text, needle, from, ignore_case);
    check(find_text(text, needle, start, ignore_case) == expected);

    if (!needle.empty()) {
        const TextArray pieces = split_text(text, needle);
        std::string joined;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            check(reference_find(pieces[i], needle, 0, false) == -1);
            joined += pieces[i];
            if (i + 1 < pieces.size())
                joined += needle;
        }
        check(text.compare(0, joined.size(), joined) == 0);
        const Text replaced = replace_subtext(text, needle, "", 1, -1, true);
        check(replaced.size() <= text.size());
    }
    const Text trimmed = trim_both(text);
    check(trimmed.size() <= text.size() && text.find(trimmed) != std::string::npos);
    check(remove_spaces(text).size() <= text.size());
    check(to_upper(text).size() == text.size());
    return 0;
}
